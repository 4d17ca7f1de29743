#include "host/menu_model.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include "host/dialog_model.h"

namespace Host {

CMenuModel::CMenuModel(std::vector<CLine> lines, int cursor, bool wrap)
    : m_lines(std::move(lines)), m_wrap(wrap) {
  m_cursor = Selectable(cursor) ? cursor : Land(0, +1);
}

void CMenuModel::AssignHotKeys(bool reverse) {
  std::set<wchar_t> taken;
  for (const CLine& line : m_lines) {
    if (line.hotKey) taken.insert(line.hotKey);
  }
  const int count = Count();
  for (int k = 0; k < count; ++k) {
    CLine& line = m_lines[static_cast<size_t>(reverse ? count - 1 - k : k)];
    if (line.separator || line.hotKey) continue;
    for (size_t i = 0; i < line.text.size(); ++i) {
      const wchar_t c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(line.text[i])));
      if (!std::iswalnum(static_cast<wint_t>(c)) || taken.count(c)) continue;
      taken.insert(c);
      line.hotKey = c;
      line.hotPosition = i;
      break;
    }
  }
}

int CMenuModel::Press(const CFarKey& key, int pageRows) {
  if (key.Is(kVkEscape) || key.Is(kVkF10)) return -1;
  if (m_cursor < 0) return kStay;
  const int page = std::max(1, pageRows);
  if (key.Is(kVkReturn)) return m_cursor;
  if (key.Is(kVkUp)) m_cursor = Step(m_cursor, -1);
  else if (key.Is(kVkDown)) m_cursor = Step(m_cursor, +1);
  else if (key.Is(kVkHome)) m_cursor = Land(0, +1);
  else if (key.Is(kVkEnd)) m_cursor = Land(Count() - 1, -1);
  else if (key.Is(kVkPrior)) m_cursor = Land(std::max(0, m_cursor - page), -1);
  else if (key.Is(kVkNext)) m_cursor = Land(std::min(Count() - 1, m_cursor + page), +1);
  else {
    for (int i = 0; i < Count(); ++i) {
      if (Selectable(i) && KeyMatchesHotKey(key, Line(i).hotKey)) return i;
    }
  }
  return kStay;
}

int CMenuModel::Step(int from, int direction) const {
  for (int i = from + direction; i >= 0 && i < Count(); i += direction) {
    if (Selectable(i)) return i;
  }
  if (!m_wrap) return from;
  return Land(direction > 0 ? 0 : Count() - 1, direction);
}

// The item at `target`, or past the separators there in `direction`, or back the other way
// when the menu ends first; -1 when there is no item at all.
int CMenuModel::Land(int target, int direction) const {
  for (int i = target; i >= 0 && i < Count(); i += direction) {
    if (Selectable(i)) return i;
  }
  for (int i = target - direction; i >= 0 && i < Count(); i -= direction) {
    if (Selectable(i)) return i;
  }
  return -1;
}

}  // namespace Host
