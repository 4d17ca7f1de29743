#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "farapi/far_api.h"

// The state of one panel as the host keeps it, apart from how anything draws it: the items and
// their selection, the cursor, the view and sort modes, the folder, and for a plug-in panel what
// the plug-in last said about itself in GetOpenPluginInfo.
namespace Host {

constexpr FarDword kAttributeDirectory = 0x10;
constexpr FarDword kAttributeArchive = 0x20;
inline constexpr const char* kParentName = "..";

struct CPanelItem {
  std::string name;
  uint64_t size = 0;
  uint64_t writeTime = 0;     // ftLastWriteTime as one FILETIME number; 0 when not given
  uint64_t creationTime = 0;  // ftCreationTime, likewise
  FarDword attributes = 0;
  std::string description;
  std::string owner;
  FarDword userData = 0;
  // The plug-in's own flags as it gave them; the selection is kept in `selected`.
  FarDword flags = 0;
  std::vector<std::string> customColumns;
  bool selected = false;
  // The place in the listing the panel was given last, which is its unsorted order.
  size_t listedAt = 0;

  bool IsFolder() const { return (attributes & kAttributeDirectory) != 0; }
  bool IsParent() const { return name == kParentName; }
};

struct CPanelModeInfo {
  bool given = false;  // false for an entry the plug-in left empty
  std::string columnTypes;
  std::string columnWidths;
  std::vector<std::string> columnTitles;
  bool fullScreen = false;
  bool detailedStatus = false;
  std::string statusColumnTypes;
  std::string statusColumnWidths;
};

struct CInfoLine {
  std::string text;
  std::string data;
  bool separator = false;
};

// Seven rows of twelve labels (plain, Ctrl, Alt, Shift, Ctrl+Shift, Alt+Shift, Ctrl+Alt; F1..F12);
// an empty label keeps the host's own.
using CKeyBar = std::array<std::array<std::string, 12>, 7>;

struct CPluginPanelInfo {
  FarDword flags = 0;
  std::string hostFile;
  std::string curDir;
  std::string format;
  std::string panelTitle;
  std::vector<CInfoLine> infoLines;
  std::vector<CPanelModeInfo> panelModes;
  int startPanelMode = 0;  // 0 keeps the mode, else '0' + mode
  int startSortMode = 0;   // SM_*; 0 keeps the mode
  int startSortOrder = 0;
  CKeyBar keyBar;
  std::string shortcutData;
};

// Far's sort keys, Ctrl+F3..F8: by name, extension, modification time, size, unsorted, creation
// time. SM_DEFAULT for any other key.
constexpr int kSortKeyFirst = kVkF1 + 2;
constexpr int kSortKeyCount = 6;
int SortModeOfKey(int key, unsigned int controlState);

class CPanel {
 public:
  const std::vector<CPanelItem>& Items() const { return m_items; }
  // New contents from a re-read. The cursor stays on the item of the same name when there is
  // one; selections are carried over by name or dropped.
  void SetItems(std::vector<CPanelItem> items, bool keepSelection);
  void Clear();

  int Current() const { return m_current; }
  const CPanelItem* CurrentItem() const;
  // Clamped to the items; false when the index was out of range.
  bool SetCurrent(int index);
  bool SetCurrent(const std::string& name);
  int Top() const { return m_top; }
  void SetTop(int index);
  int Find(const std::string& name) const;

  // ".." cannot be selected, as in Far. False when no item has that name.
  bool Select(const std::string& name, bool selected);
  void ClearSelection();
  int SelectedCount() const;
  // What an operation applies to: the selected items, else the current one unless it is "..".
  std::vector<CPanelItem> Targets() const;

  // Puts the items in the order Far shows them in (see `sortsItems`), the cursor staying on
  // its item.
  void Sort();
  // Far's Ctrl+F3..F8 and its sort menu: another mode sorts in its own order, the mode in force
  // turns the order round; then the items are sorted again.
  void ChooseSortMode(int mode);

  int viewMode = 2;
  int sortMode = SM_NAME;
  bool reverseOrder = false;
  // A panel for people keeps its items in Far's order: "..", then folders, then files, each by
  // the sort mode. A scripted host keeps them as they came, so that tests name them by place.
  bool sortsItems = false;
  // The real folder of a file panel; the plug-in's CurDir of a plug-in panel.
  std::string directory;
  CPluginPanelInfo plugin;

 private:
  std::vector<CPanelItem> m_items;
  int m_current = 0;
  int m_top = 0;
};

}  // namespace Host
