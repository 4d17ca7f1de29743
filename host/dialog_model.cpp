#include "host/dialog_model.h"

#include <algorithm>
#include <cwctype>

#include "host/oem_text.h"
#include "host/record_reader.h"

namespace Host {
namespace {

constexpr size_t kEditRoom = 511;  // Far's Data field without DIF_VAREDIT

}  // namespace

CHotText HotText(const std::wstring& raw, bool showAmpersand) {
  CHotText result;
  if (showAmpersand) {
    result.text = raw;
    return result;
  }
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == L'&' && i + 1 < raw.size()) {
      ++i;
      if (raw[i] != L'&' && !result.hotKey) {
        result.hotKey = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(raw[i])));
        result.hotPosition = result.text.size();
      }
    }
    result.text.push_back(raw[i]);
  }
  return result;
}

bool KeyMatchesHotKey(const CFarKey& key, wchar_t hotKey) {
  if (!hotKey) return false;
  if (key.text && !(key.controlState & (PKF_CONTROL | PKF_ALT)))
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(key.text))) == hotKey;
  // Alt+letter arrives without its text.
  return key.controlState == PKF_ALT && key.key == static_cast<int>(hotKey);
}

CDialogModel::CDialogModel(const ShownDialog& shown, const CDialogHistory& history)
    : m_shown(shown) {
  for (const ShownDialogItem& item : m_shown.items) {
    CItemState state;
    state.text = FromOem(item.data);
    state.selected = item.selected;
    if (IsEdit(item) && (item.flags & DIF_USELASTHISTORY) && item.history && state.text.empty()) {
      const auto found = history.find(*item.history);
      if (found != history.end() && !found->second.empty()) state.text = found->second.front();
    }
    state.cursor = static_cast<int>(state.text.size());
    m_states.push_back(std::move(state));
  }
  for (int i = 0; i < Count(); ++i) {
    if (Item(i).focus && Focusable(i)) m_focus = i;
  }
  if (m_focus < 0 && Count() > 0) m_focus = Step(-1, +1);
  if (m_focus >= 0 && !Focusable(m_focus)) m_focus = -1;
}

bool CDialogModel::IsEdit(const ShownDialogItem& item) {
  return item.type == DI_EDIT || item.type == DI_PSWEDIT || item.type == DI_FIXEDIT ||
         item.type == DI_COMBOBOX;
}

bool CDialogModel::Focusable(int i) const {
  const ShownDialogItem& item = Item(i);
  if (item.flags & (DIF_HIDDEN | DIF_DISABLE | DIF_NOFOCUS)) return false;
  return IsEdit(item) || item.type == DI_BUTTON || item.type == DI_CHECKBOX ||
         item.type == DI_RADIOBUTTON || item.type == DI_LISTBOX;
}

int CDialogModel::Step(int from, int direction) const {
  for (int n = 1; n <= Count(); ++n) {
    const int i = ((from + direction * n) % Count() + Count()) % Count();
    if (Focusable(i)) return i;
  }
  return from;
}

size_t CDialogModel::Room(int i) const {
  const int buffer = Item(i).varLength;
  return buffer > 0 ? static_cast<size_t>(buffer - 1) : kEditRoom;
}

int CDialogModel::Press(const CFarKey& key) {
  if (key.Is(kVkEscape) || key.Is(kVkF10)) return -1;
  if (m_focus < 0) return key.Is(kVkReturn) ? Enter() : kStay;
  if (key.Is(kVkTab) || key.Is(kVkDown) || (key.Is(kVkRight) && !IsEditFocus())) {
    m_focus = Step(m_focus, +1);
    return kStay;
  }
  if (key.Is(kVkTab, PKF_SHIFT) || key.Is(kVkUp) || (key.Is(kVkLeft) && !IsEditFocus())) {
    m_focus = Step(m_focus, -1);
    return kStay;
  }
  if (key.Is(kVkReturn)) return Enter();
  if (key.Is(kVkSpace) && !IsEditFocus()) return Activate(m_focus);
  if (const int hot = HotKeyItem(key); hot >= 0) {
    m_focus = hot;
    return Activate(hot);
  }
  if (IsEditFocus()) Edit(key);
  return kStay;
}

