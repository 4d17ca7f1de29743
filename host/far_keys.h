#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "farapi/far_api.h"

// Keys as a terminal reports them, turned into what Far hands a plug-in: a virtual-key code and
// the PKF_* control state. Apart from any terminal library, so the table can be tested.
namespace Host {

constexpr int kVkPrior = 0x21;
constexpr int kVkNext = 0x22;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkSpace = 0x20;
constexpr int kVkMultiply = 0x6A;
constexpr int kVkAdd = 0x6B;
constexpr int kVkSubtract = 0x6D;

struct CFarKey {
  int key = 0;                    // virtual-key code; 0 for a character with no key of its own
  unsigned int controlState = 0;  // PKF_CONTROL | PKF_ALT | PKF_SHIFT
  char32_t text = 0;              // the character typed, for edits; 0 for other keys

  bool Is(int vk, unsigned int state = 0) const { return key == vk && controlState == state; }
  bool operator==(const CFarKey&) const = default;
};

// `name` is the terminal library's name of a special key ("KEY_F(13)", "KEY_SR", "kUP5");
// empty for a character, which `character` then holds. `alt` says it came after an Escape,
// as terminals send Alt with a key. nullopt for what Far has no key for.
std::optional<CFarKey> TranslateTerminalKey(std::string_view name, char32_t character, bool alt);

// How a menu's BreakKeys entry spells a key: the virtual-key code, PKF_* in the high word.
int BreakKeyCode(const CFarKey& key);

// "Shift+F7", "Ctrl+PgUp", "A": for the screen's messages.
std::string KeyText(const CFarKey& key);

}  // namespace Host
