#include "farlib/storage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>

namespace {

using FarLib::CFarIntegerStorage;
using FarLib::CFarTextStorage;

struct ReadCase {
  const char* name;
  bool hex;
  const char* text;
  std::optional<int32_t> value;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class NumberRead : public testing::TestWithParam<ReadCase> {};

TEST_P(NumberRead, ReadsLikeScanfWithoutOverflow) {
  const ReadCase& c = GetParam();
  const FarLib::CFarNumberFormat& format = c.hex ? FarLib::HexFormat() : FarLib::DecimalFormat();
  int32_t value = 12345;
  EXPECT_EQ(format.Read(c.text, value), c.value.has_value());
  if (c.value) {
    EXPECT_EQ(value, *c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberRead,
    testing::Values(
        ReadCase{"Decimal", false, "42", 42}, ReadCase{"LeadingBlanks", false, " \t42", 42},
        ReadCase{"PlusSign", false, "+7", 7}, ReadCase{"Negative", false, "-5", -5},
        ReadCase{"TrailingTextIgnored", false, "12ab", 12},
        ReadCase{"Empty", false, "", std::nullopt}, ReadCase{"Letters", false, "abc", std::nullopt},
        ReadCase{"SignOnly", false, "-", std::nullopt},
        ReadCase{"Largest", false, "2147483647", 2147483647},
        ReadCase{"Smallest", false, "-2147483648", INT32_MIN},
        ReadCase{"TooLarge", false, "2147483648", std::nullopt},
        ReadCase{"FarTooLarge", false, "99999999999999999999999", std::nullopt},
        ReadCase{"HexUpper", true, "FF", 255}, ReadCase{"HexLower", true, "ff", 255},
        ReadCase{"HexPrefix", true, "0x1f", 31}, ReadCase{"HexAllBits", true, "FFFFFFFF", -1},
        ReadCase{"HexNegative", true, "-1", -1},
        ReadCase{"HexTooLong", true, "100000000", std::nullopt},
        ReadCase{"HexNoDigits", true, "xyz", std::nullopt}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(NumberFormat, HexWritesUpperCaseAndCutsToTheBuffer) {
  std::array<char, 16> text{};
  FarLib::HexFormat().Format(255, text);
  EXPECT_STREQ(text.data(), "FF");
  FarLib::HexFormat().Format(-1, text);
  EXPECT_STREQ(text.data(), "FFFFFFFF");
  std::array<char, 4> small{};
  FarLib::DecimalFormat().Format(-12345, small);
  EXPECT_STREQ(small.data(), "-12");
}

TEST(IntegerStorage, NarrowVariablesWrapAndWiden) {
  uint8_t u8 = 0;
  CFarIntegerStorage(u8).SetValue(300);
  EXPECT_EQ(u8, 44);
  int8_t s8 = static_cast<int8_t>(0xFF);
  EXPECT_EQ(CFarIntegerStorage(s8).GetValue(), -1);
  uint16_t u16 = 0xFFFF;
  EXPECT_EQ(CFarIntegerStorage(u16).GetValue(), 65535);
  int16_t s16 = 0;
  CFarIntegerStorage(s16).SetValue(0x18000);
  EXPECT_EQ(s16, -32768);
  uint32_t u32 = 0;
  CFarIntegerStorage(u32).SetValue(-1);
  EXPECT_EQ(u32, 0xFFFFFFFFu);
}

TEST(IntegerStorage, TextThroughItsNumberFormat) {
  uint32_t flags = 255;
  CFarIntegerStorage storage(flags, FarLib::HexFormat());
  EXPECT_EQ(storage.GetString(), "FF");
  EXPECT_TRUE(storage.CheckText("ff"));
  storage.SetText("a0");
  EXPECT_EQ(flags, 0xA0u);
  EXPECT_FALSE(storage.CheckText("zz"));
  storage.SetText("zz");
  EXPECT_EQ(flags, 0xA0u);
}

TEST(IntegerStorage, CopyStillWritesTheVariable) {
  int32_t port = 1;
  const CFarIntegerStorage original(port);
  std::unique_ptr<FarLib::CFarStorage> copy = original.Clone();
  copy->SetText("5");
  EXPECT_EQ(port, 5);
}

TEST(TextStorage, StringObject) {
  std::string text = "Hello";
  CFarTextStorage storage(text);
  std::array<char, 4> room{};
  storage.GetText(room);
  EXPECT_STREQ(room.data(), "Hel");
  storage.SetText("World");
  EXPECT_EQ(text, "World");
  EXPECT_EQ(storage.GetString(), "World");
  EXPECT_TRUE(storage.CheckText("anything"));
}

TEST(TextStorage, ReadOnlyIgnoresSetText) {
  std::string text = "keep";
  CFarTextStorage(text, true).SetText("changed");
  EXPECT_EQ(text, "keep");
  char field[8] = "keep";
  CFarTextStorage(field, 8, true).SetText("changed");
  EXPECT_STREQ(field, "keep");
  CFarTextStorage view("shown");
  view.SetText("changed");
  EXPECT_EQ(view.GetString(), "shown");
}

TEST(TextStorage, HeapTextStartsEmptyAndSettingCopies) {
  std::unique_ptr<char[]> text;
  CFarTextStorage storage(text);
  std::array<char, 8> room{'x', 'x'};
  storage.GetText(room);
  EXPECT_STREQ(room.data(), "");
  std::string source = "Bob";
  storage.SetText(source.c_str());
  source[0] = 'R';
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text.get(), "Bob");
  EXPECT_EQ(storage.GetString(), "Bob");
}

TEST(TextStorage, FieldKeepsItsTerminatorAndNoOldBytes) {
  struct {
    char field[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    char after = 'G';
  } record;
  CFarTextStorage storage(record.field, 6);
  storage.SetText("0123456789");
  EXPECT_EQ(std::string(record.field, 6), std::string("01234\0", 6));
  storage.SetText("x");
  EXPECT_EQ(std::string(record.field, 6), std::string("x\0\0\0\0\0", 6));
  EXPECT_EQ(record.after, 'G');
}

TEST(TextStorage, UnterminatedFieldIsReadNoFurtherThanItsSize) {
  struct {
    char field[4] = {'a', 'b', 'c', 'd'};
    char after[4] = {'X', 'Y', 'Z', '\0'};
  } record;
  CFarTextStorage storage(record.field, 4);
  EXPECT_EQ(storage.GetString(), "abcd");
  std::array<char, 3> room{};
  storage.GetText(room);
  EXPECT_STREQ(room.data(), "ab");
}

TEST(TextStorage, NegativeSizeTakesTheCurrentText) {
  char field[16] = "abc";
  CFarTextStorage storage(field, -1);
  storage.SetText("longer");
  EXPECT_STREQ(field, "lon");
  EXPECT_EQ(field[4], '\0');
}

}  // namespace