std::optional<std::string> CDialogModel::HistoryWanted(const CFarKey& key) const {
  if (!IsEditFocus() || IsReadOnly(m_focus) || !Item(m_focus).history) return std::nullopt;
  if (!key.Is(kVkDown, PKF_CONTROL) && !key.Is(kVkDown, PKF_ALT)) return std::nullopt;
  return Item(m_focus).history;
}

void CDialogModel::SetFocusedText(const std::wstring& text) {
  if (!IsEditFocus() || IsReadOnly(m_focus)) return;
  CItemState& state = m_states[static_cast<size_t>(m_focus)];
  state.text = text.substr(0, Room(m_focus));
  state.cursor = static_cast<int>(state.text.size());
}

int CDialogModel::Enter() {
  if (m_focus >= 0 && IsEditorLine(m_focus)) {
    SplitEditorLine();
    return kStay;
  }
  if (m_focus >= 0 && Item(m_focus).type == DI_BUTTON) return Activate(m_focus);
  for (int i = 0; i < Count(); ++i) {
    if (Item(i).defaultButton) return i;
  }
  // With no default button Enter closes the dialog on the focused item, as in Far.
  return m_focus;
}

int CDialogModel::Activate(int i) {
  const ShownDialogItem& item = Item(i);
  CItemState& state = m_states[static_cast<size_t>(i)];
  switch (item.type) {
    case DI_BUTTON: return (item.flags & DIF_BTNNOCLOSE) ? kStay : i;
    case DI_CHECKBOX:
      state.selected = (state.selected + 1) % ((item.flags & DIF_3STATE) ? 3 : 2);
      return kStay;
    case DI_RADIOBUTTON: SelectRadio(i); return kStay;
    default: return kStay;
  }
}

// The group runs from the nearest radio button with DIF_GROUP to the next group or non-radio.
void CDialogModel::SelectRadio(int index) {
  int first = index;
  while (first > 0 && !(Item(first).flags & DIF_GROUP) && Item(first - 1).type == DI_RADIOBUTTON)
    --first;
  for (int i = first; i < Count() && Item(i).type == DI_RADIOBUTTON; ++i) {
    if (i > first && (Item(i).flags & DIF_GROUP)) break;
    m_states[static_cast<size_t>(i)].selected = i == index ? 1 : 0;
  }
}

int CDialogModel::HotKeyItem(const CFarKey& key) const {
  // In an edit a letter is text; there only Alt+letter is a hot key.
  if (IsEditFocus() && key.controlState != PKF_ALT) return -1;
  for (int i = 0; i < Count(); ++i) {
    const ShownDialogItem& item = Item(i);
    if (item.type != DI_BUTTON && item.type != DI_CHECKBOX && item.type != DI_RADIOBUTTON &&
        item.type != DI_TEXT)
      continue;
    if (item.flags & (DIF_HIDDEN | DIF_DISABLE)) continue;
    const CHotText hot = HotText(FromOem(item.data), item.flags & DIF_SHOWAMPERSAND);
    if (!KeyMatchesHotKey(key, hot.hotKey)) continue;
    // A label's hot key goes to the item after it.
    if (item.type == DI_TEXT) {
      const int next = Step(i, +1);
      return next > i ? next : -1;
    }
    if (Focusable(i)) return i;
  }
  return -1;
}

