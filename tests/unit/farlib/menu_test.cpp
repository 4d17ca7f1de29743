#include "farlib/ui/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"

namespace {

std::vector<int> SelectedFlags(const Host::ShownMenu& menu) {
  std::vector<int> flags;
  for (const Host::ShownMenuItem& item : menu.items) flags.push_back(item.selected);
  return flags;
}

struct SelectionCase {
  const char* name;
  int selected;
  std::vector<int> flags;
};

void PrintTo(const SelectionCase& c, std::ostream* out) { *out << c.name; }

class MenuSelection : public testing::TestWithParam<SelectionCase> {};

TEST_P(MenuSelection, PreselectsOnlyAnItemOfTheList) {
  CFakeHost host;
  host.AnswerMenu("SelectPortMenu").Escape();
  const std::vector<std::string> items = {"COM1", "COM2", "COM3"};
  EXPECT_EQ(FarLib::ShowMenu(items, "Port", nullptr, "SelectPortMenu", GetParam().selected,
                             FMENU_WRAPMODE),
            -1);
  ASSERT_EQ(host.Menus().size(), 1u);
  EXPECT_EQ(SelectedFlags(host.Menus()[0]), GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Selections, MenuSelection,
                         testing::Values(SelectionCase{"Second", 1, {0, 1, 0}},
                                         SelectionCase{"BeyondTheEnd", 3, {0, 0, 0}},
                                         SelectionCase{"Negative", -1, {0, 0, 0}}),
                         [](const testing::TestParamInfo<SelectionCase>& info) {
                           return info.param.name;
                         });

TEST(Menu, PassesCentredPlacementAndTexts) {
  CFakeHost host;
  host.AnswerMenu("Config").Choose(2);
  const char* items[] = {"General", "SMS", "Models"};
  EXPECT_EQ(FarLib::ShowMenu(items, "Settings", "Bottom", "Config"), 2);
  const Host::ShownMenu& menu = host.Menus()[0];
  EXPECT_EQ(menu.x, -1);
  EXPECT_EQ(menu.y, -1);
  EXPECT_EQ(menu.maxHeight, 0);
  EXPECT_EQ(menu.title, "Settings");
  EXPECT_EQ(menu.bottom, "Bottom");
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[1].text, "SMS");
  EXPECT_TRUE(menu.breakKeys.empty());
}

TEST(Menu, LongTextIsCutWithItsTerminator) {
  CFakeHost host;
  host.AnswerMenu("Config").Choose(0);
  const std::vector<std::string> items = {std::string(200, 'n')};
  FarLib::ShowMenu(items, "T", nullptr, "Config");
  EXPECT_EQ(host.Menus()[0].items[0].text, std::string(127, 'n'));
}

TEST(Menu, BreakKeyEndsWithCursorAndCode) {
  CFakeHost host;
  const int breakKeys[] = {kVkInsert, kVkInsert | (PKF_CONTROL << 16), kVkDelete};
  host.AnswerMenu("Multiple").PressKey(kVkInsert | (PKF_CONTROL << 16));
  host.AnswerMenu("Multiple").Choose(0);
  const std::vector<std::string> items = {"+4912", "+4934"};
  int breakCode = 99;
  EXPECT_EQ(FarLib::ShowMenu(items, "Numbers", "Ins/Ctrl+Ins/Del", "Multiple", 1, 0, breakKeys,
                             &breakCode),
            1);
  EXPECT_EQ(breakCode, 1);
  EXPECT_EQ(host.Menus()[0].breakKeys,
            std::vector<int>(std::begin(breakKeys), std::end(breakKeys)));
  EXPECT_EQ(FarLib::ShowMenu(items, "Numbers", "Ins/Ctrl+Ins/Del", "Multiple", 1, 0, breakKeys,
                             &breakCode),
            0);
  EXPECT_EQ(breakCode, -1);
}

class MenuItems : public testing::TestWithParam<int> {};

TEST_P(MenuItems, NullMakesASeparatorBetweenTwoEntries) {
  CFakeHost host;
  host.AnswerMenu("ReReadMenu").Choose(GetParam());
  EXPECT_EQ(FarLib::ShowMenuItems("Re-read", nullptr, "ReReadMenu", {"A", nullptr, "B"}),
            GetParam());
  const Host::ShownMenu& menu = host.Menus()[0];
  EXPECT_EQ(menu.flags, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT);
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[0].text, "A");
  EXPECT_EQ(menu.items[1].separator, 1);
  EXPECT_EQ(menu.items[1].text, "");
  EXPECT_EQ(menu.items[2].text, "B");
  EXPECT_EQ(menu.items[0].separator + menu.items[2].separator, 0);
}

INSTANTIATE_TEST_SUITE_P(Entries, MenuItems, testing::Values(0, 2));

}  // namespace
