#include "host/far_keys.h"

#include <gtest/gtest.h>

namespace Host {
namespace {

// What ncurses reports for a key (its name of a special key, or the character, and whether an
// Escape came first) and what Far hands the plug-in for it.
TEST(FarKeys, TerminalKeysBecomeFarKeyCodes) {
  struct Case {
    const char* name;
    char32_t character;
    bool alt;
    std::optional<CFarKey> expected;
  };
  const Case cases[] = {
      // F-keys in xterm's blocks of twelve: plain, Shift, Ctrl, Ctrl+Shift, Alt, Alt+Shift.
      {"KEY_F(1)", 0, false, CFarKey{kVkF1, 0, 0}},
      {"KEY_F(12)", 0, false, CFarKey{kVkF12, 0, 0}},
      {"KEY_F(16)", 0, false, CFarKey{kVkF4, PKF_SHIFT, 0}},
      {"KEY_F(29)", 0, false, CFarKey{kVkF5, PKF_CONTROL, 0}},
      {"KEY_F(42)", 0, false, CFarKey{kVkF6, PKF_CONTROL | PKF_SHIFT, 0}},
      {"KEY_F(49)", 0, false, CFarKey{kVkF1, PKF_ALT, 0}},
      {"KEY_F(50)", 0, false, CFarKey{kVkF2, PKF_ALT, 0}},
      {"KEY_F(63)", 0, false, CFarKey{kVkF3, PKF_ALT | PKF_SHIFT, 0}},
      {"KEY_F(2)", 0, true, CFarKey{kVkF2, PKF_ALT, 0}},  // Escape, F2
      {"KEY_F(64)", 0, false, std::nullopt},
      {"KEY_F(0)", 0, false, std::nullopt},
      {"KEY_F(x)", 0, false, std::nullopt},
      // Cursor keys, with Shift by ncurses' names and with the others by xterm's digits.
      {"KEY_UP", 0, false, CFarKey{kVkUp, 0, 0}},
      {"KEY_SR", 0, false, CFarKey{kVkUp, PKF_SHIFT, 0}},
      {"KEY_SF", 0, false, CFarKey{kVkDown, PKF_SHIFT, 0}},
      {"KEY_NPAGE", 0, false, CFarKey{kVkNext, 0, 0}},
      {"kPRV5", 0, false, CFarKey{kVkPrior, PKF_CONTROL, 0}},
      {"kDN3", 0, false, CFarKey{kVkDown, PKF_ALT, 0}},
      {"kRIT6", 0, false, CFarKey{kVkRight, PKF_CONTROL | PKF_SHIFT, 0}},
      {"kHOM8", 0, false, CFarKey{kVkHome, PKF_CONTROL | PKF_ALT | PKF_SHIFT, 0}},
      {"kUP9", 0, false, std::nullopt},
      {"KEY_IC", 0, false, CFarKey{kVkInsert, 0, 0}},
      {"KEY_BTAB", 0, false, CFarKey{kVkTab, PKF_SHIFT, 0}},
      {"KEY_MOUSE", 0, false, std::nullopt},
      // Characters: control codes are Ctrl+letter, save the few with keys of their own.
      {"", 0x11, false, CFarKey{'Q', PKF_CONTROL, 0}},
      {"", 0x12, false, CFarKey{'R', PKF_CONTROL, 0}},
      {"", 0x09, false, CFarKey{kVkTab, 0, 0}},
      {"", 0x0D, false, CFarKey{kVkReturn, 0, 0}},
      {"", 0x7F, false, CFarKey{kVkBack, 0, 0}},
      {"", 0x1B, false, CFarKey{kVkEscape, 0, 0}},
      {"", U'a', false, CFarKey{'A', 0, U'a'}},
      {"", U'A', false, CFarKey{'A', PKF_SHIFT, U'A'}},
      {"", U'7', false, CFarKey{'7', 0, U'7'}},
      {"", U'+', false, CFarKey{kVkAdd, 0, U'+'}},
      {"", U'-', false, CFarKey{kVkSubtract, 0, U'-'}},
      {"", U'ж', false, CFarKey{0, 0, U'ж'}},
      {"", U'.', false, CFarKey{0, 0, U'.'}},
      // Alt with a character is a key, never text; Alt with a key-less character is nothing.
      {"", U'x', true, CFarKey{'X', PKF_ALT, 0}},
      {"", U'ж', true, std::nullopt},
      {"", 0xD800, false, std::nullopt},
      {"", 0x110000, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " char " + std::to_string(c.character) +
                 (c.alt ? " after Esc" : ""));
    const std::optional<CFarKey> key = TranslateTerminalKey(c.name, c.character, c.alt);
    ASSERT_EQ(key.has_value(), c.expected.has_value());
    if (key) {
      EXPECT_EQ(key->key, c.expected->key);
      EXPECT_EQ(key->controlState, c.expected->controlState);
      EXPECT_EQ(key->text, c.expected->text);
      // A menu's break keys spell it with the control state in the high word.
      EXPECT_EQ(BreakKeyCode(*key), key->key | static_cast<int>(key->controlState << 16));
    }
  }
}

}  // namespace
}  // namespace Host
