#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "farlib/language_file.h"
#include "farlib/message_formats.h"

// The shipped language files against the code that formats their messages: every message the
// code passes printf arguments to has exactly those conversions, in that order, and no other
// message has any, so that a wrong placeholder can never reach a user.
namespace FarLib {
namespace {

constexpr size_t kMessageCount = 223;

struct ConversionCase {
  const char* format;
  const char* conversions;
};

class FormatConversionsTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(FormatConversionsTest, KeepsWhatTakesAnArgument) {
  EXPECT_EQ(FormatConversions(GetParam().format), GetParam().conversions) << GetParam().format;
}

INSTANTIATE_TEST_SUITE_P(Table, FormatConversionsTest,
                         testing::Values(ConversionCase{"%d of %s (%3d%%) %-10.4lu", "%d%s%d%lu"},
                                         ConversionCase{"100%% done", ""},
                                         ConversionCase{"%*d", "%*d"},
                                         ConversionCase{"COM%d  %s", "%d%s"},
                                         ConversionCase{"%s then %d", "%s%d"},
                                         ConversionCase{"ends in %", "%<unfinished>"},
                                         ConversionCase{"%ld and %hd", "%ld%hd"}));

std::string ReadLanguageFile(const std::string& name) {
  const char* data = std::getenv("ZANTEL_TEST_DATA");
  const std::filesystem::path path =
      std::filesystem::path(data ? data : "tests/data") / ".." / ".." / "lang" / name;
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ShippedFile {
  const char* name;
  const char* language;
};

class ShippedLanguageFileTest : public testing::TestWithParam<ShippedFile> {};

TEST_P(ShippedLanguageFileTest, HoldsEveryMessageOnceWithoutIssues) {
  const std::string text = ReadLanguageFile(GetParam().name);
  ASSERT_FALSE(text.empty()) << GetParam().name;
  for (const LanguageFileIssue& issue : CheckLanguageFile(text)) {
    ADD_FAILURE() << GetParam().name << ":" << issue.Line << ": " << issue.Reason;
  }
  const std::vector<MessageBlock> blocks = ParseLanguageFile(text);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].Language, GetParam().language);
  EXPECT_FALSE(blocks[0].Module);
  ASSERT_EQ(blocks[0].Groups.size(), 1u);
  EXPECT_EQ(blocks[0].Groups[0].Messages.size(), kMessageCount);
}

TEST_P(ShippedLanguageFileTest, PlaceholdersMatchTheirUses) {
  for (const LanguageFileIssue& issue : CheckMessageFormats(ReadLanguageFile(GetParam().name))) {
    ADD_FAILURE() << GetParam().name << ":" << issue.Line << ": " << issue.Reason;
  }
}

TEST_P(ShippedLanguageFileTest, FormattedMessagesAreNotEmpty) {
  const std::vector<MessageBlock> blocks = ParseLanguageFile(ReadLanguageFile(GetParam().name));
  ASSERT_EQ(blocks.size(), 1u);
  for (const auto& [number, conversions] : Msg::kFormattedMessages) {
    ASSERT_LT(static_cast<size_t>(number), blocks[0].Groups[0].Messages.size());
    EXPECT_FALSE(blocks[0].Groups[0].Messages[static_cast<size_t>(number)].empty()) << number;
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFileTest,
                         testing::Values(ShippedFile{"ZantelEng.lng", "English"},
                                         ShippedFile{"ZantelRus.lng", "Russian"}),
                         [](const testing::TestParamInfo<ShippedFile>& info) {
                           return std::string(info.param.language);
                         });

// The host shows the bytes as they are on an OEM console, so the Russian file must be code
// page 866: Cyrillic there is 0x80-0xAF and 0xE0-0xF1, while UTF-8 would bring 0xD0/0xD1.
TEST(ShippedLanguageFiles, RussianIsInCodePage866) {
  const std::string text = ReadLanguageFile("ZantelRus.lng");
  size_t cyrillic = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) continue;
    EXPECT_TRUE(byte <= 0xAF || (byte >= 0xE0 && byte <= 0xF1)) << std::hex << int{byte};
    ++cyrillic;
  }
  EXPECT_GT(cyrillic, 1000u);
}

TEST(ShippedLanguageFiles, EnglishIsPlainAscii) {
  for (const char c : ReadLanguageFile("ZantelEng.lng")) {
    EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  }
}

}  // namespace
}  // namespace FarLib
