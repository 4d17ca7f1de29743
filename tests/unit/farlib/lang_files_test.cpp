#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "farlib/language_file.h"

// The shipped language files against the code that formats their messages: every message the
// code passes printf arguments to has exactly those conversions, in that order, and no other
// message has any, so that a wrong placeholder can never reach a user.
namespace FarLib {
namespace {

constexpr size_t kMessageCount = 185;

// Message number -> the conversion letters its users pass arguments for.
const std::map<int, std::string> kFormats = {
    {19, "d"},    // port settings title: the port number
    {46, "ds"},   // port menu item: the port number, its description
    {71, "s"},    // phone book storage description: the storage name
    {72, "d"},    // re-reading one entry: its index
    {73, "dd"},   // reading one location: the index, the last index
    {74, "ddd"},  // reading a chunk: first and last index of the chunk, the last index
    {87, "s"},    // copy prompt: the item's name
    {88, "d"},    // copy prompt: the number of items
    {94, "s"},    // move prompt: the item's name
    {95, "d"},    // move prompt: the number of items
    {100, "d"},   // destination index taken: the index
    {104, "d"},   // delete question: the number of selected items
    {106, "s"},   // functions menu: the phone's character set
    {108, "ss"},  // functions menu: manufacturer, model
    {130, "s"},   // SMS storage description: the storage code
    {142, "dd"},  // message dialog: part number, part count
    {166, "dd"},  // text too long: characters, one message's limit
    {167, "d"},   // text too long: the number of parts
    {175, "d"},   // time-out prompt: seconds
    {178, "dd"},  // range validator: lower and upper bound
    {181, "d"},   // name or number too long: the limit
    {184, "d"},   // command too long for the link: its limit
};

// The conversion letters of a printf format, "%%" left out.
std::string Conversions(const std::string& format) {
  std::string letters;
  for (size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at + 1)) {
    at = format.find_first_not_of("-+ #0123456789.*hlLqjzt", at + 1);
    if (at == std::string::npos) return letters + "<unfinished>";
    if (format[at] != '%') letters += format[at];
  }
  return letters;
}

TEST(FormatConversions, ReadsLettersAfterFlagsAndWidths) {
  EXPECT_EQ(Conversions("%d of %s (%3d%%) %-10.4lu %"), "dsdu<unfinished>");
}

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
  const std::vector<MessageBlock> blocks = ParseLanguageFile(ReadLanguageFile(GetParam().name));
  ASSERT_EQ(blocks.size(), 1u);
  const std::vector<std::string>& messages = blocks[0].Groups[0].Messages;
  for (size_t number = 0; number < messages.size(); ++number) {
    const auto format = kFormats.find(static_cast<int>(number));
    const std::string expected = format == kFormats.end() ? "" : format->second;
    EXPECT_EQ(Conversions(messages[number]), expected)
        << GetParam().name << " message " << number << ": " << messages[number];
  }
}

TEST_P(ShippedLanguageFileTest, FormattedMessagesAreNotEmpty) {
  const std::vector<MessageBlock> blocks = ParseLanguageFile(ReadLanguageFile(GetParam().name));
  ASSERT_EQ(blocks.size(), 1u);
  for (const auto& [number, letters] : kFormats) {
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
