#include "settings/settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "farlib/registry.h"
#include "settings_fixture.h"

namespace {

using Platform::CRegKey;
using Platform::RegValue;

std::vector<uint8_t> Dword(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// Every value away from its default.
PluginSettings Changed() {
  PluginSettings s;
  s.PhoneShowInDisksMenu = false;
  s.PhoneDiskMenuKey = 3;
  s.PhoneShowInPluginsMenu = true;
  s.SMSShowInDisksMenu = true;
  s.SMSDiskMenuKey = 9;
  s.SMSShowInPluginsMenu = false;
  s.EnableSecondCOMPort = true;
  s.AlwaysShowPhone = true;
  s.DefaultSCA = "+447700900000";
  s.WriteLogFile = true;
  s.LogFile = "/tmp/zantel.log";
  s.OutFormat = 2;
  s.LastNamedPipe = "\\\\.\\pipe\\phone";
  s.LastPhoneSMSSent = "Anna; +447700900123";
  s.LastTextSMSSent = "See you at 8";
  s.NextConcatReference = 255;
  s.SettleTime = 0;
  s.FirstCOM = {3, 8388607, 7, 2, 1, false, true, 60};
  s.SecondCOM = {8, 300, 4, 4, 2, false, false, 1};
  s.Profiles.front().Charset = "UCS2";
  s.Profiles.front().SpecialCharacters = 0;
  s.Profiles.front().Flags = 0;
  s.Profiles.push_back({"Nokia", "6310i", "GSM", 2, 15});
  s.Profiles.push_back({"SIEMENS", "S55", "", 1, 0xFFFFFFFF});
  return s;
}

using SettingsStore = CSettingsFixture;

// Every setting's documented default, written out here rather than taken from the code, so a
// default changed in the code by mistake fails.
using SettingValue = std::variant<bool, int64_t, std::string>;

struct DocumentedDefault {
  const char* name;
  std::function<SettingValue(const PluginSettings&)> read;
  SettingValue value;
};

template <class Number>
SettingValue Num(Number number) {
  return static_cast<int64_t>(number);
}

const PortSettings& PortOf(const PluginSettings& s, int which) {
  return which == 1 ? s.FirstCOM : s.SecondCOM;
}

std::vector<DocumentedDefault> DocumentedDefaults() {
  using S = const PluginSettings&;
  std::vector<DocumentedDefault> rows = {
      {"PhoneShowInDisksMenu", [](S s) -> SettingValue { return s.PhoneShowInDisksMenu; }, true},
      {"PhoneDiskMenuKey", [](S s) { return Num(s.PhoneDiskMenuKey); }, Num(0)},
      {"PhoneShowInPluginsMenu", [](S s) -> SettingValue { return s.PhoneShowInPluginsMenu; },
       false},
      {"SMSShowInDisksMenu", [](S s) -> SettingValue { return s.SMSShowInDisksMenu; }, false},
      {"SMSDiskMenuKey", [](S s) { return Num(s.SMSDiskMenuKey); }, Num(0)},
      {"SMSShowInPluginsMenu", [](S s) -> SettingValue { return s.SMSShowInPluginsMenu; }, true},
      {"EnableSecondCOMPort", [](S s) -> SettingValue { return s.EnableSecondCOMPort; }, false},
      {"AlwaysShowPhone", [](S s) -> SettingValue { return s.AlwaysShowPhone; }, false},
      {"DefaultSCA", [](S s) -> SettingValue { return s.DefaultSCA; }, std::string("")},
      {"WriteLogFile", [](S s) -> SettingValue { return s.WriteLogFile; }, false},
      {"LogFile", [](S s) -> SettingValue { return s.LogFile; }, std::string("C:\\Zantel.log")},
      {"OutFormat", [](S s) { return Num(s.OutFormat); }, Num(0)},
      {"LastNamedPipe", [](S s) -> SettingValue { return s.LastNamedPipe; }, std::string("")},
      {"LastPhoneSMSSent", [](S s) -> SettingValue { return s.LastPhoneSMSSent; }, std::string("")},
      {"LastTextSMSSent", [](S s) -> SettingValue { return s.LastTextSMSSent; }, std::string("")},
      {"NextConcatReference", [](S s) { return Num(s.NextConcatReference); }, Num(256)},
      {"SettleTime", [](S s) { return Num(s.SettleTime); }, Num(1000)},
      {"Profiles (count)", [](S s) { return Num(s.Profiles.size()); }, Num(1)},
      {"Profile Manufacturer", [](S s) -> SettingValue { return s.Profiles.front().Manufacturer; },
       std::string("Default")},
      {"Profile Model", [](S s) -> SettingValue { return s.Profiles.front().Model; },
       std::string("")},
      {"Profile SpecialCharacters", [](S s) { return Num(s.Profiles.front().SpecialCharacters); },
       Num(1)},
      {"Profile Flags", [](S s) { return Num(s.Profiles.front().Flags); }, Num(7)},
      {"Profile Charset", [](S s) -> SettingValue { return s.Profiles.front().Charset; },
       std::string("")},
  };
  // Both ports have the same defaults, the second's port number included.
  for (const int which : {1, 2}) {
    const std::vector<DocumentedDefault> port = {
        {"Port", [=](S s) { return Num(PortOf(s, which).Port); }, Num(1)},
        {"BaudRate", [=](S s) { return Num(PortOf(s, which).BaudRate); }, Num(115200)},
        {"DataBits", [=](S s) { return Num(PortOf(s, which).DataBits); }, Num(8)},
        {"Parity", [=](S s) { return Num(PortOf(s, which).Parity); }, Num(0)},
        {"StopBits", [=](S s) { return Num(PortOf(s, which).StopBits); }, Num(0)},
        {"HwCtl", [=](S s) -> SettingValue { return PortOf(s, which).HwCtl; }, true},
        {"SwCtl", [=](S s) -> SettingValue { return PortOf(s, which).SwCtl; }, false},
        {"Timeout", [=](S s) { return Num(PortOf(s, which).Timeout); }, Num(10)},
    };
    rows.insert(rows.end(), port.begin(), port.end());
  }
  return rows;
}

std::string Show(const SettingValue& value) {
  if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
  if (const int64_t* number = std::get_if<int64_t>(&value)) return std::to_string(*number);
  return '"' + std::get<std::string>(value) + '"';
}

void ExpectDocumentedDefaults(const PluginSettings& settings, const char* source) {
  const std::vector<DocumentedDefault> rows = DocumentedDefaults();
  ASSERT_EQ(rows.size(), 23u + 2 * 8u);
  for (size_t row = 0; row < rows.size(); ++row) {
    const char* port = row < 23 ? "" : row < 31 ? "FirstCOM " : "SecondCOM ";
    EXPECT_EQ(Show(rows[row].read(settings)), Show(rows[row].value))
        << source << ": " << port << rows[row].name;
  }
}

TEST_F(SettingsStore, DefaultsAreTheDocumentedOnes) {
  ExpectDocumentedDefaults(PluginSettings{}, "a new record");
  Settings() = Changed();
  LoadSettings();
  ExpectDocumentedDefaults(Settings(), "loaded from an empty store");
}

TEST_F(SettingsStore, SaveThenLoadGivesTheSameValues) {
  Settings() = Changed();
  EXPECT_TRUE(SaveSettings());
  Settings() = PluginSettings{};
  LoadSettings();
  EXPECT_EQ(Settings(), Changed());
}

struct StoredName {
  const char* subkey;
  const char* name;
  uint32_t type;
};

class FirstSaveTest : public CSettingsFixture, public testing::WithParamInterface<StoredName> {};

TEST_P(FirstSaveTest, WritesEveryValueWithItsType) {
  SaveSettings();
  RegValue value;
  ASSERT_EQ(CRegKey::Open(KeyPath(GetParam().subkey)).QueryValue(GetParam().name, value),
            Platform::kErrorSuccess);
  EXPECT_EQ(value.Type, GetParam().type);
}

constexpr uint32_t kSz = Platform::kRegSz;
constexpr uint32_t kDw = Platform::kRegDword;

INSTANTIATE_TEST_SUITE_P(
    Values, FirstSaveTest,
    testing::Values(
        StoredName{"", "PhoneShowInDisksMenu", kDw}, StoredName{"", "PhoneDiskMenuKey", kDw},
        StoredName{"", "PhoneShowInPluginsMenu", kDw}, StoredName{"", "SMSShowInDisksMenu", kDw},
        StoredName{"", "SMSDiskMenuKey", kDw}, StoredName{"", "SMSShowInPluginsMenu", kDw},
        StoredName{"", "EnableSecondCOMPort", kDw}, StoredName{"", "AlwaysShowPhone", kDw},
        StoredName{"", "DefaultSCA", kSz}, StoredName{"", "WriteLogFile", kDw},
        StoredName{"", "LogFile", kSz}, StoredName{"", "OutFormat", kDw},
        StoredName{"", "LastNamedPipe", kSz}, StoredName{"", "LastPhoneSMSSent", kSz},
        StoredName{"", "LastTextSMSSent", kSz}, StoredName{"", "NextConcatReference", kDw},
        StoredName{"", "SettleTime", kDw}, StoredName{"\\FirstCOM", "Port", kDw},
        StoredName{"\\FirstCOM", "BaudRate", kDw}, StoredName{"\\FirstCOM", "DataBits", kDw},
        StoredName{"\\FirstCOM", "Parity", kDw}, StoredName{"\\FirstCOM", "StopBits", kDw},
        StoredName{"\\FirstCOM", "HwCtl", kDw}, StoredName{"\\FirstCOM", "SwCtl", kDw},
        StoredName{"\\FirstCOM", "Timeout", kDw}, StoredName{"\\SecondCOM", "Timeout", kDw},
        StoredName{"\\Models", "Manufacturer", kSz}, StoredName{"\\Models", "Model", kSz},
        StoredName{"\\Models", "Charset", kSz}, StoredName{"\\Models", "SpecialCharacters", kDw},
        StoredName{"\\Models", "Flags", kDw}));

TEST_F(SettingsStore, BooleansAreStoredAsZeroOrOne) {
  Settings().PhoneShowInDisksMenu = true;
  Settings().FirstCOM.SwCtl = false;
  SaveSettings();
  EXPECT_EQ(FarLib::ReadRegDword(CRegKey::Open(KeyPath()), "PhoneShowInDisksMenu", 9), 1u);
  EXPECT_EQ(FarLib::ReadRegDword(CRegKey::Open(KeyPath("\\FirstCOM")), "SwCtl", 9), 0u);
}

// One stored value and the setting it loads as.
struct LoadCase {
  const char* label;
  const char* subkey;
  const char* name;
  uint32_t type;
  std::vector<uint8_t> data;
  std::function<int64_t(const PluginSettings&)> field;
  int64_t expected;
};

class LoadValueTest : public CSettingsFixture, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadValueTest, LoadsAsExpected) {
  CRegKey::Create(KeyPath(GetParam().subkey))
      .SetValue(GetParam().name, GetParam().type, GetParam().data);
  LoadSettings();
  EXPECT_EQ(GetParam().field(Settings()), GetParam().expected);
}

int64_t Port(const PluginSettings& s) { return s.FirstCOM.Port; }
int64_t Timeout(const PluginSettings& s) { return s.FirstCOM.Timeout; }
int64_t BaudRate(const PluginSettings& s) { return s.FirstCOM.BaudRate; }
int64_t DataBits(const PluginSettings& s) { return s.FirstCOM.DataBits; }
int64_t Parity(const PluginSettings& s) { return s.SecondCOM.Parity; }
int64_t StopBits(const PluginSettings& s) { return s.SecondCOM.StopBits; }
int64_t HwCtl(const PluginSettings& s) { return s.SecondCOM.HwCtl; }
int64_t PhoneInDisks(const PluginSettings& s) { return s.PhoneShowInDisksMenu; }
int64_t SmsInDisks(const PluginSettings& s) { return s.SMSShowInDisksMenu; }
int64_t PhoneKey(const PluginSettings& s) { return s.PhoneDiskMenuKey; }
int64_t OutFormat(const PluginSettings& s) { return s.OutFormat; }
int64_t SettleTime(const PluginSettings& s) { return s.SettleTime; }
int64_t NextReference(const PluginSettings& s) { return s.NextConcatReference; }
int64_t DefaultSpecial(const PluginSettings& s) { return s.Profiles.front().SpecialCharacters; }
int64_t DefaultFlags(const PluginSettings& s) { return s.Profiles.front().Flags; }
int64_t LogFileIsDefault(const PluginSettings& s) { return s.LogFile == "C:\\Zantel.log"; }

INSTANTIATE_TEST_SUITE_P(
    Values, LoadValueTest,
    testing::Values(
        LoadCase{"PortNine", "\\FirstCOM", "Port", kDw, Dword(9), Port, 1},
        LoadCase{"PortEight", "\\FirstCOM", "Port", kDw, Dword(8), Port, 8},
        LoadCase{"PortZero", "\\FirstCOM", "Port", kDw, Dword(0), Port, 1},
        LoadCase{"TimeoutZero", "\\FirstCOM", "Timeout", kDw, Dword(0), Timeout, 10},
        LoadCase{"TimeoutSixtyOne", "\\FirstCOM", "Timeout", kDw, Dword(61), Timeout, 10},
        LoadCase{"TimeoutSixty", "\\FirstCOM", "Timeout", kDw, Dword(60), Timeout, 60},
        LoadCase{"BaudRate299", "\\FirstCOM", "BaudRate", kDw, Dword(299), BaudRate, 115200},
        LoadCase{"BaudRate300", "\\FirstCOM", "BaudRate", kDw, Dword(300), BaudRate, 300},
        LoadCase{"BaudRateTooHigh", "\\FirstCOM", "BaudRate", kDw, Dword(8388608), BaudRate,
                 115200},
        LoadCase{"BaudRateAsText", "\\FirstCOM", "BaudRate", kSz, Text("9600"), BaudRate, 115200},
        LoadCase{"DataBitsNine", "\\FirstCOM", "DataBits", kDw, Dword(9), DataBits, 8},
        LoadCase{"DataBitsThree", "\\FirstCOM", "DataBits", kDw, Dword(3), DataBits, 8},
        LoadCase{"DataBitsFour", "\\FirstCOM", "DataBits", kDw, Dword(4), DataBits, 4},
        LoadCase{"ParityFive", "\\SecondCOM", "Parity", kDw, Dword(5), Parity, 0},
        LoadCase{"ParityFour", "\\SecondCOM", "Parity", kDw, Dword(4), Parity, 4},
        LoadCase{"StopBitsThree", "\\SecondCOM", "StopBits", kDw, Dword(3), StopBits, 0},
        LoadCase{"HwCtlTwo", "\\SecondCOM", "HwCtl", kDw, Dword(2), HwCtl, 1},
        LoadCase{"HwCtlAsBinary", "\\SecondCOM", "HwCtl", Platform::kRegBinary, Dword(0), HwCtl, 1},
        LoadCase{"PhoneInDisksTwo", "", "PhoneShowInDisksMenu", kDw, Dword(2), PhoneInDisks, 1},
        LoadCase{"PhoneInDisksZero", "", "PhoneShowInDisksMenu", kDw, Dword(0), PhoneInDisks, 0},
        LoadCase{"SmsInDisksTwo", "", "SMSShowInDisksMenu", kDw, Dword(2), SmsInDisks, 0},
        LoadCase{"SmsInDisksOne", "", "SMSShowInDisksMenu", kDw, Dword(1), SmsInDisks, 1},
        LoadCase{"DiskKeyTen", "", "PhoneDiskMenuKey", kDw, Dword(10), PhoneKey, 0},
        LoadCase{"DiskKeyNine", "", "PhoneDiskMenuKey", kDw, Dword(9), PhoneKey, 9},
        LoadCase{"DiskKeyNegative", "", "PhoneDiskMenuKey", kDw, Dword(0xFFFFFFFF), PhoneKey, 0},
        LoadCase{"OutFormatTwo", "", "OutFormat", kDw, Dword(2), OutFormat, 2},
        LoadCase{"OutFormatThree", "", "OutFormat", kDw, Dword(3), OutFormat, 3},
        LoadCase{"OutFormatFour", "", "OutFormat", kDw, Dword(4), OutFormat, 0},
        LoadCase{"SettleTimeZero", "", "SettleTime", kDw, Dword(0), SettleTime, 0},
        LoadCase{"SettleTimeTenSeconds", "", "SettleTime", kDw, Dword(10000), SettleTime, 10000},
        LoadCase{"SettleTimeLonger", "", "SettleTime", kDw, Dword(10001), SettleTime, 1000},
        LoadCase{"ReferenceCounted", "", "NextConcatReference", kDw, Dword(255), NextReference,
                 255},
        LoadCase{"ReferenceBeyondEightBits", "", "NextConcatReference", kDw, Dword(256),
                 NextReference, 256},
        LoadCase{"LogFileAsDword", "", "LogFile", kDw, Dword(1), LogFileIsDefault, 1},
        LoadCase{"LogFileAsExpandText", "", "LogFile", Platform::kRegExpandSz, Text("%TEMP%"),
                 LogFileIsDefault, 1},
        LoadCase{"SpecialCharactersThree", "\\Models", "SpecialCharacters", kDw, Dword(3),
                 DefaultSpecial, 1},
        LoadCase{"SpecialCharactersTwo", "\\Models", "SpecialCharacters", kDw, Dword(2),
                 DefaultSpecial, 2},
        LoadCase{"SpecialCharactersAsText", "\\Models", "SpecialCharacters", kSz, Text("0"),
                 DefaultSpecial, 1},
        LoadCase{"FlagsZero", "\\Models", "Flags", kDw, Dword(0), DefaultFlags, 0},
        LoadCase{"FlagsAsText", "\\Models", "Flags", kSz, Text("0"), DefaultFlags, 7},
        LoadCase{"FlagsShort", "\\Models", "Flags", kDw, {1, 0}, DefaultFlags, 7}),
    [](const testing::TestParamInfo<LoadCase>& info) { return info.param.label; });

void StoreProfile(const std::string& path, const ModelProfile& profile) {
  CRegKey key = CRegKey::Create(path);
  WriteProfile(key, profile);
}

TEST_F(SettingsStore, ProfilesLoadUpToTheFirstGapAndTheNextSaveDropsTheRest) {
  StoreProfile(KeyPath("\\Models"), DefaultProfile());
  StoreProfile(KeyPath("\\Models\\0000"), {"Nokia", "6310i", "GSM", 1, 7});
  StoreProfile(KeyPath("\\Models\\0001"), {"SIEMENS", "S55", "UCS2", 1, 5});
  StoreProfile(KeyPath("\\Models\\0003"), {"Motorola", "C380", "", 1, 7});
  LoadSettings();
  ASSERT_EQ(Settings().Profiles.size(), 3u);
  EXPECT_EQ(Settings().Profiles[1].Model, "6310i");
  EXPECT_EQ(Settings().Profiles[2].Model, "S55");

  SaveSettings();
  EXPECT_TRUE(CRegKey::Open(KeyPath("\\Models\\0000")).IsOpen());
  EXPECT_TRUE(CRegKey::Open(KeyPath("\\Models\\0001")).IsOpen());
  EXPECT_FALSE(CRegKey::Open(KeyPath("\\Models\\0002")).IsOpen());
  EXPECT_FALSE(CRegKey::Open(KeyPath("\\Models\\0003")).IsOpen());
  EXPECT_EQ(CRegKey::Open(KeyPath("\\Models")).SubKeyNames(),
            (std::vector<std::string>{"0000", "0001"}));
}

TEST_F(SettingsStore, ProfileKeysAreNumberedInUpperCaseHexadecimal) {
  for (int i = 0; i < 11; ++i) {
    Settings().Profiles.push_back({"Maker", "Model " + std::to_string(i), "", 1, 7});
  }
  SaveSettings();
  const ModelProfile tenth = ReadProfile(CRegKey::Open(KeyPath("\\Models\\000A")));
  EXPECT_EQ(tenth.Model, "Model 10");
  Settings() = PluginSettings{};
  LoadSettings();
  EXPECT_EQ(Settings().Profiles.size(), 12u);
}

TEST_F(SettingsStore, DefaultProfileIsAlwaysNamedDefault) {
  StoreProfile(KeyPath("\\Models"), {"Nokia", "6310i", "GSM", 2, 3});
  LoadSettings();
  const ModelProfile& first = Settings().Profiles.front();
  EXPECT_EQ(first.Manufacturer, "Default");
  EXPECT_EQ(first.Model, "6310i");
  EXPECT_EQ(first.SpecialCharacters, 2);
  EXPECT_EQ(first.Flags, 3u);
}

TEST_F(SettingsStore, ASaveRemovesProfilesDeletedFromTheList) {
  Settings() = Changed();
  SaveSettings();
  Settings().Profiles.erase(Settings().Profiles.begin() + 1);
  SaveSettings();
  LoadSettings();
  ASSERT_EQ(Settings().Profiles.size(), 2u);
  EXPECT_EQ(Settings().Profiles[1].Manufacturer, "SIEMENS");
  EXPECT_FALSE(CRegKey::Open(KeyPath("\\Models\\0001")).IsOpen());
}

TEST_F(SettingsStore, ASaveKeepsOtherKeysOfThePlugIn) {
  CRegKey::Create(KeyPath("\\Devices\\354317001234567\\SM"));
  SaveSettings();
  EXPECT_TRUE(CRegKey::Open(KeyPath("\\Devices\\354317001234567\\SM")).IsOpen());
}

TEST_F(SettingsStore, KeyPathsUpTo259CharactersOpen) {
  const std::string prefix = "\\Devices\\";
  const size_t room = kMaxSettingsKeyPath - KeyPath(prefix).size();
  EXPECT_TRUE(OpenSettingsKey(prefix + std::string(room, 'I')).IsOpen());
  EXPECT_FALSE(OpenSettingsKey(prefix + std::string(room + 1, 'I')).IsOpen());
  EXPECT_FALSE(CRegKey::Open(KeyPath(prefix + std::string(room + 1, 'I'))).IsOpen());
}

TEST_F(SettingsStore, OpenOnlyDoesNotCreate) {
  EXPECT_FALSE(OpenSettingsKey("\\Models\\0000", true).IsOpen());
  EXPECT_FALSE(CRegKey::Open(KeyPath("\\Models\\0000")).IsOpen());
  EXPECT_TRUE(OpenSettingsKey("\\Models\\0000").IsOpen());
}

TEST_F(SettingsStore, ARootKeyTooLongForAnyPathGivesDefaultsAndStoresNothing) {
  UseRootKey(Registry().Root() + "\\" + std::string(300, 'R'));
  Settings() = Changed();
  EXPECT_FALSE(SaveSettings());
  LoadSettings();
  EXPECT_EQ(Settings(), PluginSettings{});
  EXPECT_FALSE(CRegKey::Open(Registry().Root()).IsOpen());
}

}  // namespace
