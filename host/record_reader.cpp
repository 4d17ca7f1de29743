#include "host/record_reader.h"

#include <algorithm>
#include <cstring>

namespace Host {
namespace {

constexpr size_t kDataSize = sizeof(FarDialogItem{}.Data);
constexpr size_t kMenuTextSize = sizeof(FarMenuItem{}.Text);
// Far stops at the zero entry; a list this long has lost it.
constexpr size_t kMaxBreakKeys = 1024;

std::string TopicText(const char* topic) { return topic ? topic : kNoTopic; }

std::string Where(const char* what, size_t index) {
  return std::string(what) + " " + std::to_string(index) + ": ";
}

// The text of a fixed field, read no further than the field reaches.
std::string FieldText(const char* field, size_t size, const std::string& where,
                      std::vector<std::string>& problems) {
  const size_t length = strnlen(field, size);
  if (length == size)
    problems.push_back(where + "the text has no terminating zero in its " + std::to_string(size) +
                       " bytes");
  return std::string(field, length);
}

bool UsesVariableBuffer(const FarDialogItem& item) {
  return (item.Type == DI_EDIT || item.Type == DI_COMBOBOX) && (item.Flags & DIF_VAREDIT);
}

bool TakesHistory(const FarDialogItem& item) {
  return (item.Type == DI_EDIT || item.Type == DI_FIXEDIT || item.Type == DI_COMBOBOX) &&
         (item.Flags & DIF_HISTORY);
}

std::string ReadItemText(const FarDialogItem& item, const std::string& where,
                         ShownDialogItem& shown, std::vector<std::string>& problems) {
  if (!UsesVariableBuffer(item)) return FieldText(item.Data, kDataSize, where, problems);
  shown.varLength = item.Ptr.PtrLength;
  if (item.Ptr.PtrFlags != 0) problems.push_back(where + "PtrFlags must be 0");
  if (!item.Ptr.PtrData || item.Ptr.PtrLength <= 0) {
    problems.push_back(where + "DIF_VAREDIT without a buffer");
    return {};
  }
  return FieldText(item.Ptr.PtrData, static_cast<size_t>(item.Ptr.PtrLength), where, problems);
}

ShownDialogItem ReadDialogItem(const FarDialogItem& item, size_t index,
                               std::vector<std::string>& problems) {
  const std::string where = Where("item", index);
  ShownDialogItem shown;
  shown.type = item.Type;
  shown.x1 = item.X1;
  shown.y1 = item.Y1;
  shown.x2 = item.X2;
  shown.y2 = item.Y2;
  shown.focus = item.Focus;
  shown.flags = item.Flags;
  shown.defaultButton = item.DefaultButton;
  if (item.Type == DI_CHECKBOX || item.Type == DI_RADIOBUTTON) shown.selected = item.Selected;
  if (TakesHistory(item)) {
    if (item.History) shown.history = FieldText(item.History, 4096, where, problems);
    else problems.push_back(where + "DIF_HISTORY without a history name");
  }
  shown.data = ReadItemText(item, where, shown, problems);
  return shown;
}

int ButtonsOfFlags(FarDword flags, int buttons) {
  switch (flags & 0x000F0000) {
    case FMSG_MB_OK: return 1;
    case FMSG_MB_OKCANCEL:
    case FMSG_MB_YESNO:
    case FMSG_MB_RETRYCANCEL: return 2;
    case FMSG_MB_ABORTRETRYIGNORE:
    case FMSG_MB_YESNOCANCEL: return 3;
    default: return buttons;
  }
}

}  // namespace

ShownDialog ReadDialog(const char* helpTopic, int x1, int y1, int x2, int y2,
                       const FarDialogItem* items, int count, std::vector<std::string>& problems) {
  ShownDialog shown{TopicText(helpTopic), x1, y1, x2, y2, {}, -1};
  if (count > 0 && !items) {
    problems.push_back(std::to_string(count) + " items but no item array");
    return shown;
  }
  for (int i = 0; i < count; ++i)
    shown.items.push_back(ReadDialogItem(items[i], static_cast<size_t>(i), problems));
  const auto focused = std::ranges::count_if(
      shown.items, [](const ShownDialogItem& item) { return item.focus != 0; });
  if (focused > 1) problems.push_back(std::to_string(focused) + " items have the focus");
  const auto defaults = std::ranges::count_if(
      shown.items, [](const ShownDialogItem& item) { return item.defaultButton != 0; });
  if (defaults > 1) problems.push_back(std::to_string(defaults) + " default buttons");
  return shown;
}

ShownMenu ReadMenu(const char* title, const char* bottom, const char* helpTopic, FarDword flags,
                   const int* breakKeys, const FarMenuItem* items, int count,
                   std::vector<std::string>& problems) {
  ShownMenu shown;
  shown.helpTopic = TopicText(helpTopic);
  shown.title = title ? title : "";
  shown.bottom = bottom ? bottom : "";
  shown.flags = flags;
  for (size_t i = 0; breakKeys && breakKeys[i] != 0; ++i) {
    if (i == kMaxBreakKeys) {
      problems.push_back("the break-key list has no terminating zero");
      break;
    }
    shown.breakKeys.push_back(breakKeys[i]);
  }
  if (count > 0 && !items) {
    problems.push_back(std::to_string(count) + " items but no item array");
    return shown;
  }
  for (int i = 0; i < count; ++i) {
    const FarMenuItem& item = items[i];
    shown.items.push_back(
        {FieldText(item.Text, kMenuTextSize, Where("menu item", static_cast<size_t>(i)), problems),
         item.Selected, item.Checked, item.Separator});
  }
  const auto selected = std::ranges::count_if(
      shown.items, [](const ShownMenuItem& item) { return item.selected != 0; });
  if (selected > 1) problems.push_back(std::to_string(selected) + " items are selected");
  return shown;
}

ShownMessage ReadMessage(FarDword flags, const char* helpTopic, const char* const* items, int count,
                         int buttons, std::vector<std::string>& problems) {
  ShownMessage shown;
  shown.flags = flags;
  shown.helpTopic = TopicText(helpTopic);
  shown.buttons = ButtonsOfFlags(flags, buttons);
  if (count < 2)
    problems.push_back("a message box needs a title and a line, got " + std::to_string(count) +
                       " item(s)");
  if (count > 0 && !items) {
    problems.push_back(std::to_string(count) + " items but no item array");
    return shown;
  }
  for (int i = 0; i < count; ++i) {
    if (!items[i]) problems.push_back(Where("line", static_cast<size_t>(i)) + "null text");
    shown.items.emplace_back(items[i] ? items[i] : "(null)");
  }
  const bool ownButtons = shown.buttons == buttons;
  if (buttons < 0 || (ownButtons && buttons > count - 1)) {
    problems.push_back(std::to_string(buttons) + " buttons among " + std::to_string(count) +
                       " items");
  }
  return shown;
}

bool IsEditItem(const FarDialogItem& item) {
  return item.Type == DI_EDIT || item.Type == DI_PSWEDIT || item.Type == DI_FIXEDIT ||
         item.Type == DI_COMBOBOX;
}

void WriteEditText(FarDialogItem& item, const std::string& text) {
  char* target = item.Data;
  size_t room = kDataSize;
  if (UsesVariableBuffer(item)) {
    target = item.Ptr.PtrData;
    room = item.Ptr.PtrLength > 0 ? static_cast<size_t>(item.Ptr.PtrLength) : 0;
  }
  if (!target || room == 0) return;
  const size_t length = std::min(text.size(), room - 1);
  std::memcpy(target, text.data(), length);
  target[length] = '\0';
}

void SelectRadioButton(FarDialogItem* items, int count, int index) {
  int first = index;
  while (first > 0 && !(items[first].Flags & DIF_GROUP) && items[first - 1].Type == DI_RADIOBUTTON)
    --first;
  for (int i = first; i < count && items[i].Type == DI_RADIOBUTTON; ++i) {
    if (i > first && (items[i].Flags & DIF_GROUP)) break;
    items[i].Selected = i == index ? 1 : 0;
  }
}

int MatchBreakKey(const std::vector<int>& breakKeys, int pressed) {
  const int vk = pressed & 0xFFFF;
  const int held = (pressed >> 16) & (PKF_CONTROL | PKF_ALT | PKF_SHIFT);
  for (size_t i = 0; i < breakKeys.size(); ++i) {
    const int entry = breakKeys[i];
    if ((entry & 0xFFFF) != vk) continue;
    const int named = entry >> 16;
    if (held ? (named & held) != 0 : named == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace Host
