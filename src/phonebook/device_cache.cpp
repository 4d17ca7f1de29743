#include "phonebook/device_cache.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>

#include "farlib/registry.h"
#include "settings/settings.h"

namespace {

using Platform::CRegKey;
using Platform::RegValue;

constexpr const char* kDevicesKey = "\\Devices\\";
constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();
constexpr int32_t kDefaultMaxIndex = 255;
constexpr int32_t kDefaultLength = 16;
constexpr int32_t kLastViewMode = 9;
// Written after everything else of a full save: a key that lacks it, or whose entries do not
// add up to it, was cut short (by a crash, where the store has no transactions) or edited.
constexpr const char* kEntryCount = "EntryCount";
// A count no list of entries adds up to.
constexpr uint32_t kNoEntryCount = 0xFFFFFFFF;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// A storage name comes from the phone: it must stay one key below the phone's key.
bool IsKeyName(const std::string& name) {
  return !name.empty() && name.size() <= kMaxDeviceKeyName &&
         std::none_of(name.begin(), name.end(), [](char c) { return c == '\\' || IsControl(c); }) &&
         name.find_first_not_of('.') != std::string::npos;
}

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 0xCBF29CE484222325ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

std::string EntryKeyName(int32_t index) {
  char name[16];
  std::snprintf(name, sizeof name, "%03d", static_cast<int>(index));
  return name;
}

// Only the names a save gives: "7" or "0007" for index 7 are not, so two keys can never
// claim the same index.
std::optional<int32_t> EntryIndex(const std::string& name) {
  int32_t index = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), index);
  if (error != std::errc() || end != name.data() + name.size()) return std::nullopt;
  if (EntryKeyName(index) != name) return std::nullopt;
  return index;
}

// nullopt when absent; false in `sound` when present with another type or size.
std::optional<uint32_t> QueryDword(const CRegKey& key, const char* name, bool& sound) {
  RegValue value;
  if (key.QueryValue(name, value) != Platform::kErrorSuccess) return std::nullopt;
  if (value.Type != Platform::kRegDword || value.Data.size() != sizeof(uint32_t)) {
    sound = false;
    return std::nullopt;
  }
  const std::vector<uint8_t>& b = value.Data;
  return static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
}

std::optional<std::string> QueryText(const CRegKey& key, const char* name) {
  RegValue value;
  if (key.QueryValue(name, value) != Platform::kErrorSuccess || value.Type != Platform::kRegSz) {
    return std::nullopt;
  }
  const auto end = std::find(value.Data.begin(), value.Data.end(), uint8_t{0});
  return std::string(value.Data.begin(), end);
}

