// Any registry contents below a phone's cache key, as an older version, another program or a
// damaged store may leave them, read back as the phone book's cache. The input is a series of
// values: which storage key (or which entry key below it), the value's name, type and bytes.
// Loading must end with every limit and view in its range, the entries in index order with
// one entry per index, and a storage counted as loaded only when its entries add up; what was
// loaded is saved and loaded again unchanged.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "farapi/far_api.h"
#include "farlib/host.h"
#include "phonebook/device_cache.h"
#include "platform/environment.h"
#include "platform/registry.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr const char* kRootKey = "Software\\ZantelFuzz";
constexpr const char* kIdentity = "350123451234560";
// A writable memory, one the user may not change, and a call list.
constexpr std::array<const char*, 3> kStorages = {"SM", "ON", "DC"};
// The names a save writes; a name byte beyond them takes a name from the input.
constexpr std::array<const char*, 13> kValueNames = {
    "MinIndex", "MaxIndex",  "MaxNameLength", "MaxPhoneLength", "ViewMode",
    "SortMode", "SortOrder", "EntryCount",    "Phone",          "Type",
    "Name",     "HighTime",  "LowTime"};

// The store lives in memory for the whole run (SQLite's ":memory:" database, kept open by the
// store for the process): every input commits to it without touching a disk.
void UseMemoryStore() {
  static const bool once = [] {
    Platform::SetEnvironmentValue("ZANTEL_REGISTRY", ":memory:");
    static PluginStartupInfo info{};
    info.RootKey = kRootKey;
    FarLib::SetStartupInfo(info);
    return true;
  }();
  (void)once;
}

class CInput {
 public:
  explicit CInput(std::string_view bytes) : m_bytes(bytes) {}
  bool Empty() const { return m_bytes.empty(); }
  uint8_t Byte() {
    if (m_bytes.empty()) return 0;
    const auto byte = static_cast<uint8_t>(m_bytes.front());
    m_bytes.remove_prefix(1);
    return byte;
  }
  std::string Text(size_t length) {
    const std::string_view text = m_bytes.substr(0, length);
    m_bytes.remove_prefix(text.size());
    return std::string(text);
  }

 private:
  std::string_view m_bytes;
};

std::string ValueName(CInput& input) {
  const uint8_t which = input.Byte();
  if (which < kValueNames.size()) return kValueNames[which];
  return input.Text(which % 16);
}

// The keys one input has written to, by path: each is made once, not walked to for every value.
using KeysWritten = std::map<std::string, Platform::CRegKey>;

// One value: [key byte][entry key name if any][value name][type][length][data].
void WriteValue(CInput& input, const std::string& phoneKey, KeysWritten& keys) {
  const uint8_t where = input.Byte();
  std::string path = phoneKey + "\\" + kStorages[where % kStorages.size()];
  if (where & 0x04) {
    // An entry key: "%03d" of the next byte, or a name from the input.
    const uint8_t index = input.Byte();
    path +=
        "\\" + ((where & 0x08) ? input.Text(index % 8) : std::to_string(1000 + index).substr(1));
  }
  const std::string name = ValueName(input);
  const uint8_t type = input.Byte() % 8;
  const std::string data = input.Text(input.Byte() % 64);
  auto [written, isNew] = keys.try_emplace(path);
  Platform::CRegKey& key = written->second;
  if (isNew) key = Platform::CRegKey::Create(path);
  key.SetValue(name, type, std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
}

using Storages = std::vector<std::unique_ptr<PhoneBookStorage>>;

Storages LoadAll(CDeviceCache& cache) {
  Storages storages;
  for (const char* name : kStorages) storages.push_back(std::make_unique<PhoneBookStorage>(name));
  cache.Load(storages);
  return storages;
}

void CheckSound(const PhoneBookStorage& storage) {
  Check(storage.MinIndex >= 0 && storage.MaxNameLength >= 1 && storage.MaxPhoneLength >= 1);
  Check(storage.ViewMode >= 0 && storage.ViewMode <= 9 && storage.SortMode >= 0);
  Check(storage.SortOrder == 0 || storage.SortOrder == 1);
  for (size_t i = 0; i < storage.Entries.size(); ++i) {
    const PhoneBookEntry& entry = *storage.Entries[i];
    if (i > 0) Check(storage.Entries[i - 1]->Index < entry.Index);
    Check(entry.Number.find('\0') == std::string::npos);
    Check(entry.WideName.find(u'\0') == std::u16string::npos);
  }
}

bool SameEntries(const PhoneBookStorage& a, const PhoneBookStorage& b) {
  return std::equal(a.Entries.begin(), a.Entries.end(), b.Entries.begin(), b.Entries.end(),
                    [](const auto& x, const auto& y) {
                      return x->Index == y->Index && x->Number == y->Number && x->Type == y->Type &&
                             x->WideName == y->WideName && x->Name == y->Name && x->Time == y->Time;
                    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseMemoryStore();
  const std::string zantelKey = std::string(kRootKey) + "\\Zantel";
  Platform::CRegKey::Open(zantelKey).DeleteSubtree("Devices");
  CDeviceCache cache;
  Check(cache.Open(kIdentity));
  const std::string phoneKey = zantelKey + "\\Devices\\" + kIdentity;
  {
    Platform::CRegTransaction atomic;
    CInput input(std::string_view(reinterpret_cast<const char*>(data), size));
    KeysWritten keys;
    while (!input.Empty()) WriteValue(input, phoneKey, keys);
    Check(atomic.Commit());
  }

  const Storages loaded = LoadAll(cache);
  for (const std::unique_ptr<PhoneBookStorage>& storage : loaded) {
    CheckSound(*storage);
    Check(cache.Save(*storage, false));
  }
  const Storages again = LoadAll(cache);
  for (size_t i = 0; i < loaded.size(); ++i) {
    const PhoneBookStorage& before = *loaded[i];
    const PhoneBookStorage& after = *again[i];
    Check(after.ViewMode == before.ViewMode && after.SortMode == before.SortMode &&
          after.SortOrder == before.SortOrder);
    // A full save was made only of a loaded storage that may be changed.
    if (before.Writable && before.Loaded) {
      Check(after.Loaded && SameEntries(before, after));
      Check(after.MinIndex == before.MinIndex && after.MaxIndex == before.MaxIndex &&
            after.MaxNameLength == before.MaxNameLength &&
            after.MaxPhoneLength == before.MaxPhoneLength);
    }
  }
  return 0;
}
