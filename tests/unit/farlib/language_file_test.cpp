#include "farlib/language_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "temp_registry.h"
#include "farlib/host.h"
#include "farlib/registry.h"

namespace FarLib {
namespace {

namespace fs = std::filesystem;

// A plug-in folder with language files, and a host whose language setting the test chooses.
class CLanguageFolder : public testing::Test {
 protected:
  CLanguageFolder() : m_folder(fs::temp_directory_path() / ("zantel-lng-" + Unique())) {
    fs::create_directories(m_folder);
    m_root = m_registry.Root() + "\\Far\\Plugins";
    PluginStartupInfo info{};
    const std::string module = (m_folder / "Zantel.dll").string();
    module.copy(info.ModuleName, sizeof info.ModuleName - 1);
    info.RootKey = m_root.c_str();
    SetStartupInfo(info);
    FreeLanguageFiles();
  }
  ~CLanguageFolder() override {
    FreeLanguageFiles();
    SetStartupInfo(PluginStartupInfo{});
    fs::remove_all(m_folder);
  }

  void AddFile(const std::string& name, const std::string& bytes) {
    std::ofstream(m_folder / name, std::ios::binary) << bytes;
  }
  void SetHostLanguage(const std::string& name) {
    Platform::CRegKey key = Platform::CRegKey::Create(m_registry.Root() + "\\Far\\Language");
    WriteRegString(key, "Main", name);
  }
  const std::string& RegistryRoot() const { return m_root; }

  static std::optional<std::string> Lookup(int number, const char* module = nullptr) {
    const char* text = GetModuleMessage(number, module);
    return text ? std::optional<std::string>(text) : std::nullopt;
  }

 private:
  static std::string Unique() {
    std::random_device random;
    return std::to_string(random()) + std::to_string(random());
  }

