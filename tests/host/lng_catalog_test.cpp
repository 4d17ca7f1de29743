#include "host/lng_catalog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Host::CLngCatalog;

struct LineCase {
  const char* name;
  std::string line;
  std::vector<std::string> messages;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class LngLine : public testing::TestWithParam<LineCase> {};

TEST_P(LngLine, ReadsAsFarDoes) {
  const LineCase& c = GetParam();
  EXPECT_EQ(CLngCatalog::ParseMessages(c.line), c.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LngLine,
    testing::Values(LineCase{"Quoted", "\"Text\"", {"Text"}},
                    LineCase{"BlanksAroundAreTrimmed", "   \"Text\" \t", {"Text"}},
                    LineCase{"MissingClosingQuote", "\"Text", {"Text"}},
                    LineCase{"InnerQuotesKept", "\"Say \"hi\"\"", {"Say \"hi\""}},
                    LineCase{"Empty", "\"\"", {""}}, LineCase{"LoneQuote", "\"", {""}},
                    LineCase{"Escapes", "\"a\\nb\\tc\\\\d\\re\\bf\"", {"a\nb\tc\\d\re\bf"}},
                    LineCase{"UnknownEscapeKept", "\"C:\\Far %d\"", {"C:\\Far %d"}},
                    LineCase{"TrailingBackslashKept", "\"end\\\"", {"end\\"}},
                    LineCase{"CommentIgnored", "// \"not a message\"", {}},
                    LineCase{"DirectiveIgnored", ".Language=English,English", {}},
                    LineCase{"UnquotedIgnored", "Text", {}},
                    LineCase{"CrLfLines", "\"one\"\r\n\"two\"\r\n", {"one", "two"}},
                    LineCase{"NumberedInOrder",
                             "\"zero\"\n// gap\n\n\"one\"\n\"two\"",
                             {"zero", "one", "two"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(LngCatalog, LanguageIsTheNameBeforeTheComma) {
  EXPECT_EQ(
      CLngCatalog::LanguageOf(".Language=Russian,Russian (\xD0\xF3\xF1\xF1\xEA\xE8\xE9)\r\n\"x\""),
      "Russian");
  EXPECT_EQ(CLngCatalog::LanguageOf("// header\n.language=English\n"), "English");
  EXPECT_EQ(CLngCatalog::LanguageOf("\"no header\"\n"), "");
}

class LngFolder : public testing::Test {
 protected:
  void SetUp() override {
    m_folder =
        std::filesystem::path(testing::TempDir()) /
        ("lng_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  void Write(const std::string& name, const std::string& content) {
    std::ofstream(m_folder / name, std::ios::binary) << content;
  }

  std::filesystem::path m_folder;
};

struct PickCase {
  const char* name;
  const char* wanted;
  const char* chosen;  // empty: nothing loads
};

void PrintTo(const PickCase& c, std::ostream* out) { *out << c.name; }

class LngPick : public LngFolder, public testing::WithParamInterface<PickCase> {};

TEST_P(LngPick, ChoosesTheLanguageElseEnglish) {
  Write("ZantelEng.lng", ".Language=English,English\n\"OK\"\n\"Cancel\"\n");
  Write("ZantelRus.LNG", ".Language=Russian,Russian\n\"\x8E\x8A\"\n");
  Write("notes.txt", ".Language=German,Deutsch\n\"Gut\"\n");
  const PickCase& c = GetParam();
  CLngCatalog catalog;
  EXPECT_TRUE(catalog.Load(m_folder, c.wanted));
  EXPECT_EQ(catalog.Language(), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LngPick,
    testing::Values(PickCase{"Russian", "Russian", "Russian"},
                    PickCase{"CaseIgnored", "rUSSIAN", "Russian"},
                    PickCase{"English", "English", "English"},
                    PickCase{"UnknownFallsBackToEnglish", "German", "English"}),
    [](const testing::TestParamInfo<PickCase>& info) { return info.param.name; });

TEST_F(LngFolder, MessagesOfTheChosenFile) {
  Write("ZantelEng.lng", ".Language=English,English\n\"OK\"\n\"Cancel\"\n");
  Write("ZantelRus.lng", ".Language=Russian,Russian\n\"\x8E\x8A\"\n");
  CLngCatalog catalog;
  ASSERT_TRUE(catalog.Load(m_folder, "Russian"));
  ASSERT_EQ(catalog.Count(), 1u);
  EXPECT_EQ(*catalog.Message(0), "\x8E\x8A");
  EXPECT_EQ(catalog.Message(1), nullptr);
  EXPECT_EQ(catalog.Message(-1), nullptr);
}

TEST_F(LngFolder, WithoutEnglishAnOtherLanguageIsNotTaken) {
  Write("ZantelRus.lng", ".Language=Russian,Russian\n\"\x8E\x8A\"\n");
  CLngCatalog catalog;
  EXPECT_FALSE(catalog.Load(m_folder, "German"));
  EXPECT_EQ(catalog.Count(), 0u);
  EXPECT_EQ(catalog.Language(), "");
}

TEST_F(LngFolder, MissingFolderLoadsNothing) {
  CLngCatalog catalog;
  EXPECT_FALSE(catalog.Load(m_folder / "absent", "English"));
}

}  // namespace
