#pragma once
#include <string>
#include <vector>

#include "host/far_keys.h"

// What a Far menu does with the keys a person presses, apart from drawing it and apart from the
// plug-in's break keys: the cursor over the items (separators are passed over; it goes round
// from the last to the first and back only in wrap mode, as FMENU_WRAPMODE asks), a page at a
// time, and an item chosen by Enter or at once by its hot key.
namespace Host {

class CMenuModel {
 public:
  static constexpr int kStay = -2;

  struct CLine {
    std::wstring text;
    wchar_t hotKey = 0;  // upper case; 0 for none
    size_t hotPosition = std::wstring::npos;
    int checked = 0;
    bool separator = false;
  };

  // `cursor` out of range or on a separator: the first item.
  CMenuModel(std::vector<CLine> lines, int cursor, bool wrap);

  // FMENU_AUTOHIGHLIGHT: an item without a hot key of its own takes the first letter or digit
  // of its text that no item has taken, the first item first (the last first when `reverse`).
  void AssignHotKeys(bool reverse);

  // kStay while the menu stays open, else the chosen item, or -1 for Esc and F10. A page is
  // `pageRows`, the items the menu shows at once.
  int Press(const CFarKey& key, int pageRows);

  int Cursor() const { return m_cursor; }
  int Count() const { return static_cast<int>(m_lines.size()); }
  const CLine& Line(int i) const { return m_lines[static_cast<size_t>(i)]; }

 private:
  bool Selectable(int i) const { return i >= 0 && i < Count() && !Line(i).separator; }
  int Step(int from, int direction) const;
  int Land(int target, int direction) const;

  std::vector<CLine> m_lines;
  bool m_wrap;
  int m_cursor = -1;
};

}  // namespace Host
