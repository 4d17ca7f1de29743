#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "encoding/charset.h"
#include "farlib/registry.h"
#include "phone_book_fixture.h"
#include "phonebook/device_cache.h"

namespace {

using Platform::CRegKey;
constexpr const char* kIdentity = "350123451234560";

std::unique_ptr<PhoneBookEntry> Entry(int32_t index, std::string number, uint32_t type,
                                      WideString name, uint64_t time) {
  auto entry = std::make_unique<PhoneBookEntry>();
  *entry = {index, std::move(number), type, WideToOem(name), name, time};
  return entry;
}

// Indexes past 999 get more digits, so the registry lists "1000" before "999".
std::unique_ptr<PhoneBookStorage> Sample(const std::string& name = "SM") {
  auto s = std::make_unique<PhoneBookStorage>(name);
  s->MinIndex = 1, s->MaxIndex = 1000, s->MaxNameLength = 18, s->MaxPhoneLength = 40;
  s->ViewMode = 4, s->SortMode = 3, s->SortOrder = 1, s->Loaded = true;
  s->Entries.push_back(Entry(1, "+447700900123", 145, u"Ann", 0));
  s->Entries.push_back(Entry(999, "0123", 129, u"\u041C\u0430\u043C\u0430", 0x01C80ABC12345678));
  s->Entries.push_back(Entry(1000, "", 128, u"", 0x12345678));
  return s;
}

std::string Describe(const PhoneBookStorage& s) {
  std::string text = std::to_string(s.MinIndex) + "-" + std::to_string(s.MaxIndex) + " " +
                     std::to_string(s.MaxNameLength) + " " + std::to_string(s.MaxPhoneLength) +
                     " view " + std::to_string(s.ViewMode) + std::to_string(s.SortMode) +
                     std::to_string(s.SortOrder) + (s.Loaded ? " loaded" : "");
  for (const auto& e : s.Entries) {
    text += " | " + std::to_string(e->Index) + " " + e->Number + " " + std::to_string(e->Type) +
            " " + WideToUtf8(e->WideName) + " " + e->Name + " " + std::to_string(e->Time);
  }
  return text;
}

class DeviceCache : public CPhoneBookTest {
 protected:
  std::unique_ptr<PhoneBookStorage> Reload(const std::string& name = "SM") {
    std::vector<std::unique_ptr<PhoneBookStorage>> storages;
    storages.push_back(std::make_unique<PhoneBookStorage>(name));
    m_cache.Load(storages);
    return std::move(storages[0]);
  }
  bool HasValue(const std::string& subkey, const char* name) {
    Platform::RegValue value;
    return CRegKey::Open(KeyPath("\\Devices\\" + std::string(kIdentity) + subkey))
               .QueryValue(name, value) == 0;
  }
  CDeviceCache m_cache;
};

TEST_F(DeviceCache, SavedStorageComesBackTheSame) {
  ASSERT_TRUE(m_cache.Open(kIdentity));
  const auto saved = Sample();
  ASSERT_TRUE(m_cache.Save(*saved, false));
  EXPECT_EQ(Describe(*Reload()), Describe(*saved));
  EXPECT_FALSE(HasValue("\\SM\\001", "HighTime") || HasValue("\\SM\\001", "LowTime"));
  EXPECT_FALSE(HasValue("\\SM\\1000", "HighTime"));
  EXPECT_TRUE(HasValue("\\SM\\999", "HighTime") && HasValue("\\SM\\999", "LowTime"));
}

// A save that may write only the view leaves the limits and entries of the key as they were.
TEST_F(DeviceCache, ViewOnlySavesTouchNothingButTheView) {
  const struct {
    const char* storage;
    bool loaded;
    bool viewOnly;
  } cases[] = {{"SM", true, true}, {"SM", false, false}, {"MC", true, false}};
  ASSERT_TRUE(m_cache.Open(kIdentity));
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.storage) + (c.loaded ? " loaded" : "") +
                 (c.viewOnly ? " view" : ""));
    auto storage = Sample(c.storage);
    storage->Writable = true;
    ASSERT_TRUE(m_cache.Save(*storage, false));
    storage = Sample(c.storage);
    storage->Loaded = c.loaded;
    storage->Entries.pop_back();
    storage->MaxIndex = 7;
    storage->ViewMode = 1;
    ASSERT_TRUE(m_cache.Save(*storage, c.viewOnly));
    const auto back = Reload(c.storage);
    EXPECT_EQ(
        std::vector<size_t>({size_t(back->ViewMode), size_t(back->MaxIndex), back->Entries.size()}),
        std::vector<size_t>({1, 1000, 3}));
  }
  // A call list never saved whole gets its view and nothing else.
  ASSERT_TRUE(m_cache.Save(*Sample("RC"), false));
  EXPECT_TRUE(HasValue("\\RC", "ViewMode"));
  EXPECT_FALSE(HasValue("\\RC", "MinIndex"));
  EXPECT_TRUE(CRegKey::Open(KeyPath("\\Devices\\" + std::string(kIdentity) + "\\RC"))
                  .SubKeyNames()
                  .empty());
}