std::optional<WideString> QueryWideText(const CRegKey& key, const char* name) {
  RegValue value;
  if (key.QueryWideValue(name, value) != Platform::kErrorSuccess ||
      value.Type != CRegKey::WideTextType()) {
    return std::nullopt;
  }
  WideString text;
  for (size_t i = 0; i + 1 < value.Data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(value.Data[i] | value.Data[i + 1] << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

// An entry as a complete save wrote it, or none.
std::optional<PhoneBookEntry> ReadEntry(const CRegKey& key, int32_t index) {
  bool sound = key.IsOpen();
  PhoneBookEntry entry;
  entry.Index = index;
  std::optional<std::string> number = QueryText(key, "Phone");
  const std::optional<uint32_t> type = QueryDword(key, "Type", sound);
  std::optional<WideString> name = QueryWideText(key, "Name");
  const uint32_t high = QueryDword(key, "HighTime", sound).value_or(0);
  const uint32_t low = QueryDword(key, "LowTime", sound).value_or(0);
  if (!sound || !number || !type || !name) return std::nullopt;
  entry.Number = std::move(*number);
  entry.Type = *type;
  entry.WideName = std::move(*name);
  entry.Name = WideToOem(entry.WideName);
  entry.Time = uint64_t{high} << 32 | low;
  return entry;
}

void ReadLimitsAndView(const CRegKey& key, PhoneBookStorage& storage) {
  using FarLib::ReadRegInteger;
  storage.MinIndex = ReadRegInteger(key, "MinIndex", 0, kMaxInt, 1);
  storage.MaxIndex = ReadRegInteger(key, "MaxIndex", storage.MinIndex, kMaxInt, kDefaultMaxIndex);
  storage.MaxNameLength = ReadRegInteger(key, "MaxNameLength", 1, kMaxInt, kDefaultLength);
  storage.MaxPhoneLength = ReadRegInteger(key, "MaxPhoneLength", 1, kMaxInt, kDefaultLength);
  storage.ViewMode = ReadRegInteger(key, "ViewMode", 0, kLastViewMode, storage.ViewMode);
  storage.SortMode = ReadRegInteger(key, "SortMode", 0, kMaxInt, storage.SortMode);
  storage.SortOrder = ReadRegInteger(key, "SortOrder", 0, 1, storage.SortOrder);
}

// The first failure of a series of writes is the one worth keeping.
class CWriteStatus {
 public:
  void Note(uint32_t status) {
    if (m_status == Platform::kErrorSuccess) m_status = status;
  }
  bool Ok() const { return m_status == Platform::kErrorSuccess; }

 private:
  uint32_t m_status = Platform::kErrorSuccess;
};

void WriteNumber(CRegKey& key, const char* name, int32_t value, CWriteStatus& status) {
  status.Note(FarLib::WriteRegDword(key, name, static_cast<uint32_t>(value)));
}

void WriteView(CRegKey& key, const PhoneBookStorage& storage, CWriteStatus& status) {
  WriteNumber(key, "ViewMode", storage.ViewMode, status);
  WriteNumber(key, "SortMode", storage.SortMode, status);
  WriteNumber(key, "SortOrder", storage.SortOrder, status);
}

void WriteEntryKey(CRegKey& key, const PhoneBookEntry& entry, CWriteStatus& status) {
  status.Note(FarLib::WriteRegString(key, "Phone", entry.Number));
  status.Note(FarLib::WriteRegDword(key, "Type", entry.Type));
  status.Note(FarLib::WriteRegWideString(key, "Name", entry.WideName));
  if (entry.Time >> 32) {
    status.Note(FarLib::WriteRegDword(key, "HighTime", static_cast<uint32_t>(entry.Time >> 32)));
  }
  if (entry.Time & 0xFFFFFFFFU) {
    status.Note(FarLib::WriteRegDword(key, "LowTime", static_cast<uint32_t>(entry.Time)));
  }
}

}  // namespace

std::string DeviceKeyName(const std::string& identity) {
  std::string name = identity;
  for (char& c : name) {
    if (c == '\\' || IsControl(c)) c = '_';
  }
  if (name.find_first_not_of('.') == std::string::npos)
    std::replace(name.begin(), name.end(), '.', '_');
  if (name.size() > kMaxDeviceKeyName) {
    char hash[20];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(Fnv1a(identity)));
    name.resize(kMaxDeviceKeyName - std::char_traits<char>::length(hash));
    name += hash;
  }
  return name;
}

bool CDeviceCache::Open(const std::string& identity) {
  Close();
  const std::string name = DeviceKeyName(identity);
  if (name.empty()) return false;
  std::string path = kDevicesKey + name;
  m_key = OpenSettingsKey(path);
  if (!m_key.IsOpen()) return false;
  m_path = std::move(path);
  return true;
}

void CDeviceCache::Close() {
  m_key.Close();
  m_path.clear();
}

void CDeviceCache::Load(std::vector<std::unique_ptr<PhoneBookStorage>>& storages) {
  if (!IsOpen()) return;
  const Platform::CRegTransaction atomic;  // one read snapshot, and fast on the SQLite store
  for (const std::unique_ptr<PhoneBookStorage>& storage : storages) {
    if (!IsKeyName(storage->Name)) continue;
    const std::string path = m_path + "\\" + storage->Name;
    const CRegKey key = OpenSettingsKey(path, true);
    if (!key.IsOpen()) continue;
    ReadLimitsAndView(key, *storage);

    bool sound = true;
    std::vector<std::unique_ptr<PhoneBookEntry>> entries;
    for (const std::string& name : key.SubKeyNames()) {
      const std::optional<int32_t> index = EntryIndex(name);
      std::optional<PhoneBookEntry> entry;
      if (index) entry = ReadEntry(OpenSettingsKey(path + "\\" + name, true), *index);
      if (!entry) {
        sound = false;
        continue;
      }
      entries.push_back(std::make_unique<PhoneBookEntry>(std::move(*entry)));
    }
    // The registry lists "1000" before "101": the list is in index order as it was read.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a->Index < b->Index; });
    const std::optional<uint32_t> count = QueryDword(key, kEntryCount, sound);
    storage->Entries = std::move(entries);
    storage->Loaded = sound && count && *count == storage->Entries.size();
  }
}

std::optional<uint32_t> CDeviceCache::ReadDword(const std::string& name) const {
  if (!IsOpen()) return std::nullopt;
  bool sound = true;
  return QueryDword(m_key, name.c_str(), sound);
}

bool CDeviceCache::WriteDword(const std::string& name, uint32_t value) {
  if (!IsOpen()) return false;
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return m_key.SetValue(name, Platform::kRegDword, bytes) == Platform::kErrorSuccess;
}

bool CDeviceCache::Distrust(const PhoneBookStorage& storage) {
  if (!IsOpen() || !IsKeyName(storage.Name)) return false;
  CRegKey key = OpenSettingsKey(m_path + "\\" + storage.Name, true);
  if (!key.IsOpen()) return true;  // nothing saved, nothing to vouch for
  return FarLib::WriteRegDword(key, kEntryCount, kNoEntryCount) == Platform::kErrorSuccess;
}

bool CDeviceCache::Save(const PhoneBookStorage& storage, bool viewOnly) {
  if (!IsOpen() || !IsKeyName(storage.Name)) return false;
  const std::string path = m_path + "\\" + storage.Name;
  CWriteStatus status;
  Platform::CRegTransaction atomic;
  if (viewOnly || !storage.Writable || !storage.Loaded) {
    CRegKey key = OpenSettingsKey(path);
    if (!key.IsOpen()) return false;
    WriteView(key, storage, status);
    return atomic.Commit() && status.Ok();
  }

  const uint32_t deleted = m_key.DeleteSubtree(storage.Name);
  if (deleted != Platform::kErrorFileNotFound) status.Note(deleted);
  CRegKey key = OpenSettingsKey(path);
  if (!key.IsOpen()) return false;
  WriteNumber(key, "MinIndex", storage.MinIndex, status);
  WriteNumber(key, "MaxIndex", storage.MaxIndex, status);
  WriteNumber(key, "MaxNameLength", storage.MaxNameLength, status);
  WriteNumber(key, "MaxPhoneLength", storage.MaxPhoneLength, status);
  WriteView(key, storage, status);
  for (const std::unique_ptr<PhoneBookEntry>& entry : storage.Entries) {
    CRegKey entryKey = OpenSettingsKey(path + "\\" + EntryKeyName(entry->Index));
    if (!entryKey.IsOpen()) return false;
    WriteEntryKey(entryKey, *entry, status);
  }
  // Only a save that wrote everything vouches for the entries.
  if (status.Ok()) {
    status.Note(
        FarLib::WriteRegDword(key, kEntryCount, static_cast<uint32_t>(storage.Entries.size())));
  }
  return atomic.Commit() && status.Ok();
}
