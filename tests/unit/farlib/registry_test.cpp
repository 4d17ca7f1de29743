#include "farlib/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "temp_registry.h"

namespace FarLib {
namespace {

using Platform::CRegKey;

// One stored value (or none) and what a read with a given default makes of it.
struct Stored {
  uint32_t type;
  std::vector<uint8_t> data;
};

class CRegistryValues : public testing::Test {
 protected:
  CRegKey& Key() { return m_key; }
  CRegKey& Store(const std::optional<Stored>& value) {
    if (value) m_key.SetValue("Value", value->type, value->data);
    return m_key;
  }

 private:
  CTempRegistry m_registry;
  CRegKey m_key = CRegKey::Create(m_registry.Root());
};

const Stored kDword0{Platform::kRegDword, {0, 0, 0, 0}};
const Stored kDword1{Platform::kRegDword, {1, 0, 0, 0}};
const Stored kDword2{Platform::kRegDword, {2, 0, 0, 0}};
const Stored kShortDword{Platform::kRegDword, {1, 0}};
const Stored kLongDword{Platform::kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}};
const Stored kTextOne{Platform::kRegSz, {'1', 0}};
const Stored kBinaryOne{Platform::kRegBinary, {1, 0, 0, 0}};

struct BoolCase {
  const char* label;
  std::optional<Stored> stored;
  bool defaultValue;
  bool expected;
};

class BoolReadTest : public CRegistryValues, public testing::WithParamInterface<BoolCase> {};

TEST_P(BoolReadTest, AcceptsOnlyADwordOfZeroOrOne) {
  bool value = !GetParam().expected;
  ReadRegBool(Store(GetParam().stored), "Value", value, GetParam().defaultValue);
  EXPECT_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, BoolReadTest,
                         testing::Values(BoolCase{"ZeroOverTrue", kDword0, true, false},
                                         BoolCase{"OneOverFalse", kDword1, false, true},
                                         BoolCase{"TwoGivesTrueDefault", kDword2, true, true},
                                         BoolCase{"TwoGivesFalseDefault", kDword2, false, false},
                                         BoolCase{"ShortDword", kShortDword, false, false},
                                         BoolCase{"LongDword", kLongDword, false, false},
                                         BoolCase{"Text", kTextOne, false, false},
                                         BoolCase{"Binary", kBinaryOne, false, false},
                                         BoolCase{"Missing", std::nullopt, true, true}),
                         [](const testing::TestParamInfo<BoolCase>& info) {
                           return info.param.label;
                         });

struct IntegerCase {
  const char* label;
  std::optional<Stored> stored;
  int32_t expected;  // read with the range 1 to 8 and the default 5
};

class IntegerReadTest : public CRegistryValues, public testing::WithParamInterface<IntegerCase> {};

TEST_P(IntegerReadTest, TakesADwordWithinTheRange) {
  EXPECT_EQ(ReadRegInteger(Store(GetParam().stored), "Value", 1, 8, 5), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerReadTest,
    testing::Values(IntegerCase{"Low", kDword1, 1},
                    IntegerCase{"High", Stored{Platform::kRegDword, {8, 0, 0, 0}}, 8},
                    IntegerCase{"BelowRange", kDword0, 5},
                    IntegerCase{"AboveRange", Stored{Platform::kRegDword, {9, 0, 0, 0}}, 5},
                    IntegerCase{"HighByteSet", Stored{Platform::kRegDword, {1, 0, 0, 1}}, 5},
                    IntegerCase{"AllBitsSet", Stored{Platform::kRegDword, {255, 255, 255, 255}}, 5},
                    IntegerCase{"ShortDword", kShortDword, 5}, IntegerCase{"Text", kTextOne, 5},
                    IntegerCase{"Missing", std::nullopt, 5}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return info.param.label; });

TEST_F(CRegistryValues, DwordKeepsAllThirtyTwoBits) {
  WriteRegDword(Key(), "Value", 0xFEDCBA98u);
  EXPECT_EQ(ReadRegDword(Key(), "Value", 0), 0xFEDCBA98u);
  EXPECT_EQ(ReadRegDword(Store(kShortDword), "Value", 42), 42u);
}

struct StringCase {
  const char* label;
  std::optional<Stored> stored;
  const char* defaultText;
  std::optional<std::string> expected;  // nullopt: no text at all
};

class StringReadTest : public CRegistryValues, public testing::WithParamInterface<StringCase> {};

TEST_P(StringReadTest, TakesATextValueUpToItsZero) {
  EXPECT_EQ(ReadRegStringCopy(Store(GetParam().stored), "Value", GetParam().defaultText),
            GetParam().expected);
  std::string text = "stale";
  ReadRegString(Key(), "Value", text, GetParam().defaultText);
  EXPECT_EQ(text, GetParam().expected.value_or(""));
}

INSTANTIATE_TEST_SUITE_P(
    Values, StringReadTest,
    testing::Values(
        StringCase{"Text", Stored{Platform::kRegSz, {'C', 'O', 'M', 0}}, "x", "COM"},
        StringCase{"Empty", Stored{Platform::kRegSz, {0}}, "x", ""},
        StringCase{"NoZero", Stored{Platform::kRegSz, {'a', 'b'}}, "x", "ab"},
        StringCase{"InnerZero", Stored{Platform::kRegSz, {'a', 0, 'b', 0}}, "x", "a"},
        StringCase{"ExpandText", Stored{Platform::kRegExpandSz, {'a', 0}}, "dflt", "dflt"},
        StringCase{"Dword", kDword1, "dflt", "dflt"},
        StringCase{"MissingWithDefault", std::nullopt, "C:\\Zantel.log", "C:\\Zantel.log"},
        StringCase{"MissingWithoutDefault", std::nullopt, nullptr, std::nullopt},
        StringCase{"DwordWithoutDefault", kDword1, nullptr, std::nullopt}),
    [](const testing::TestParamInfo<StringCase>& info) { return info.param.label; });

TEST_F(CRegistryValues, StringWritesItsZero) {
  ASSERT_EQ(WriteRegString(Key(), "Value", "+4477"), Platform::kErrorSuccess);
  Platform::RegValue value;
  Key().QueryValue("Value", value);
  EXPECT_EQ(value.Type, Platform::kRegSz);
  EXPECT_EQ(value.Data, (std::vector<uint8_t>{'+', '4', '4', '7', '7', 0}));
}

TEST_F(CRegistryValues, WideStringRoundTrips) {
  const WideString name = u"Анна €";
  WriteRegWideString(Key(), "Value", name);
  WideString read;
  ReadRegWideString(Key(), "Value", read, u"default");
  EXPECT_EQ(read, name);
}

TEST_F(CRegistryValues, EmptyWideStringIsTwoZeroBytes) {
  WriteRegWideString(Key(), "Value", WideString());
  Platform::RegValue value;
  Key().QueryWideValue("Value", value);
  EXPECT_EQ(value.Data, (std::vector<uint8_t>{0, 0}));
  WideString read = u"stale";
  ReadRegWideString(Key(), "Value", read, u"default");
  EXPECT_EQ(read, WideString());
}

TEST_F(CRegistryValues, WideStringEndsAtItsFirstZeroUnit) {
  Key().SetWideValue("Value", std::vector<uint8_t>{'A', 0, 0, 0, 'B', 0, 0, 0});
  WideString read;
  ReadRegWideString(Key(), "Value", read, u"default");
  EXPECT_EQ(read, u"A");
}

TEST_F(CRegistryValues, WideStringOfTheOtherSystemFamilyGivesTheDefault) {
  // One family stores wide texts as REG_SZ, the other as REG_BINARY.
  const uint32_t otherType =
      CRegKey::WideTextType() == Platform::kRegSz ? Platform::kRegBinary : Platform::kRegSz;
  Key().SetValue("Value", otherType, std::vector<uint8_t>{'A', 0, 0, 0});
  WideString read;
  ReadRegWideString(Key(), "Value", read, u"default");
  EXPECT_EQ(read, u"default");
}

TEST(RegistryValues, ClosedKeyGivesDefaultsAndFailsWrites) {
  CRegKey closed;
  bool flag = false;
  ReadRegBool(closed, "HwCtl", flag, true);
  EXPECT_TRUE(flag);
  EXPECT_EQ(ReadRegInteger(closed, "Port", 1, 8, 1), 1);
  EXPECT_EQ(ReadRegStringCopy(closed, "LogFile", "C:\\Zantel.log"), "C:\\Zantel.log");
  EXPECT_NE(WriteRegDword(closed, "Port", 2), Platform::kErrorSuccess);
  EXPECT_NE(WriteRegString(closed, "LogFile", "x"), Platform::kErrorSuccess);
}

}  // namespace
}  // namespace FarLib
