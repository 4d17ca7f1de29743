#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "host/far_keys.h"
#include "host/shown_ui.h"

// What a Far dialog does with the keys a person presses, apart from drawing it: focus moving
// over the items that take it, typing into edits within their room, check boxes and radio
// groups, the lines of a multi-line edit (consecutive DIF_EDITOR edits), read-only edits, hot
// keys, the default button, and at the close the records written back as Far writes them.
namespace Host {

// Edit histories by name, newest first, for as long as the host runs.
using CDialogHistory = std::map<std::string, std::vector<std::wstring>>;

// "&Save" shows "Save" with S as its hot key, unless the ampersand is to be shown.
struct CHotText {
  std::wstring text;
  wchar_t hotKey = 0;                       // upper case; 0 for none
  size_t hotPosition = std::wstring::npos;  // where the hot key stands in `text`
};
CHotText HotText(const std::wstring& raw, bool showAmpersand);
bool KeyMatchesHotKey(const CFarKey& key, wchar_t hotKey);

class CDialogModel {
 public:
  static constexpr int kStay = -2;
  static constexpr size_t kHistoryLength = 30;

  struct CItemState {
    std::wstring text;
    int cursor = 0;
    int scroll = 0;  // for the view: the first character shown
    int selected = 0;
  };

  CDialogModel(const ShownDialog& shown, const CDialogHistory& history);

  // kStay while the dialog stays open, else the item that closes it, or -1 for Esc.
  int Press(const CFarKey& key);
  // Ctrl+Down or Alt+Down on an edit with a history asks for it: the history's name.
  std::optional<std::string> HistoryWanted(const CFarKey& key) const;
  // A text chosen from the history, cut to the edit's room.
  void SetFocusedText(const std::wstring& text);

  // The edits' texts, check boxes and radio buttons into the records; unless the dialog was
  // cancelled, the edits with a history add their text to it.
  void Finish(int result, FarDialogItem* items, CDialogHistory& history) const;

  int Focus() const { return m_focus; }
  int Count() const { return static_cast<int>(m_states.size()); }
  const CItemState& State(int i) const { return m_states[static_cast<size_t>(i)]; }
  CItemState& MutableState(int i) { return m_states[static_cast<size_t>(i)]; }
  static bool IsEdit(const ShownDialogItem& item);

 private:
  const ShownDialogItem& Item(int i) const { return m_shown.items[static_cast<size_t>(i)]; }
  bool IsEditFocus() const { return m_focus >= 0 && IsEdit(Item(m_focus)); }
  bool IsReadOnly(int i) const { return (Item(i).flags & DIF_READONLY) != 0; }
  bool IsEditorLine(int i) const { return IsEdit(Item(i)) && (Item(i).flags & DIF_EDITOR); }
  bool Focusable(int i) const;
  int Step(int from, int direction) const;
  size_t Room(int i) const;
  int Enter();
  int Activate(int i);
  void SelectRadio(int index);
  int HotKeyItem(const CFarKey& key) const;
  void Edit(const CFarKey& key);
  std::pair<int, int> EditorGroup(int i) const;
  void SplitEditorLine();
  void JoinWithPreviousLine();

  ShownDialog m_shown;
  std::vector<CItemState> m_states;
  int m_focus = -1;
};

}  // namespace Host
