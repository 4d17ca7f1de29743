#include "host/panel.h"

#include <algorithm>
#include <set>

namespace Host {

void CPanel::SetItems(std::vector<CPanelItem> items, bool keepSelection) {
  const std::string currentName = CurrentItem() ? CurrentItem()->name : std::string();
  std::set<std::string> selected;
  if (keepSelection) {
    for (const CPanelItem& item : m_items)
      if (item.selected) selected.insert(item.name);
  }
  for (CPanelItem& item : items) item.selected = !item.IsParent() && selected.count(item.name) > 0;
  m_items = std::move(items);
  if (currentName.empty() || !SetCurrent(currentName)) SetCurrent(m_current);
  SetTop(m_top);
}

void CPanel::Clear() {
  m_items.clear();
  m_current = 0;
  m_top = 0;
}

const CPanelItem* CPanel::CurrentItem() const {
  if (m_current < 0 || m_current >= static_cast<int>(m_items.size())) return nullptr;
  return &m_items[static_cast<size_t>(m_current)];
}

bool CPanel::SetCurrent(int index) {
  const int last = std::max(0, static_cast<int>(m_items.size()) - 1);
  m_current = std::clamp(index, 0, last);
  return m_current == index;
}

bool CPanel::SetCurrent(const std::string& name) {
  const int index = Find(name);
  if (index < 0) return false;
  m_current = index;
  return true;
}

void CPanel::SetTop(int index) {
  m_top = std::clamp(index, 0, std::max(0, static_cast<int>(m_items.size()) - 1));
}

int CPanel::Find(const std::string& name) const {
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].name == name) return static_cast<int>(i);
  return -1;
}

bool CPanel::Select(const std::string& name, bool selected) {
  const int index = Find(name);
  if (index < 0) return false;
  CPanelItem& item = m_items[static_cast<size_t>(index)];
  item.selected = selected && !item.IsParent();
  return true;
}

void CPanel::ClearSelection() {
  for (CPanelItem& item : m_items) item.selected = false;
}

int CPanel::SelectedCount() const {
  return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                        [](const CPanelItem& item) { return item.selected; }));
}

std::vector<CPanelItem> CPanel::Targets() const {
  std::vector<CPanelItem> targets;
  for (const CPanelItem& item : m_items)
    if (item.selected) targets.push_back(item);
  if (targets.empty() && CurrentItem() && !CurrentItem()->IsParent())
    targets.push_back(*CurrentItem());
  return targets;
}

}  // namespace Host
