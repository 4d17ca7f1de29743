#include "host/far_keys.h"

#include <charconv>

namespace Host {
namespace {

struct CNamedKey {
  std::string_view name;
  int key;
  unsigned int controlState;
};

// ncurses' own names for the keys it knows with and without Shift.
constexpr CNamedKey kNamedKeys[] = {
    {"KEY_UP", kVkUp, 0},
    {"KEY_DOWN", kVkDown, 0},
    {"KEY_LEFT", kVkLeft, 0},
    {"KEY_RIGHT", kVkRight, 0},
    {"KEY_HOME", kVkHome, 0},
    {"KEY_END", kVkEnd, 0},
    {"KEY_PPAGE", kVkPrior, 0},
    {"KEY_NPAGE", kVkNext, 0},
    {"KEY_IC", kVkInsert, 0},
    {"KEY_DC", kVkDelete, 0},
    {"KEY_BACKSPACE", kVkBack, 0},
    {"KEY_ENTER", kVkReturn, 0},
    {"KEY_BTAB", kVkTab, PKF_SHIFT},
    {"KEY_SR", kVkUp, PKF_SHIFT},
    {"KEY_SF", kVkDown, PKF_SHIFT},
    {"KEY_SLEFT", kVkLeft, PKF_SHIFT},
    {"KEY_SRIGHT", kVkRight, PKF_SHIFT},
    {"KEY_SHOME", kVkHome, PKF_SHIFT},
    {"KEY_SEND", kVkEnd, PKF_SHIFT},
    {"KEY_SPREVIOUS", kVkPrior, PKF_SHIFT},
    {"KEY_SNEXT", kVkNext, PKF_SHIFT},
    {"KEY_SIC", kVkInsert, PKF_SHIFT},
    {"KEY_SDC", kVkDelete, PKF_SHIFT},
};

// The extended names of xterm-like terminals: a stem and the modifier digit of the escape
// sequence (2 Shift, 3 Alt, 4 Alt+Shift, 5 Ctrl, 6 Ctrl+Shift, 7 Ctrl+Alt, 8 all three).
constexpr CNamedKey kExtendedStems[] = {
    {"kUP", kVkUp, 0},     {"kDN", kVkDown, 0},   {"kLFT", kVkLeft, 0},  {"kRIT", kVkRight, 0},
    {"kHOM", kVkHome, 0},  {"kEND", kVkEnd, 0},   {"kPRV", kVkPrior, 0}, {"kNXT", kVkNext, 0},
    {"kIC", kVkInsert, 0}, {"kDC", kVkDelete, 0},
};

unsigned int ModifiersOfDigit(int digit) {
  const int bits = digit - 1;  // xterm: 1 + Shift(1) + Alt(2) + Ctrl(4)
  unsigned int state = 0;
  if (bits & 1) state |= PKF_SHIFT;
  if (bits & 2) state |= PKF_ALT;
  if (bits & 4) state |= PKF_CONTROL;
  return state;
}

std::optional<CFarKey> FunctionKey(std::string_view name) {
  // "KEY_F(n)": xterm numbers F13..F24 Shift, F25..F36 Ctrl, F37..F48 Ctrl+Shift, F49..F60
  // Alt, F61..F63 Alt+Shift.
  constexpr std::string_view prefix = "KEY_F(";
  if (!name.starts_with(prefix) || !name.ends_with(")")) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (number < 1 || number > 63) return std::nullopt;
  static constexpr unsigned int kBlocks[] = {
      0, PKF_SHIFT, PKF_CONTROL, PKF_CONTROL | PKF_SHIFT, PKF_ALT, PKF_ALT | PKF_SHIFT};
  const int block = (number - 1) / 12;
  return CFarKey{kVkF1 + (number - 1) % 12, kBlocks[block], 0};
}

std::optional<CFarKey> NamedKey(std::string_view name) {
  for (const CNamedKey& named : kNamedKeys) {
    if (named.name == name) return CFarKey{named.key, named.controlState, 0};
  }
  for (const CNamedKey& stem : kExtendedStems) {
    if (!name.starts_with(stem.name)) continue;
    const std::string_view rest = name.substr(stem.name.size());
    if (rest.size() != 1 || rest[0] < '2' || rest[0] > '8') continue;
    return CFarKey{stem.key, ModifiersOfDigit(rest[0] - '0'), 0};
  }
  return FunctionKey(name);
}

std::optional<CFarKey> CharacterKey(char32_t c) {
  switch (c) {
    case 0x08:
    case 0x7F: return CFarKey{kVkBack, 0, 0};
    case 0x09: return CFarKey{kVkTab, 0, 0};
    case 0x0A:
    case 0x0D: return CFarKey{kVkReturn, 0, 0};
    case 0x1B: return CFarKey{kVkEscape, 0, 0};
    case ' ': return CFarKey{kVkSpace, 0, c};
    // A terminal does not tell the gray keys from the others; Far's panels use them alike.
    case '+': return CFarKey{kVkAdd, 0, c};
    case '-': return CFarKey{kVkSubtract, 0, c};
    case '*': return CFarKey{kVkMultiply, 0, c};
    default: break;
  }
  if (c == 0 || c > 0x10FFFF) return std::nullopt;
  if (c < 0x20) return CFarKey{static_cast<int>('A' + c - 1), PKF_CONTROL, 0};
  if (c >= 'a' && c <= 'z') return CFarKey{static_cast<int>(c - 'a' + 'A'), 0, c};
  if (c >= 'A' && c <= 'Z') return CFarKey{static_cast<int>(c), PKF_SHIFT, c};
  if (c >= '0' && c <= '9') return CFarKey{static_cast<int>(c), 0, c};
  if (c >= 0x20 && c < 0x7F) return CFarKey{0, 0, c};
  if (c >= 0xA0 && !(c >= 0xD800 && c <= 0xDFFF)) return CFarKey{0, 0, c};
  return std::nullopt;
}

}  // namespace

std::optional<CFarKey> TranslateTerminalKey(std::string_view name, char32_t character, bool alt) {
  std::optional<CFarKey> key = name.empty() ? CharacterKey(character) : NamedKey(name);
  if (!key || !alt) return key;
  // Alt with a character is a key, not text: Alt+letter reaches the panel as Far's Alt+A.
  key->controlState |= PKF_ALT;
  key->text = 0;
  if (key->key == 0) return std::nullopt;
  return key;
}

int BreakKeyCode(const CFarKey& key) { return key.key | static_cast<int>(key.controlState << 16); }

std::string KeyText(const CFarKey& key) {
  std::string text;
  if (key.controlState & PKF_CONTROL) text += "Ctrl+";
  if (key.controlState & PKF_ALT) text += "Alt+";
  if (key.controlState & PKF_SHIFT) text += "Shift+";
  if (key.key >= kVkF1 && key.key <= kVkF12)
    return text + "F" + std::to_string(key.key - kVkF1 + 1);
  switch (key.key) {
    case kVkUp: return text + "Up";
    case kVkDown: return text + "Down";
    case kVkLeft: return text + "Left";
    case kVkRight: return text + "Right";
    case kVkHome: return text + "Home";
    case kVkEnd: return text + "End";
    case kVkPrior: return text + "PgUp";
    case kVkNext: return text + "PgDn";
    case kVkInsert: return text + "Ins";
    case kVkDelete: return text + "Del";
    case kVkReturn: return text + "Enter";
    case kVkEscape: return text + "Esc";
    case kVkTab: return text + "Tab";
    case kVkBack: return text + "BS";
    default: break;
  }
  if (key.key >= 0x20 && key.key < 0x7F) return text + static_cast<char>(key.key);
  return text + "key " + std::to_string(key.key);
}

}  // namespace Host
