#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "farlib/help_file.h"
#include "tools/help_topic_scan.h"

// The help files against the code: every topic a dialog, menu or box of the plug-in names is in
// both files, every link of a file leads to one of its topics, and the reader and the source
// scan behind that check find what the host and the compiler would.
namespace FarLib {
namespace {

std::filesystem::path ProjectRoot() {
  const char* data = std::getenv("ZANTEL_TEST_DATA");
  return std::filesystem::path(data ? data : "tests/data") / ".." / "..";
}

std::vector<std::string> Issues(const std::string& text) {
  std::vector<std::string> issues;
  for (const LanguageFileIssue& issue : CheckHelpFile(text)) {
    issues.push_back(std::to_string(issue.Line) + ": " + issue.Reason);
  }
  return issues;
}

const std::string kHead = ".Language=English,English\n.PluginContents=Zantel\n\n";

struct HelpCase {
  const char* label;
  std::string text;
  std::vector<std::string> issues;
};

void PrintTo(const HelpCase& value, std::ostream* out) { *out << value.label; }

class HelpFileCheckTest : public testing::TestWithParam<HelpCase> {};

TEST_P(HelpFileCheckTest, FindsWhatTheHostWouldShowWrongly) {
  EXPECT_EQ(Issues(GetParam().text), GetParam().issues);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelpFileCheckTest,
    testing::Values(
        HelpCase{"Sound",
                 kHead + "@Contents\r\n$ #Zantel#\r\n ~Settings~@Config@, ~~ ## @@ #bold#\r\n"
                         "Far's own ~help~@:Help@ and ~another~@<other\\>Topic@.\r\n"
                         "@-\r\n@Config\r\n\r\n$ #Settings#\r\n~Back~@Contents@\r\n",
                 {}},
        HelpCase{"NoLanguageFirst",
                 ".PluginContents=Zantel\n.Language=English,English\n@Contents\n$ #Z#\n",
                 {"1: the first line is not .Language="}},
        HelpCase{"NoPluginContentsNorContents",
                 ".Language=English,English\n@Config\n$ #C#\n",
                 {"0: no .PluginContents= line", "0: no Contents topic"}},
        HelpCase{
            "BrokenLinks",
            kHead + "@Contents\n$ #Z#\n~Settings~@Configure@\n~Open~@\n~Open\n~Text~ no topic\n",
            {"7: link topic left open", "8: link text left open", "9: link text without a topic",
             "6: link to Configure, a topic the file lacks"}},
        HelpCase{
            "TopicsTwiceUntitledOrNamedWithBlanks",
            kHead + "@Contents\n$ #Z#\n#bold left open\n@Contents\n\nNo title\n@Two words\n$ #T#\n",
            {"6: bold text left open", "10: topic name with a blank: Two words",
             "7: topic Contents again (first at line 4)", "7: topic Contents has no title"}}),
    [](const testing::TestParamInfo<HelpCase>& info) { return info.param.label; });

TEST(HelpFile, ReadsTopicsTitlesAndLinks) {
  const HelpFile file =
      ParseHelpFile(kHead + "@Contents\n$ #Zantel mobile#\n~A~@Config@ ~B~@:Help@\n");
  EXPECT_EQ(file.Language, "English");
  EXPECT_EQ(file.PluginContents, "Zantel");
  ASSERT_EQ(file.Topics.size(), 1u);
  EXPECT_EQ(file.Topics[0].Title, "Zantel mobile");
  ASSERT_EQ(file.Topics[0].Links.size(), 2u);
  EXPECT_EQ(file.Topics[0].Links[0].Topic, "Config");
  EXPECT_TRUE(IsOutsideLink(file.Topics[0].Links[1].Topic));
  EXPECT_EQ(file.Find("contents"), nullptr) << "topic names keep their letter case";
}

struct ScanCase {
  const char* label;
  const char* source;
  std::set<std::string> topics;
  std::vector<std::string> unresolved;
};

void PrintTo(const ScanCase& value, std::ostream* out) { *out << value.label; }

class HelpTopicScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(HelpTopicScanTest, FindsTheTopicArguments) {
  HelpTopicScan::Result result;
  const std::string source = GetParam().source;
  HelpTopicScan::ScanText(source, "x.cpp", HelpTopicScan::Detail::TopicConstants(source), result);
  EXPECT_EQ(result.Topics(), GetParam().topics);
  std::vector<std::string> unresolved;
  for (const HelpTopicScan::Use& use : result.Unresolved) unresolved.push_back(use.Topic);
  EXPECT_EQ(unresolved, GetParam().unresolved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelpTopicScanTest,
    testing::Values(
        ScanCase{"DialogMenuBoxValidator",
                 "FarLib::CFarDialog dialog(60, Height(a, b), \"EditDlg\");\n"
                 "ShowMenu(items, GetMsg(Msg::kTitle), \"Ins/Del\",\n    \"PickMenu\", 2);\n"
                 "ShowChoiceMenu(items, title, \"SetMenu\", 0);\n"
                 "ShowMenuItems(title, nullptr, \"ItemsMenu\", {\"a\", nullptr});\n"
                 "ShowMessage(FMSG_WARNING, many ? \"ManyMsg\" : \"OneMsg\", {a, b}, 1);\n"
                 "std::make_unique<FarLib::CFarIntegerRangeValidator>(1, 8, \"RangeError\");\n",
                 {"EditDlg", "PickMenu", "SetMenu", "ItemsMenu", "ManyMsg", "OneMsg", "RangeError"},
                 {}},
        ScanCase{"ConstantsForwardingAndDeclarations",
                 "constexpr const char* kLongTopic = \"TooLongError\";\n"
                 "int ShowMessage(FarDword flags, const char* helpTopic, int buttons);\n"
                 "CFarDialog(int width, int height, std::string helpTopic);\n"
                 "ShowMessage(flags, helpTopic, {a}, 1); ShowMessage(0, kLongTopic, {a}, 1);\n"
                 "ShowMenu(items, title, nullptr, nullptr); ShowMessage(0, \"\", {a}, 0);\n",
                 {"TooLongError"},
                 {}},
        ScanCase{"CommentsAndUntraceableArguments",
                 "// ShowMessage(0, \"OldMsg\", {a}, 1);\n/* CFarDialog d(1, 2, \"OldDlg\"); */\n"
                 "ShowMessage(0, Topics()[i], {a}, 1); CFarDialog d(1, 2, name);\n"
                 "ShowMessageBox(0, \"NotAToolkitCall\");\n",
                 {},
                 {"name", "Topics()[i]"}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return info.param.label; });

struct ShippedHelp {
  const char* name;
  const char* language;
};

void PrintTo(const ShippedHelp& value, std::ostream* out) { *out << value.name; }

class ShippedHelpFileTest : public testing::TestWithParam<ShippedHelp> {};

TEST_P(ShippedHelpFileTest, HoldsEveryTopicTheCodeNamesAndNoBrokenLink) {
  const HelpTopicScan::Result code = HelpTopicScan::ScanSources(ProjectRoot() / "src");
  ASSERT_GT(code.Uses.size(), 20u) << "the sources were not found under " << ProjectRoot();
  for (const HelpTopicScan::Use& use : code.Unresolved) {
    ADD_FAILURE() << use.File << ":" << use.Line << ": the help topic " << use.Topic
                  << " cannot be traced; pass a string literal or a k...Topic constant";
  }
  const std::string text = HelpTopicScan::ReadFile(ProjectRoot() / "lang" / GetParam().name);
  ASSERT_FALSE(text.empty()) << GetParam().name;
  for (const LanguageFileIssue& issue : CheckHelpFile(text)) {
    ADD_FAILURE() << GetParam().name << ":" << issue.Line << ": " << issue.Reason;
  }
  const HelpFile file = ParseHelpFile(text);
  EXPECT_EQ(file.Language, GetParam().language);
  for (const HelpTopicScan::Use& use : code.Uses) {
    EXPECT_NE(file.Find(use.Topic), nullptr) << GetParam().name << " lacks the topic " << use.Topic
                                             << " that " << use.File << ":" << use.Line << " names";
  }
  EXPECT_NE(file.Find("Config"), nullptr);
}

// A translation that leaves out a topic sends the reader of that language to nothing.
TEST(ShippedHelpFiles, TranslationHasTheSameTopics) {
  std::vector<std::set<std::string>> topics;
  for (const char* name : {"ZantelEng.hlf", "ZantelRus.hlf"}) {
    topics.emplace_back();
    const HelpFile file = ParseHelpFile(HelpTopicScan::ReadFile(ProjectRoot() / "lang" / name));
    for (const HelpTopic& topic : file.Topics) topics.back().insert(topic.Name);
  }
  EXPECT_EQ(topics[0], topics[1]);
}

INSTANTIATE_TEST_SUITE_P(Lang, ShippedHelpFileTest,
                         testing::Values(ShippedHelp{"ZantelEng.hlf", "English"},
                                         ShippedHelp{"ZantelRus.hlf", "Russian"}),
                         [](const testing::TestParamInfo<ShippedHelp>& info) {
                           return std::string(info.param.language);
                         });

}  // namespace
}  // namespace FarLib