void CDialogModel::Edit(const CFarKey& key) {
  CItemState& state = m_states[static_cast<size_t>(m_focus)];
  const int length = static_cast<int>(state.text.size());
  if (key.Is(kVkLeft)) {
    state.cursor = std::max(0, state.cursor - 1);
  } else if (key.Is(kVkRight)) {
    state.cursor = std::min(length, state.cursor + 1);
  } else if (key.Is(kVkHome)) {
    state.cursor = 0;
  } else if (key.Is(kVkEnd)) {
    state.cursor = length;
  } else if (IsReadOnly(m_focus)) {
    return;
  } else if (key.Is(kVkBack)) {
    if (state.cursor > 0) {
      state.text.erase(static_cast<size_t>(state.cursor - 1), 1);
      --state.cursor;
    } else if (IsEditorLine(m_focus)) {
      JoinWithPreviousLine();
    }
  } else if (key.Is(kVkDelete)) {
    if (state.cursor < length) state.text.erase(static_cast<size_t>(state.cursor), 1);
  } else if (key.text && !(key.controlState & (PKF_CONTROL | PKF_ALT))) {
    // A character the OEM page lacks is refused rather than stored as '?'.
    const auto c = static_cast<wchar_t>(key.text);
    if (!OemCarries(c) || state.text.size() >= Room(m_focus)) return;
    state.text.insert(static_cast<size_t>(state.cursor), 1, c);
    ++state.cursor;
  }
}

std::pair<int, int> CDialogModel::EditorGroup(int i) const {
  int first = i;
  int last = i;
  while (first > 0 && IsEditorLine(first - 1)) --first;
  while (last + 1 < Count() && IsEditorLine(last + 1)) ++last;
  return {first, last};
}

// Enter breaks the line at the cursor when the group's last line is free to take the rest;
// otherwise it only moves down, so no text falls off the end.
void CDialogModel::SplitEditorLine() {
  const int last = EditorGroup(m_focus).second;
  if (m_focus == last) return;
  if (!IsReadOnly(m_focus) && m_states[static_cast<size_t>(last)].text.empty()) {
    for (int i = last; i > m_focus + 1; --i)
      m_states[static_cast<size_t>(i)].text = m_states[static_cast<size_t>(i - 1)].text;
    CItemState& here = m_states[static_cast<size_t>(m_focus)];
    m_states[static_cast<size_t>(m_focus + 1)].text =
        here.text.substr(static_cast<size_t>(here.cursor));
    here.text.erase(static_cast<size_t>(here.cursor));
  }
  ++m_focus;
  m_states[static_cast<size_t>(m_focus)].cursor = 0;
}

// Backspace at a line's start joins it to the line above when both fit in one.
void CDialogModel::JoinWithPreviousLine() {
  const auto [first, last] = EditorGroup(m_focus);
  if (m_focus == first) return;
  CItemState& previous = m_states[static_cast<size_t>(m_focus - 1)];
  CItemState& here = m_states[static_cast<size_t>(m_focus)];
  if (previous.text.size() + here.text.size() > Room(m_focus - 1)) return;
  const int joinAt = static_cast<int>(previous.text.size());
  previous.text += here.text;
  for (int i = m_focus; i < last; ++i)
    m_states[static_cast<size_t>(i)].text = m_states[static_cast<size_t>(i + 1)].text;
  m_states[static_cast<size_t>(last)].text.clear();
  --m_focus;
  previous.cursor = joinAt;
}

void CDialogModel::Finish(int result, FarDialogItem* items, CDialogHistory& history) const {
  for (int i = 0; i < Count(); ++i) {
    const ShownDialogItem& item = Item(i);
    const CItemState& state = m_states[static_cast<size_t>(i)];
    if (IsEdit(item)) {
      WriteEditText(items[i], ToOem(state.text));
      if (result >= 0 && item.history && !(item.flags & DIF_MANUALADDHISTORY) &&
          !state.text.empty()) {
        std::vector<std::wstring>& entries = history[*item.history];
        std::erase(entries, state.text);
        entries.insert(entries.begin(), state.text);
        if (entries.size() > kHistoryLength) entries.resize(kHistoryLength);
      }
    } else if (item.type == DI_CHECKBOX || item.type == DI_RADIOBUTTON) {
      items[i].Selected = state.selected;
    }
  }
}

}  // namespace Host
