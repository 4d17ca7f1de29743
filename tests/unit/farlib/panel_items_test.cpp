#include "farlib/panel_items.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace FarLib {
namespace {

TEST(PanelItems, FileNamesFromPhoneTextsAreSafe) {
  struct Case {
    std::string text;
    std::string name;
  };
  const Case cases[] = {
      {"Anna Schmidt", "Anna Schmidt"},
      {"a/b*c", "a_b_c"},
      {"..\\..\\windows", ".._.._windows"},
      {"C:\\boot.ini", "C__boot.ini"},
      {"<one>|\"two\"?", "_one___two__"},
      {"100$ 50% ^up & on", "100_ 50_ _up _ on"},
      {std::string("tab\tnew\nline\x7f"), "tab_new_line_"},
      {"..", "__"},
      {".", "_"},
      {"...x", "...x"},
      {"", "_"},
      {std::string(300, 'n'), std::string(259, 'n')},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SafeFileName(c.text), c.name) << c.text;
    PluginPanelItem item{};
    SetFileName(item, c.text);
    EXPECT_STREQ(item.FindData.cFileName, c.name.c_str());
  }
}

// Windows would open these names as devices: an export to "Con.vcf" would go to the console and
// one to "nul" would report success and keep nothing.
TEST(PanelItems, DeviceNamesAreNoFileNames) {
  struct Case {
    std::string text;
    std::string name;
  };
  const Case cases[] = {
      {"CON", "_CON"},
      {"PRN", "_PRN"},
      {"AUX", "_AUX"},
      {"NUL", "_NUL"},
      {"COM1", "_COM1"},
      {"COM9", "_COM9"},
      {"LPT1", "_LPT1"},
      {"LPT9", "_LPT9"},
      {"Con", "_Con"},
      {"nUl", "_nUl"},
      {"com5", "_com5"},
      {"Lpt3", "_Lpt3"},
      {"con.txt", "_con.txt"},
      {"Nul.vcf", "_Nul.vcf"},
      {"PRN.a.b", "_PRN.a.b"},
      {"CON.", "_CON."},
      {"aux  ", "_aux  "},
      {"Con .txt", "_Con .txt"},
      {"lpt2. .", "_lpt2. ."},
      {"NUL:", "NUL_"},
      {"_CON", "_CON"},
      {"CONSOLE", "CONSOLE"},
      {"COM10", "COM10"},
      {"COM0", "COM0"},
      {"LPT0", "LPT0"},
      {"nul2", "nul2"},
      {"COM", "COM"},
      {"ICON", "ICON"},
      {"Con Edison", "Con Edison"},
      {"Auxiliary.txt", "Auxiliary.txt"},
      {"CON" + std::string(256, ' '), "_CON" + std::string(255, ' ')},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SafeFileName(c.text), c.name) << c.text;
    EXPECT_EQ(SafeFileName(c.name), c.name) << c.text;
    PluginPanelItem item{};
    SetFileName(item, c.text);
    EXPECT_STREQ(item.FindData.cFileName, c.name.c_str());
  }
}

TEST(PanelItems, DuplicateTextIsTheHostsToFree) {
  char* copy = DuplicateText(std::string("a\0b", 3));
  EXPECT_EQ(std::string(copy, 4), std::string("a\0b\0", 4));
  std::free(copy);
}

// A fill that fails part-way frees the texts it made: the sanitizer suite's leak check would
// see any left over.
TEST(PanelItems, ItemArrayGoesToTheHostWholeOrIsFreedWithItsTexts) {
  PluginPanelItem* items = nullptr;
  int count = -1;
  CPanelItemArray(0).HandOver(&items, &count);
  EXPECT_EQ(items, nullptr);
  EXPECT_EQ(count, 0);

  {
    CPanelItemArray array(2);
    array[0].Description = DuplicateText("Anna");
    array[1].Owner = DuplicateText("+447700900001");
    array.HandOver(&items, &count);
  }
  ASSERT_EQ(count, 2);
  ASSERT_NE(items, nullptr);
  EXPECT_STREQ(items[0].Description, "Anna");
  EXPECT_EQ(items[0].Owner, nullptr);
  EXPECT_STREQ(items[1].Owner, "+447700900001");
  FreePanelItems(items, count);

  EXPECT_THROW(
      {
        CPanelItemArray array(3);
        array[0].Description = DuplicateText("filled");
        throw std::runtime_error("the phone went away");
      },
      std::runtime_error);
}

}  // namespace
}  // namespace FarLib
