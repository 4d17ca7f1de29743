#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/record_reader.h"
#include "host/scripted_host.h"

namespace {

using Host::CScriptedHost;

constexpr int Key(int vk, int modifiers = 0) { return vk | (modifiers << 16); }

struct BreakKeyCase {
  const char* name;
  std::vector<int> breakKeys;
  int pressed;
  int matched;
};

void PrintTo(const BreakKeyCase& c, std::ostream* out) { *out << c.name; }

class BreakKeyMatch : public testing::TestWithParam<BreakKeyCase> {};

TEST_P(BreakKeyMatch, FollowsTheHostsRule) {
  EXPECT_EQ(Host::MatchBreakKey(GetParam().breakKeys, GetParam().pressed), GetParam().matched);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BreakKeyMatch,
    testing::Values(
        BreakKeyCase{"PlainKeyPlainEntry", {kVkDelete, kVkInsert}, Key(kVkInsert), 1},
        BreakKeyCase{"PlainKeySkipsModifiedEntry", {Key(kVkF4, PKF_SHIFT), kVkF4}, Key(kVkF4), 1},
        BreakKeyCase{"ModifiedKeySkipsPlainEntry", {kVkF4}, Key(kVkF4, PKF_SHIFT), -1},
        BreakKeyCase{"ModifierSubsetMatches",
                     {Key(kVkF4, PKF_SHIFT)},
                     Key(kVkF4, PKF_CONTROL | PKF_SHIFT),
                     0},
        BreakKeyCase{"OtherModifierDoesNotMatch",
                     {Key(kVkInsert, PKF_CONTROL)},
                     Key(kVkInsert, PKF_ALT),
                     -1},
        BreakKeyCase{"FirstMatchWins",
                     {Key('R', PKF_CONTROL), Key('R', PKF_CONTROL | PKF_ALT)},
                     Key('R', PKF_CONTROL),
                     0},
        BreakKeyCase{"OtherKey", {kVkDelete}, Key(kVkF8), -1}),
    [](const testing::TestParamInfo<BreakKeyCase>& info) { return info.param.name; });

FarMenuItem Item(const char* text, int selected = 0, int separator = 0) {
  FarMenuItem item{};
  std::strcpy(item.Text, text);
  item.Selected = selected;
  item.Separator = separator;
  return item;
}

class ScriptedMenu : public testing::Test {
 protected:
  int Show(const char* topic, const int* breakKeys = nullptr) {
    const PluginStartupInfo& info = m_host.StartupInfo();
    m_breakCode = 99;
    return info.Menu(info.ModuleNumber, -1, -1, 0, FMENU_WRAPMODE, "Title", "Bottom", topic,
                     breakKeys, &m_breakCode, m_items.data(), static_cast<int>(m_items.size()));
  }

  CScriptedHost m_host;
  std::vector<FarMenuItem> m_items = {Item("zero"), Item("", 0, 1), Item("two", 1), Item("three")};
  int m_breakCode = 99;
};

TEST_F(ScriptedMenu, ChoosingRecordsTheMenu) {
  m_host.AnswerMenu("Config").Choose(3);
  EXPECT_EQ(Show("Config"), 3);
  EXPECT_EQ(m_breakCode, -1);
  ASSERT_EQ(m_host.Menus().size(), 1u);
  const Host::ShownMenu& menu = m_host.Menus()[0];
  EXPECT_EQ(menu.title, "Title");
  EXPECT_EQ(menu.bottom, "Bottom");
  EXPECT_EQ(menu.flags, FMENU_WRAPMODE);
  ASSERT_EQ(menu.items.size(), 4u);
  EXPECT_EQ(menu.items[1].separator, 1);
  EXPECT_EQ(menu.items[2].selected, 1);
  EXPECT_TRUE(m_host.Failures().empty());
}

TEST_F(ScriptedMenu, BreakKeyReturnsTheCursorAndItsPosition) {
  const int keys[] = {kVkDelete, Key(kVkInsert, PKF_CONTROL), 0};
  m_host.AnswerMenu("Multiple").PressKey(Key(kVkInsert, PKF_CONTROL));
  m_host.AnswerMenu("Multiple").At(3).PressKey(kVkDelete);
  EXPECT_EQ(Show("Multiple", keys), 2);
  EXPECT_EQ(m_breakCode, 1);
  EXPECT_EQ(Show("Multiple", keys), 3);
  EXPECT_EQ(m_breakCode, 0);
  EXPECT_EQ(m_host.Menus()[0].breakKeys,
            (std::vector<int>{kVkDelete, Key(kVkInsert, PKF_CONTROL)}));
  EXPECT_TRUE(m_host.Failures().empty());
}

TEST_F(ScriptedMenu, WithoutSelectionTheCursorIsOnTheFirstItem) {
  m_items = {Item("", 0, 1), Item("one"), Item("two")};
  const int keys[] = {kVkF4, 0};
  m_host.AnswerMenu("Menu").PressKey(kVkF4);
  EXPECT_EQ(Show("Menu", keys), 1);
}

TEST_F(ScriptedMenu, EscapeClearsTheBreakCode) {
  m_host.AnswerMenu("Config").Escape();
  EXPECT_EQ(Show("Config"), -1);
  EXPECT_EQ(m_breakCode, -1);
}

struct MenuFaultCase {
  const char* name;
  void (*script)(CScriptedHost&);
  const char* reportMentions;
};

void PrintTo(const MenuFaultCase& c, std::ostream* out) { *out << c.name; }

class ScriptedMenuFault : public ScriptedMenu, public testing::WithParamInterface<MenuFaultCase> {};

TEST_P(ScriptedMenuFault, IsReportedAndCancels) {
  GetParam().script(m_host);
  const int keys[] = {kVkDelete, 0};
  EXPECT_EQ(Show("Config", keys), -1);
  ASSERT_EQ(m_host.Failures().size(), 1u);
  EXPECT_NE(m_host.Failures()[0].find(GetParam().reportMentions), std::string::npos)
      << m_host.Failures()[0];
  EXPECT_NE(m_host.Failures()[0].find("\"three\""), std::string::npos) << m_host.Failures()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ScriptedMenuFault,
    testing::Values(
        MenuFaultCase{"ChoosingASeparator",
                      [](CScriptedHost& h) { h.AnswerMenu("Config").Choose(1); },
                      "no item to choose there"},
        MenuFaultCase{"ChoosingPastTheEnd",
                      [](CScriptedHost& h) { h.AnswerMenu("Config").Choose(4); },
                      "no item to choose there"},
        MenuFaultCase{"KeyNotABreakKey",
                      [](CScriptedHost& h) { h.AnswerMenu("Config").PressKey(kVkInsert); },
                      "press Ins"},
        MenuFaultCase{"OtherTopic", [](CScriptedHost& h) { h.AnswerMenu("InfosMenu").Choose(0); },
                      "expected: menu \"InfosMenu\""},
        MenuFaultCase{"NothingScripted", [](CScriptedHost&) {},
                      "nothing scripted for menu \"Config\""}),
    [](const testing::TestParamInfo<MenuFaultCase>& info) { return info.param.name; });

TEST_F(ScriptedMenu, UnterminatedItemTextIsReported) {
  std::memset(m_items[3].Text, 'x', sizeof m_items[3].Text);
  m_host.AnswerMenu("Config").Choose(0);
  Show("Config");
  ASSERT_EQ(m_host.Failures().size(), 1u);
  EXPECT_NE(
      m_host.Failures()[0].find("menu item 3: the text has no terminating zero in its 128 bytes"),
      std::string::npos);
}

}  // namespace
