#include "plugin/host_panel.h"

#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "plugin/panels.h"

namespace {

constexpr FarDword kDirectoryAttribute = 0x10;

std::optional<size_t> EntryOf(const PluginPanelItem& item) {
  if (item.FindData.dwFileAttributes & kDirectoryAttribute) return std::nullopt;
  return item.UserData;
}

}  // namespace

HostPanelState ReadHostPanel(FarHandle panel) {
  HostPanelState state;
  PanelInfo info{};
  if (!FarLib::Control(panel, FCTL_GETPANELINFO, &info)) return state;
  state.itemCount = info.ItemsNumber;
  if (info.PanelItems && info.CurrentItem >= 0 && info.CurrentItem < info.ItemsNumber)
    state.currentEntry = EntryOf(info.PanelItems[info.CurrentItem]);
  for (int i = 0; info.SelectedItems && i < info.SelectedItemsNumber; ++i) {
    if (const std::optional<size_t> entry = EntryOf(info.SelectedItems[i]))
      state.selectedEntries.push_back(*entry);
  }
  state.viewMode = info.ViewMode;
  state.sortMode = info.SortMode;
  state.reverseOrder = (info.Flags & PFLAGS_REVERSESORTORDER) != 0;
  return state;
}
