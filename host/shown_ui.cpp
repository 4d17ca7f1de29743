#include "host/shown_ui.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

namespace Host {
namespace {

const char* TypeName(int type) {
  static constexpr std::array<const char*, 12> kNames = {
      "TEXT",    "VTEXT",  "SINGLEBOX", "DOUBLEBOX",   "EDIT",     "PSWEDIT",
      "FIXEDIT", "BUTTON", "CHECKBOX",  "RADIOBUTTON", "COMBOBOX", "LISTBOX"};
  if (type >= 0 && type < static_cast<int>(kNames.size())) return kNames[type];
  return type == DI_USERCONTROL ? "USERCONTROL" : "UNKNOWN";
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\n') {
      quoted += "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(c));
      quoted += code;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

bool IsEditType(int type) {
  return type == DI_EDIT || type == DI_PSWEDIT || type == DI_FIXEDIT || type == DI_COMBOBOX;
}

std::string DescribeItem(size_t index, const ShownDialogItem& item) {
  char head[96];
  std::snprintf(head, sizeof head, "  [%zu] %-11s %d,%d to %d,%d", index, TypeName(item.type),
                item.x1, item.y1, item.x2, item.y2);
  std::string line = head;
  if (item.type == DI_CHECKBOX) line += item.selected ? " [x]" : " [ ]";
  if (item.type == DI_RADIOBUTTON) line += item.selected ? " (*)" : " ( )";
  line += " " + Quoted(item.data);
  if (IsEditType(item.type) && item.varLength > 0)
    line += " in " + std::to_string(item.varLength) + " bytes";
  if (item.history) line += " history " + Quoted(*item.history);
  if (item.flags != 0) {
    char flags[24];
    std::snprintf(flags, sizeof flags, " flags 0x%X", item.flags);
    line += flags;
  }
  if (item.defaultButton) line += " default";
  if (item.focus) line += " focus";
  return line;
}

}  // namespace

std::string Describe(const ShownDialog& dialog) {
  std::string text = "dialog " + Quoted(dialog.helpTopic) + " at " + std::to_string(dialog.x1) +
                     "," + std::to_string(dialog.y1) + " to " + std::to_string(dialog.x2) + "," +
                     std::to_string(dialog.y2) + ", " + std::to_string(dialog.items.size()) +
                     " items:";
  for (size_t i = 0; i < dialog.items.size(); ++i) text += "\n" + DescribeItem(i, dialog.items[i]);
  return text;
}

std::string Describe(const ShownMenu& menu) {
  std::string text = "menu " + Quoted(menu.helpTopic) + " titled " + Quoted(menu.title);
  if (!menu.bottom.empty()) text += ", bottom " + Quoted(menu.bottom);
  if (!menu.breakKeys.empty()) {
    text += ", break keys";
    for (const int key : menu.breakKeys) text += " " + DescribeKey(key);
  }
  text += ", " + std::to_string(menu.items.size()) + " items:";
  for (size_t i = 0; i < menu.items.size(); ++i) {
    const ShownMenuItem& item = menu.items[i];
    text += "\n  [" + std::to_string(i) + "] ";
    text += item.separator ? std::string("----") : Quoted(item.text);
    if (item.selected) text += " selected";
    if (item.checked) text += " checked";
  }
  return text;
}

std::string Describe(const ShownMessage& message) {
  std::string text = "message box " + Quoted(message.helpTopic) + ", flags " +
                     std::to_string(message.flags) + ", " + std::to_string(message.buttons) +
                     " button(s):";
  for (const std::string& item : message.items) text += "\n  | " + Quoted(item);
  return text;
}

std::string DescribeKey(int key) {
  static constexpr std::array<std::pair<int, const char*>, 7> kNamed = {{{kVkBack, "BS"},
                                                                         {kVkTab, "Tab"},
                                                                         {kVkReturn, "Enter"},
                                                                         {kVkEscape, "Esc"},
                                                                         {kVkInsert, "Ins"},
                                                                         {kVkDelete, "Del"},
                                                                         {0x20, "Space"}}};
  const int modifiers = key >> 16;
  std::string text;
  if (modifiers & PKF_CONTROL) text += "Ctrl+";
  if (modifiers & PKF_ALT) text += "Alt+";
  if (modifiers & PKF_SHIFT) text += "Shift+";
  const int vk = key & 0xFFFF;
  for (const auto& [code, name] : kNamed) {
    if (code == vk) return text + name;
  }
  if (vk >= kVkF1 && vk <= kVkF12) return text + "F" + std::to_string(vk - kVkF1 + 1);
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return text + static_cast<char>(vk);
  char code[16];
  std::snprintf(code, sizeof code, "0x%X", vk);
  return text + code;
}

}  // namespace Host
