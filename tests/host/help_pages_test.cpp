#include "host/help_pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace Host {
namespace {

std::string Describe(const CHelpLine& line) {
  std::string text = line.centred ? "^" : "";
  for (const CHelpSpan& span : line.spans) {
    text += "[" + span.text + (span.bold ? "|b" : "") +
            (span.link.empty() ? "" : "->" + span.link) + "]";
  }
  return text;
}

TEST(HelpPages, LinesLoseTheirMarkup) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain text", "[plain text]"},
      {" #F4#  edit", "[ ][F4|b][  edit]"},
      {"see ~the phone book~@PhoneBook@ and more", "[see ][the phone book->PhoneBook][ and more]"},
      {"#~bold link~@Config@#", "[bold link|b->Config]"},
      {"a ~~ b ## c @@ d", "[a ~ b # c @ d]"},
      {"^#Centred#", "^[Centred|b]"},
      {"~unclosed link", "[~unclosed link]"},
      {"~no topic~ here", "[~no topic~ here]"},
      {"~open topic~@Config", "[~open topic~@Config]"},
      {"#open bold", "[open bold|b]"},
      {"", ""},
  };
  for (const auto& [line, expected] : cases)
    EXPECT_EQ(Describe(ParseHelpLine(line)), expected) << line;
}

// The language's file is read, else the English one; a topic runs from its title to the next
// topic; Far's own topics and unknown ones are not pages.
TEST(HelpPages, TopicsOfTheLanguagesFile) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("zantel-help-" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "Eng.hlf")
      << ".Language=English,English\n.PluginContents=Z\n\n"
         "@Contents\n$ #Title#\nfirst ~go~@Next@\n@-\n\n@Next\n$Next page\n"
         "@@ at start\n\n\n";
  std::ofstream(folder / "Rus.hlf") << ".Language=Russian,Russian (\xD0\xF3\xF1\xF1\xEA\xE8\xE9)\n"
                                       "@Contents\n$ #Russian#\ntext\n";
  CHelpFiles english;
  ASSERT_TRUE(english.Load(folder, "German"));
  const std::optional<CHelpPage> contents = english.Page("Contents");
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->title, "Title");
  ASSERT_EQ(contents->lines.size(), 1u);
  EXPECT_EQ(Describe(contents->lines[0]), "[first ][go->Next]");
  const std::optional<CHelpPage> next = english.Page("<C:\\Far\\Plugins\\Zantel\\>Next");
  ASSERT_TRUE(next);
  EXPECT_EQ(next->title, "Next page");
  ASSERT_EQ(next->lines.size(), 1u);
  EXPECT_EQ(Describe(next->lines[0]), "[@ at start]");
  EXPECT_FALSE(english.Page(":Contents"));
  EXPECT_FALSE(english.Page("Missing"));
  EXPECT_FALSE(english.Page("<unclosed"));

  CHelpFiles russian;
  ASSERT_TRUE(russian.Load(folder, "Russian"));
  EXPECT_EQ(russian.Page("Contents")->title, "Russian");

  CHelpFiles none;
  EXPECT_FALSE(none.Load(folder / "absent", "English"));
  EXPECT_FALSE(none.Page("Contents"));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace Host