  CTempRegistry m_registry;
  std::string m_root;
  fs::path m_folder;
};

// One file's text, one lookup, and its result.
struct LookupCase {
  const char* label;
  std::string text;
  int number;
  const char* module;
  std::optional<std::string> expected;
};

class LanguageLookupTest : public CLanguageFolder,
                           public testing::WithParamInterface<LookupCase> {};

TEST_P(LanguageLookupTest, FindsTheMessage) {
  AddFile("Zantel.lng", GetParam().text);
  EXPECT_EQ(Lookup(GetParam().number, GetParam().module), GetParam().expected);
}

const std::string kTwoModules =
    ".Language=English,English\n\"Own 0\"\n.Module=A\n\"A 0\"\n\"A 1\"\n.Module=B\n\"B 0\"\n";

INSTANTIATE_TEST_SUITE_P(
    Files, LanguageLookupTest,
    testing::Values(
        LookupCase{"CountsFromZero", ".Language=English,English\n\"OK\"\n\"Cancel\"\n", 1, nullptr,
                   "Cancel"},
        LookupCase{"PastTheLastMessage", ".Language=English,English\n\"OK\"\n", 1, nullptr,
                   std::nullopt},
        LookupCase{"NegativeNumber", ".Language=English,English\n\"OK\"\n", -1, nullptr,
                   std::nullopt},
        LookupCase{"CarriageReturnsDropped", ".Language=English,English\r\n\"OK\"\r\n\"Two\"\r\n",
                   1, nullptr, "Two"},
        LookupCase{"LastLineWithoutLineFeed", ".Language=English,English\n\"OK\"\n\"Last\"", 1,
                   nullptr, "Last"},
        LookupCase{"LoneCarriageReturnStays", ".Language=English,English\n\"A\rB\"\n", 0, nullptr,
                   "A\rB"},
        LookupCase{"EmptyLinesSkipped", ".Language=English,English\n\n\"OK\"\n\n\n\"Two\"\n", 1,
                   nullptr, "Two"},
        LookupCase{"BlankLineIsAnEmptyMessage", ".Language=English,English\n \t\n\"Two\"\n", 0,
                   nullptr, ""},
        LookupCase{"QuotedAfterBlanks", ".Language=English,English\n   \"Text\"\n", 0, nullptr,
                   "Text"},
        LookupCase{"OpeningQuoteOnly", ".Language=English,English\n\"Text\n", 0, nullptr, "Text"},
        LookupCase{"ClosingQuoteOnly", ".Language=English,English\nText\"\n", 0, nullptr, "Text\""},
        LookupCase{"InnerQuotesKept", ".Language=English,English\n\"Say \"hi\"\"\n", 0, nullptr,
                   "Say \"hi\""},
        LookupCase{"LoneQuoteIsEmpty", ".Language=English,English\n\"\n\"Two\"\n", 0, nullptr, ""},
        LookupCase{"NoEscapes", ".Language=English,English\n\"C:\\\\Zantel.log\\n\"\n", 0, nullptr,
                   "C:\\\\Zantel.log\\n"},
        LookupCase{"DirectiveWithoutEqualsIgnored", ".Language=English,English\n.Options\n\"OK\"\n",
                   0, nullptr, "OK"},
        LookupCase{"UnknownDirectiveIgnored", ".Language=English,English\n.Help=x\n\"OK\"\n", 0,
                   nullptr, "OK"},
        LookupCase{"KeysIgnoreLetterCase", ".LANGUAGE=English\n.offset=7\n\"Seven\"\n", 7, nullptr,
                   "Seven"},
        LookupCase{"OffsetNumbersFollowingMessages",
                   ".Language=English,English\n\"Zero\"\n.Offset=100\n\"a\"\n\"b\"\n\"c\"\n", 102,
                   nullptr, "c"},
        LookupCase{"OffsetGroupEndsWithItsMessages",
                   ".Language=English,English\n.Offset=100\n\"a\"\n\"b\"\n\"c\"\n", 103, nullptr,
                   std::nullopt},
        LookupCase{"GroupBeforeOffsetStays",
                   ".Language=English,English\n\"Zero\"\n.Offset=100\n\"a\"\n", 0, nullptr, "Zero"},
        LookupCase{"FirstGroupHoldingTheNumberWins",
                   ".Language=English,English\n\"Zero\"\n\"One\"\n.Offset=1\n\"Later one\"\n", 1,
                   nullptr, "One"},
        LookupCase{"NonDecimalOffsetStartsAtZero",
                   ".Language=English,English\n.Offset=1e3\n\"First\"\n", 0, nullptr, "First"},
        LookupCase{"HugeOffsetStartsAtZero",
                   ".Language=English,English\n.Offset=99999999999999999999\n\"First\"\n", 0,
                   nullptr, "First"},
        LookupCase{"ModuleBlock", kTwoModules, 2, "A", "A 1"},
        LookupCase{"ModuleNamesIgnoreLetterCase", kTwoModules, 0, "b", "B 0"},
        LookupCase{"OtherModuleNotSeen", kTwoModules, 1, "B", std::nullopt},
        LookupCase{"UnknownModule", kTwoModules, 0, "C", std::nullopt},
        LookupCase{"AbsentModuleSkipsModuleBlocks",
                   ".Language=English,English\n.Module=A\n\"A 0\"\n\"A 1\"\n", 0, nullptr,
                   std::nullopt},
        LookupCase{"MessagesBeforeAModuleLineJoinTheModule", kTwoModules, 0, "A", "Own 0"},
        LookupCase{"NoBlockWithoutModuleLeft", kTwoModules, 0, nullptr, std::nullopt},
        LookupCase{"LanguageLineEndsAModuleBlock",
                   ".Language=English\n.Module=A\n\"a\"\n.Language=English\n\"Own\"\n", 0, nullptr,
                   "Own"},
        LookupCase{"MessagesBeforeTheLanguageLineBelongToIt", "\"Early\"\n.Language=English\n", 0,
                   nullptr, "Early"},
        LookupCase{"NoLanguageLineNoMessages", "\"OK\"\n\"Cancel\"\n", 0, nullptr, std::nullopt}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.label; });

TEST(LanguageFile, LanguageNameEndsAtTheComma) {
  const std::vector<MessageBlock> blocks =
      ParseLanguageFile(".Language=Russian,Russian (Русский)\n\"Да\"\n");
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].Language, "Russian");
}

