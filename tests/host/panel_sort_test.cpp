#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/panel.h"

// The order a panel for people shows its items in, for each sort mode and direction.
namespace {

using Host::CPanel;
using Host::CPanelItem;

CPanelItem Item(std::string name, uint64_t size, uint64_t time, std::string description,
                bool folder = false) {
  CPanelItem item;
  item.name = std::move(name);
  item.size = size;
  item.writeTime = time;
  item.description = std::move(description);
  item.attributes = folder ? Host::kAttributeDirectory : Host::kAttributeArchive;
  return item;
}

// As the plug-in lists them: files and a folder mixed, ".." not first.
std::vector<CPanelItem> Listed() {
  return {Item("bob.txt", 30, 200, "b"),  Item("Zed", 0, 100, "", true),
          Item("..", 0, 0, "", true),     Item("anna.vcf", 10, 300, "c"),
          Item("Carl.abk", 20, 100, "a"), Item("alpha", 0, 900, "", true)};
}

struct SortCase {
  const char* name;
  int mode;
  bool reverse;
  std::vector<std::string> shown;
};

void PrintTo(const SortCase& c, std::ostream* out) { *out << c.name; }

class PanelOrder : public testing::TestWithParam<SortCase> {};

TEST_P(PanelOrder, ParentThenFoldersThenFilesInTheModesOrder) {
  const SortCase& c = GetParam();
  CPanel panel;
  panel.sortsItems = true;
  panel.sortMode = c.mode;
  panel.reverseOrder = c.reverse;
  panel.SetItems(Listed(), false);
  std::vector<std::string> shown;
  for (const CPanelItem& item : panel.Items()) shown.push_back(item.name);
  EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Host, PanelOrder,
    testing::Values(SortCase{"NameCaseless",
                             SM_NAME,
                             false,
                             {"..", "alpha", "Zed", "anna.vcf", "bob.txt", "Carl.abk"}},
                    SortCase{"NameReversed",
                             SM_NAME,
                             true,
                             {"..", "Zed", "alpha", "Carl.abk", "bob.txt", "anna.vcf"}},
                    SortCase{"Extension",
                             SM_EXT,
                             false,
                             {"..", "alpha", "Zed", "Carl.abk", "bob.txt", "anna.vcf"}},
                    SortCase{"NewestFirst",
                             SM_MTIME,
                             false,
                             {"..", "alpha", "Zed", "anna.vcf", "bob.txt", "Carl.abk"}},
                    SortCase{"OldestFirst",
                             SM_MTIME,
                             true,
                             {"..", "Zed", "alpha", "Carl.abk", "bob.txt", "anna.vcf"}},
                    SortCase{"LargestFirst",
                             SM_SIZE,
                             false,
                             {"..", "alpha", "Zed", "bob.txt", "Carl.abk", "anna.vcf"}},
                    SortCase{"Description",
                             SM_DESCR,
                             false,
                             {"..", "alpha", "Zed", "Carl.abk", "bob.txt", "anna.vcf"}},
                    SortCase{"AsListed",
                             SM_UNSORTED,
                             false,
                             {"..", "Zed", "alpha", "bob.txt", "anna.vcf", "Carl.abk"}},
                    SortCase{"AsListedBackwards",
                             SM_UNSORTED,
                             true,
                             {"..", "alpha", "Zed", "Carl.abk", "anna.vcf", "bob.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A scripted host keeps the plug-in's order; a re-sort keeps the cursor on its item.
TEST(PanelOrder, KeepsTheListedOrderUnlessAskedAndTheCursorOnItsItem) {
  CPanel scripted;
  scripted.SetItems(Listed(), false);
  EXPECT_EQ(scripted.Items()[0].name, "bob.txt");

  CPanel shown;
  shown.sortsItems = true;
  shown.SetItems(Listed(), false);
  ASSERT_TRUE(shown.SetCurrent(std::string("bob.txt")));
  shown.sortMode = SM_SIZE;
  shown.reverseOrder = true;
  shown.Sort();
  EXPECT_EQ(shown.Items()[3].name, "anna.vcf");
  ASSERT_NE(shown.CurrentItem(), nullptr);
  EXPECT_EQ(shown.CurrentItem()->name, "bob.txt");
}

// Far's sort keys: a new mode starts in its own order, the key of the mode in force turns it
// round. The panel starts as Far's does, by name.
struct ChoiceCase {
  const char* name;
  std::vector<int> ctrlF;  // Ctrl+F3 is 3
  int mode;
  bool reverse;
  std::vector<std::string> files;
};

void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << c.name; }

class PanelSortChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(PanelSortChoice, SameModeReversesAnotherStartsInItsOwnOrder) {
  const ChoiceCase& c = GetParam();
  std::vector<CPanelItem> listed = Listed();
  // Made the other way round from the write times, so that each mode shows its own order.
  for (CPanelItem& item : listed) item.creationTime = 1000 - item.writeTime;
  CPanel panel;
  panel.sortsItems = true;
  panel.SetItems(listed, false);
  for (const int number : c.ctrlF)
    panel.ChooseSortMode(Host::SortModeOfKey(kVkF1 + number - 1, PKF_CONTROL));
  EXPECT_EQ(panel.sortMode, c.mode);
  EXPECT_EQ(panel.reverseOrder, c.reverse);
  std::vector<std::string> files;
  for (const CPanelItem& item : panel.Items())
    if (!item.IsFolder()) files.push_back(item.name);
  EXPECT_EQ(files, c.files);
}

INSTANTIATE_TEST_SUITE_P(
    Host, PanelSortChoice,
    testing::Values(
        ChoiceCase{"NameAgainReverses", {3}, SM_NAME, true, {"Carl.abk", "bob.txt", "anna.vcf"}},
        ChoiceCase{"Extension", {4}, SM_EXT, false, {"Carl.abk", "bob.txt", "anna.vcf"}},
        ChoiceCase{
            "ExtensionTwiceReverses", {4, 4}, SM_EXT, true, {"anna.vcf", "bob.txt", "Carl.abk"}},
        ChoiceCase{"ThreeTimesIsBackInOrder",
                   {4, 4, 4},
                   SM_EXT,
                   false,
                   {"Carl.abk", "bob.txt", "anna.vcf"}},
        ChoiceCase{"AnotherModeAfterReversingStartsInOrder",
                   {4, 4, 6},
                   SM_SIZE,
                   false,
                   {"bob.txt", "Carl.abk", "anna.vcf"}},
        ChoiceCase{
            "ModifiedNewestFirst", {5}, SM_MTIME, false, {"anna.vcf", "bob.txt", "Carl.abk"}},
        ChoiceCase{"CreatedNewestFirst", {8}, SM_CTIME, false, {"Carl.abk", "bob.txt", "anna.vcf"}},
        ChoiceCase{"UnsortedTwiceBackwards",
                   {7, 7},
                   SM_UNSORTED,
                   true,
                   {"Carl.abk", "anna.vcf", "bob.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
