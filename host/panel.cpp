#include "host/panel.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace Host {
namespace {

int CompareCaseless(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string Extension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

template <typename T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Negative when `a` comes first in the mode's own order. Times and sizes come newest and
// largest first, as in Far; unsorted is the order of the listing; ties go by name.
int CompareByMode(const CPanelItem& a, const CPanelItem& b, int mode) {
  int order = 0;
  switch (mode) {
    case SM_EXT: order = CompareCaseless(Extension(a.name), Extension(b.name)); break;
    case SM_MTIME:
    case SM_ATIME: order = Compare(b.writeTime, a.writeTime); break;
    case SM_CTIME: order = Compare(b.creationTime, a.creationTime); break;
    case SM_SIZE:
    case SM_COMPRESSEDSIZE: order = Compare(b.size, a.size); break;
    case SM_UNSORTED: return Compare(a.listedAt, b.listedAt);
    case SM_DESCR: order = CompareCaseless(a.description, b.description); break;
    case SM_OWNER: order = CompareCaseless(a.owner, b.owner); break;
    default: break;
  }
  return order != 0 ? order : CompareCaseless(a.name, b.name);
}

// "..", then folders, then files, whatever the order.
int Group(const CPanelItem& item) { return item.IsParent() ? 0 : (item.IsFolder() ? 1 : 2); }

}  // namespace

void CPanel::Sort() {
  if (!sortsItems) return;
  const std::string currentName = CurrentItem() ? CurrentItem()->name : std::string();
  std::stable_sort(m_items.begin(), m_items.end(),
                   [this](const CPanelItem& a, const CPanelItem& b) {
                     if (Group(a) != Group(b)) return Group(a) < Group(b);
                     const int order = CompareByMode(a, b, sortMode);
                     return reverseOrder ? order > 0 : order < 0;
                   });
  if (!currentName.empty()) SetCurrent(currentName);
}

int SortModeOfKey(int key, unsigned int controlState) {
  const int index = key - kSortKeyFirst;
  if (controlState != PKF_CONTROL || index < 0 || index >= kSortKeyCount) return SM_DEFAULT;
  static constexpr int kModes[kSortKeyCount] = {SM_NAME, SM_EXT,      SM_MTIME,
                                                SM_SIZE, SM_UNSORTED, SM_CTIME};
  return kModes[index];
}

void CPanel::ChooseSortMode(int mode) {
  reverseOrder = mode == sortMode && !reverseOrder;
  sortMode = mode;
  Sort();
}

void CPanel::SetItems(std::vector<CPanelItem> items, bool keepSelection) {
  const std::string currentName = CurrentItem() ? CurrentItem()->name : std::string();
  std::set<std::string> selected;
  if (keepSelection) {
    for (const CPanelItem& item : m_items)
      if (item.selected) selected.insert(item.name);
  }
  for (CPanelItem& item : items) item.selected = !item.IsParent() && selected.count(item.name) > 0;
  for (size_t i = 0; i < items.size(); ++i) items[i].listedAt = i;
  m_items = std::move(items);
  Sort();
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