TEST(LanguageFile, ModuleBlocksKeepTheFilesLanguage) {
  const std::vector<MessageBlock> blocks = ParseLanguageFile(
      ".Language=German,Deutsch\n\"Ja\"\n.Module=A\n\"a\"\n.Module=B\n\"b\"\n.Language=English\n\"Yes\"\n");
  // A module line names the block it is in unless that block has a module name already.
  ASSERT_EQ(blocks.size(), 3u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"German", "A"}, {"German", "B"}, {"English", ""}};
  for (size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(blocks[i].Language, expected[i].first) << i;
    EXPECT_EQ(blocks[i].Module.value_or(""), expected[i].second) << i;
  }
}

// The plug-in folder's files, the host's language (none: not set), one lookup and its result.
struct FolderCase {
  const char* label;
  std::vector<std::pair<std::string, std::string>> files;
  const char* hostLanguage;
  int number;
  const char* module;
  std::optional<std::string> expected;
};

void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.label; }

class LanguageFolderTest : public CLanguageFolder,
                           public testing::WithParamInterface<FolderCase> {};

TEST_P(LanguageFolderTest, FindsTheMessage) {
  for (const auto& [name, text] : GetParam().files) AddFile(name, text);
  if (GetParam().hostLanguage) SetHostLanguage(GetParam().hostLanguage);
  EXPECT_EQ(Lookup(GetParam().number, GetParam().module), GetParam().expected);
}

const std::pair<std::string, std::string> kEnglishYes = {"ZantelEng.lng",
                                                         ".Language=English,English\n\"Yes\"\n"};
const std::pair<std::string, std::string> kRussianDa = {"ZantelRus.lng",
                                                        ".Language=Russian,Russian\n\"Da\"\n"};
const std::vector<std::pair<std::string, std::string>> kTwoBlocksOfA = {
    {"ZantelRus.lng",
     ".Language=Russian\n.Module=A\n\"a0\"\n.Module=B\n\"b0\"\n.Module=A\n\"a0 again\"\n\"a1\"\n"},
    {"ZantelEng.lng", ".Language=English\n.Module=A\n\"A0\"\n\"A1\"\n"}};
const std::vector<std::pair<std::string, std::string>> kOwnAndExtra = {
    {"ZantelEng.lng", ".Language=English\n\"Own\"\n"},
    {"ZantelExtra.lng", ".Language=ENGLISH\n.Module=Extra\n\"More\"\n"}};

INSTANTIATE_TEST_SUITE_P(
    Folders, LanguageFolderTest,
    testing::Values(
        FolderCase{
            "HostLanguageChoosesTheFile", {kEnglishYes, kRussianDa}, "russian", 0, nullptr, "Da"},
        FolderCase{"LanguageWithoutAFileFallsBackToEnglish",
                   {kRussianDa, kEnglishYes},
                   "German",
                   0,
                   nullptr,
                   "Yes"},
        FolderCase{
            "WithoutEnglishTheFirstLanguageReadAnswers", {kRussianDa}, "German", 0, nullptr, "Da"},
        FolderCase{"NumberMissingInTheHostLanguageComesFromEnglish",
                   {kRussianDa, {"ZantelEng.lng", ".Language=English,English\n\"Yes\"\n\"No\"\n"}},
                   "Russian",
                   1,
                   nullptr,
                   "No"},
        FolderCase{"OnlyTheFirstBlockOfAModuleIsSearched", kTwoBlocksOfA, "Russian", 0, "A", "a0"},
        FolderCase{"ALaterBlockOfAModuleIsNotSearched", kTwoBlocksOfA, "Russian", 1, "A", "A1"},
        FolderCase{"FilesOfOneLanguageAddUpOwn", kOwnAndExtra, nullptr, 0, nullptr, "Own"},
        FolderCase{"FilesOfOneLanguageAddUpExtra", kOwnAndExtra, nullptr, 0, "Extra", "More"},
        FolderCase{"OnlyLanguageFilesAreRead",
                   {{"Zantel.hlf", ".Language=English\n\"Help\"\n"},
                    {"Zantel.lngx", ".Language=English\n\"Long\"\n"}},
                   nullptr,
                   0,
                   nullptr,
                   std::nullopt},
        FolderCase{"NoFilesGiveNothing", {}, nullptr, 0, nullptr, std::nullopt}),
    [](const testing::TestParamInfo<FolderCase>& info) { return info.param.label; });

