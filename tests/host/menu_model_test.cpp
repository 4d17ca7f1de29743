#include "host/menu_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dialog_model.h"

namespace Host {
namespace {

CFarKey K(int vk, unsigned int state = 0) { return CFarKey{vk, state, 0}; }
CFarKey Typed(char32_t c) { return *TranslateTerminalKey("", c, false); }

// Items 0..7, 2 and 6 separators; "&Open" has a hot key of its own.
std::vector<CMenuModel::CLine> Lines() {
  std::vector<CMenuModel::CLine> lines;
  for (const wchar_t* text : {L"&Open", L"Copy", L"", L"Close", L"Move", L"Rename", L"", L"Exit"}) {
    const CHotText hot = HotText(text, false);
    lines.push_back({hot.text, hot.hotKey, hot.hotPosition, 0, hot.text.empty()});
  }
  return lines;
}

TEST(MenuModel, MovesAndChoosesAsFarMenusDo) {
  constexpr int kNone = 0;
  constexpr int kAuto = 1;
  constexpr int kReverseAuto = 2;
  struct Case {
    const char* what;
    bool wrap;
    int highlight;
    int cursor;
    std::vector<CFarKey> keys;
    int result;  // of the last key
    int cursorAfter;
  };
  const int stay = CMenuModel::kStay;
  const std::vector<Case> cases = {
      {"Up on the first item goes round to the last", true, kNone, 0, {K(kVkUp)}, stay, 7},
      {"Down on the last goes round to the first", true, kNone, 7, {K(kVkDown)}, stay, 0},
      {"without wrap mode Up stays on the first", false, kNone, 0, {K(kVkUp)}, stay, 0},
      {"without wrap mode Down stays on the last", false, kNone, 7, {K(kVkDown)}, stay, 7},
      {"Down passes over a separator", false, kNone, 1, {K(kVkDown)}, stay, 3},
      {"a start on a separator is the first item", false, kNone, 2, {}, stay, 0},
      {"PgDn moves a page", false, kNone, 0, {K(kVkNext)}, stay, 3},
      {"PgDn onto a separator goes on past it", false, kNone, 3, {K(kVkNext)}, stay, 7},
      {"PgDn with less than a page left ends on the last", true, kNone, 5, {K(kVkNext)}, stay, 7},
      {"PgDn on the last does not go round", true, kNone, 7, {K(kVkNext)}, stay, 7},
      {"PgUp moves a page", false, kNone, 7, {K(kVkPrior)}, stay, 4},
      {"PgUp onto a separator goes on past it", false, kNone, 5, {K(kVkPrior)}, stay, 1},
      {"PgUp with less than a page left ends on the first", true, kNone, 1, {K(kVkPrior)}, stay, 0},
      {"End and Home", false, kNone, 3, {K(kVkEnd), K(kVkHome), K(kVkDown)}, stay, 1},
      {"Enter chooses the current item", false, kNone, 3, {K(kVkDown), K(kVkReturn)}, 4, 4},
      {"Esc cancels", false, kNone, 3, {K(kVkEscape)}, -1, 3},
      {"the marked hot key chooses at once, either case", false, kNone, 5, {Typed(U'o')}, 0, 5},
      {"so does Alt with it", false, kNone, 5, {K('O', PKF_ALT)}, 0, 5},
      {"without automatic hot keys an unmarked letter does nothing",
       false,
       kNone,
       0,
       {Typed(U'm')},
       stay,
       0},
      {"automatic hot keys: the first letter not taken", false, kAuto, 0, {Typed(U'm')}, 4, 0},
      {"automatic hot keys: Close finds C taken by Copy", false, kAuto, 0, {Typed(U'l')}, 3, 0},
      {"automatic hot keys: the marked O is never given away",
       false,
       kReverseAuto,
       0,
       {Typed(U'p')},
       1,
       0},
      {"reverse automatic hot keys start from the last item",
       false,
       kReverseAuto,
       0,
       {Typed(U'c')},
       3,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CMenuModel model(Lines(), c.cursor, c.wrap);
    if (c.highlight != kNone) model.AssignHotKeys(c.highlight == kReverseAuto);
    int result = stay;
    for (const CFarKey& key : c.keys) result = model.Press(key, 3);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(model.Cursor(), c.cursorAfter);
  }
}

}  // namespace
}  // namespace Host
