#include "plugin/view_items.h"

#include <algorithm>
#include <cstring>

#include "farlib/host.h"
#include "farlib/panel_items.h"
#include "farlib/ui/host_ui.h"

namespace Plugin {

bool IsFolder(const PluginPanelItem& item) {
  return (item.FindData.dwFileAttributes & kDirectoryAttribute) != 0;
}

std::string ItemName(const PluginPanelItem& item) {
  const char* name = item.FindData.cFileName;
  return std::string(name, strnlen(name, sizeof item.FindData.cFileName));
}

void FillFolderItem(PluginPanelItem& item, std::string_view name, std::string_view description,
                    FarDword userData) {
  const size_t length = std::min(name.size(), sizeof item.FindData.cFileName - 1);
  std::memcpy(item.FindData.cFileName, name.data(), length);
  item.FindData.cFileName[length] = '\0';
  item.FindData.dwFileAttributes = kDirectoryAttribute;
  item.Description = FarLib::DuplicateText(description);
  item.UserData = userData;
}

int ChangeDirectory(FarHandle panel, const char* directory, const FolderMoves& moves) {
  std::string_view name = directory ? directory : "";
  if (name.starts_with('\\')) {
    moves.toRoot();
    name.remove_prefix(1);
    // The root itself is a directory the host may ask for.
    if (name.empty()) return 1;
  }
  if (name == "..") {
    if (moves.inFolder()) {
      moves.leaveFolder();
    } else {
      FarLib::Control(panel, FCTL_CLOSEPLUGIN, nullptr);
    }
    return 1;
  }
  if (moves.inFolder() || name.empty()) return 0;
  return moves.enterFolder(name) ? 1 : 0;
}

}  // namespace Plugin
