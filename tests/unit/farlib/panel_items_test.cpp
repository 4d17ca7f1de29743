#include "farlib/panel_items.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(PanelItems, DuplicateTextIsTheHostsToFree) {
  char* copy = DuplicateText(std::string("a\0b", 3));
  EXPECT_EQ(std::string(copy, 4), std::string("a\0b\0", 4));
  std::free(copy);
}

}  // namespace
}  // namespace FarLib
