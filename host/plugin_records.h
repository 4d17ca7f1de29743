#pragma once
#include <deque>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "host/panel.h"

// The records a plug-in fills for the host (PluginInfo, OpenPluginInfo, the GetFindData array)
// read the way Far reads them, and the item arrays the host hands to a plug-in. Reading goes no
// further than the counts say and no text further than its limit; whatever Far would trip over
// is added to `problems` and left out or cut short, never read past.
namespace Host {

struct CMenuEntry {
  std::string text;
  int number = -1;  // the disk menu's hot digit; -1 when the plug-in leaves it to the host
};

struct CPluginMenus {
  FarDword flags = 0;
  std::vector<CMenuEntry> diskMenu;
  std::vector<std::string> pluginsMenu;
  std::vector<std::string> configMenu;
  std::string commandPrefix;
};

// Longest text taken from a plug-in's pointer where Far sets no limit of its own.
constexpr size_t kMaxText = 4096;
// More entries than this in one list means the count is garbage.
constexpr int kMaxListEntries = 1024;
constexpr int kMaxFindItems = 100000;

// A zero-terminated text of at most `limit` characters; null reads as empty.
std::string ReadText(const char* text, size_t limit, const std::string& what,
                     std::vector<std::string>& problems);

CPluginMenus ReadPluginInfo(const PluginInfo& info, std::vector<std::string>& problems);
CPluginPanelInfo ReadOpenPluginInfo(const OpenPluginInfo& info, std::vector<std::string>& problems);
// An item Far could not take (no name, a name without its terminating zero) is left out.
std::vector<CPanelItem> ReadFindData(const PluginPanelItem* items, int count,
                                     std::vector<std::string>& problems);

// PluginPanelItem records of the host's making, valid until the next Assign or the array's end.
// PPIF_SELECTED is set on the selected items, as Far sets it.
class CItemArray {
 public:
  CItemArray() = default;
  CItemArray(const CItemArray&) = delete;
  CItemArray& operator=(const CItemArray&) = delete;

  void Assign(const std::vector<CPanelItem>& items);
  PluginPanelItem* Data() { return m_items.empty() ? nullptr : m_items.data(); }
  int Count() const { return static_cast<int>(m_items.size()); }

 private:
  char* Store(const std::string& text);

  std::vector<PluginPanelItem> m_items;
  std::deque<std::string> m_texts;
  std::deque<std::vector<char*>> m_columns;
};

}  // namespace Host
