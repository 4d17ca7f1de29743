#include "plugin/copy_dialog.h"

#include <cstring>

#include "farlib/ui/dialog_item.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "farlib/storage.h"
#include "plugin/panels.h"
#include "plugin/view_items.h"

namespace Plugin {

CopyTargets ReadCopyTargets(FarHandle panel, bool currentOnly) {
  CopyTargets targets;
  PanelInfo other{};
  if (FarLib::Control(panel, FCTL_GETANOTHERPANELINFO, &other)) {
    targets.otherIsPlugin = other.Plugin != 0;
    targets.destination.assign(other.CurDir, strnlen(other.CurDir, sizeof other.CurDir));
  }
  PanelInfo info{};
  if (!FarLib::Control(panel, FCTL_GETPANELINFO, &info) || info.ItemsNumber <= 0) return targets;
  const auto take = [&](const PluginPanelItem& item) {
    if (ItemName(item) != "..") targets.items.push_back(item);
  };
  if (currentOnly) {
    if (info.PanelItems && info.CurrentItem >= 0 && info.CurrentItem < info.ItemsNumber)
      take(info.PanelItems[info.CurrentItem]);
  } else {
    for (int i = 0; info.SelectedItems && i < info.SelectedItemsNumber; ++i)
      take(info.SelectedItems[i]);
  }
  return targets;
}

void AddCopyItems(FarLib::CFarDialog& dialog, const std::vector<PluginPanelItem>& items,
                  std::string& destination) {
  const std::string prompt =
      items.size() == 1 ? FarLib::FormatMsg(Msg::kCopyOne, ItemName(items.front()).c_str())
                        : FarLib::FormatMsg(Msg::kCopyMany, static_cast<int>(items.size()));
  dialog.AddFrame(Msg::kCopyTitle);
  dialog.Add<FarLib::CFarTextItem>(5, 2, 0, prompt);
  dialog.Add<FarLib::CFarEditItem>(5, 3, 64, 0, "Copy", FarLib::CFarTextStorage(destination));
}

std::vector<char> DestinationBuffer(const std::string& destination) {
  std::vector<char> buffer(destination.begin(), destination.end());
  buffer.push_back('\0');
  return buffer;
}

void RefreshAfterCopy(FarHandle panel) {
  RefreshPanel(panel, true);
  UpdatePanel(panel, FCTL_UPDATEANOTHERPANEL, true);
  FarLib::Control(panel, FCTL_REDRAWANOTHERPANEL, nullptr);
}

}  // namespace Plugin