// One value written over a complete save; a null name only creates the key.
struct Damage {
  const char* subkey;
  const char* name;
  std::variant<uint32_t, const char*> value;
};

TEST_F(DeviceCache, UnsoundKeysAreReadAsFarAsTheyAreSound) {
  const std::string sound = "1-1000 18 40 view 431";
  const struct {
    const char* name;
    std::vector<Damage> damage;
    std::string expected;  // the limits, view, whether loaded, and the indexes read
  } cases[] = {
      {"Sound", {}, sound + " loaded 1 999 1000"},
      {"MaxIndexBelowMinIndex",
       {{"", "MinIndex", 5u}, {"", "MaxIndex", 3u}},
       "5-255 18 40 view 431 loaded 1 999 1000"},
      {"LimitsAndViewOutOfRange",
       {{"", "MinIndex", "3"},
        {"", "MaxNameLength", 0u},
        {"", "ViewMode", 10u},
        {"", "SortMode", 0x80000000u},
        {"", "SortOrder", 2u}},
       "1-1000 16 40 view 220 loaded 1 999 1000"},
      {"EntryNameNotANumber", {{"\\abc", "Phone", "1"}}, sound + " 1 999 1000"},
      {"EntryNameNotAsSaved",
       {{"\\0002", "Phone", "1"}, {"\\0002", "Type", 129u}, {"\\0002", "Name", "B"}},
       sound + " 1 999 1000"},
      {"EntryKeyLeftEmptyByACrash", {{"\\005", nullptr, 0u}}, sound + " 1 999 1000"},
      {"TypeOfWrongType", {{"\\001", "Type", "145"}}, sound + " 999 1000"},
      {"NameOfWrongType", {{"\\999", "Name", 1u}}, sound + " 1 1000"},
      {"TimeOfWrongType", {{"\\1000", "HighTime", "1"}}, sound + " 1 999"},
      {"MoreEntriesCountedThanThere", {{"", "EntryCount", 4u}}, sound + " 1 999 1000"},
      {"CountOfWrongType", {{"", "EntryCount", "3"}}, sound + " 1 999 1000"},
  };
  const std::string path = KeyPath("\\Devices\\" + std::string(kIdentity) + "\\SM");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(m_cache.Open(kIdentity));
    ASSERT_TRUE(m_cache.Save(*Sample(), false));
    for (const Damage& d : c.damage) {
      CRegKey key = CRegKey::Create(path + d.subkey);
      if (!d.name) continue;
      if (const auto* number = std::get_if<uint32_t>(&d.value)) {
        FarLib::WriteRegDword(key, d.name, *number);
      } else {
        FarLib::WriteRegString(key, d.name, std::get<const char*>(d.value));
      }
    }
    const auto back = Reload();
    std::string summary = Describe(*back).substr(0, Describe(*back).find(" |"));
    for (const auto& e : back->Entries) summary += " " + std::to_string(e->Index);
    EXPECT_EQ(summary, c.expected);
    m_cache.Close();
    CRegKey::Open(KeyPath("")).DeleteSubtree("Devices");
  }
}

// Whatever the phone calls itself, its cache is one key right below Devices, or none at all.
TEST_F(DeviceCache, EveryIdentityStaysBelowDevices) {
  const std::string longA(300, 'A');
  const std::string longB = std::string(299, 'A') + "B";
  const struct {
    std::string identity;
    std::string key;  // "" when no cache can be had
  } cases[] = {
      {kIdentity, kIdentity},
      {"SIEMENS S55", "SIEMENS S55"},
      {"..\\..\\Software\\x", ".._.._Software_x"},
      {"x\r\ny\t\x7f", "x__y__"},
      {"..", "__"},
      {"", ""},
      {longA, DeviceKeyName(longA)},
      {longB, DeviceKeyName(longB)},
  };
  std::vector<std::string> keys;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.identity);
    EXPECT_EQ(m_cache.Open(c.identity), !c.key.empty());
    EXPECT_EQ(DeviceKeyName(c.identity), c.key);
    if (!c.key.empty()) {
      EXPECT_TRUE(CRegKey::Open(KeyPath("\\Devices\\" + c.key)).IsOpen());
      keys.push_back(c.key);
    }
    EXPECT_FALSE(m_cache.Save(*Sample("S\\M"), false));
  }
  EXPECT_EQ(DeviceKeyName(longA).size(), kMaxDeviceKeyName);
  EXPECT_NE(DeviceKeyName(longA), DeviceKeyName(longB));
  EXPECT_EQ(DeviceKeyName(longA).substr(0, 60), longA.substr(0, 60));
  EXPECT_EQ(CRegKey::Open(KeyPath("")).SubKeyNames(), std::vector<std::string>{"Devices"});
  EXPECT_EQ(CRegKey::Open(KeyPath("\\Devices")).SubKeyNames().size(), keys.size());

  // A host whose key leaves no room for the phone's: no cache, and nothing happens.
  m_texts.SetRootKey(m_registry.Root() + "\\" + std::string(230, 'r'));
  EXPECT_FALSE(m_cache.Open(kIdentity));
  EXPECT_FALSE(m_cache.Save(*Sample(), false));
  EXPECT_FALSE(Reload()->Loaded);
}

}  // namespace