TEST_F(CLanguageFolder, MissingLanguageSettingMeansEnglishAndCreatesTheKey) {
  AddFile("ZantelRus.lng", ".Language=Russian,Russian\n\"Da\"\n");
  AddFile("ZantelEng.lng", ".Language=English,English\n\"Yes\"\n");
  EXPECT_EQ(Lookup(0), "Yes");
  const std::string languageKey =
      RegistryRoot().substr(0, RegistryRoot().rfind('\\')) + "\\Language";
  EXPECT_TRUE(Platform::CRegKey::Open(languageKey).IsOpen());
}

TEST_F(CLanguageFolder, TablesAreKeptUntilFreed) {
  AddFile("ZantelEng.lng", ".Language=English\n\"Old\"\n");
  EXPECT_EQ(Lookup(0), "Old");
  AddFile("ZantelEng.lng", ".Language=English\n\"New\"\n");
  EXPECT_EQ(Lookup(0), "Old");
  FreeLanguageFiles();
  EXPECT_EQ(Lookup(0), "New");
}

TEST_F(CLanguageFolder, AFileThatCannotBeReadIsSkipped) {
  AddFile("ZantelEng.lng", ".Language=English\n\"Yes\"\n");
  LoadLanguageFiles();
  LoadLanguageFile("/nonexistent/Zantel.lng");
  EXPECT_EQ(Lookup(0), "Yes");
}

struct IssueCase {
  const char* label;
  std::string text;
  std::vector<size_t> lines;  // the lines flagged
};

class LanguageCheckTest : public testing::TestWithParam<IssueCase> {};

TEST_P(LanguageCheckTest, FlagsTheLinesTheReadersTakeDifferently) {
  std::vector<size_t> lines;
  for (const LanguageFileIssue& issue : CheckLanguageFile(GetParam().text))
    lines.push_back(issue.Line);
  EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LanguageCheckTest,
    testing::Values(
        IssueCase{
            "Clean", ".Language=English,English\n\n\"OK\"\n.Module=X\n.Offset=10\n\"\"\n", {}},
        IssueCase{"Unquoted", ".Language=English\nOK\n", {2}},
        IssueCase{"OpeningQuoteOnly", ".Language=English\n\"OK\n", {2}},
        IssueCase{"BlankAfterClosingQuote", ".Language=English\n\"OK\" \n", {2}},
        IssueCase{"Comment", ".Language=English\n// comment\n\"OK\"\n", {2}},
        IssueCase{"BlankLine", ".Language=English\n  \n", {2}},
        IssueCase{"NoEquals", ".Language=English\n.Options\n", {2}},
        IssueCase{"UnknownDirective", ".Language=English\n.Help=x\n", {2}},
        IssueCase{"BadOffset", ".Language=English\n.Offset=ten\n", {2}},
        IssueCase{"NamelessLanguage", ".Language=,English\n", {1}},
        IssueCase{"NoLanguage", "\"OK\"\n", {0}},
        IssueCase{"TooLong", ".Language=English\n\"" + std::string(1000, 'x') + "\"\n", {2}}),
    [](const testing::TestParamInfo<IssueCase>& info) { return info.param.label; });

}  // namespace
}  // namespace FarLib
