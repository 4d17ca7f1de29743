#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "farapi/far_api.h"

// What the phone-book view and the messages view share of their panel items: both show one
// level of folders under a root, with files inside the folders.
namespace Plugin {

// The attribute that makes the host show an item as a folder and enter it.
constexpr FarDword kDirectoryAttribute = 0x10;

bool IsFolder(const PluginPanelItem& item);

// The item's name as the host holds it, however the field is filled.
std::string ItemName(const PluginPanelItem& item);

// A folder item named `name` as it is: the caller has made it safe with FarLib::SafeFileName,
// or it is "..". The description is copied for the host, as FarLib::DuplicateText does.
void FillFolderItem(PluginPanelItem& item, std::string_view name, std::string_view description,
                    FarDword userData);

// How a view moves between its root and its folders.
struct FolderMoves {
  std::function<bool()> inFolder;
  // "\" before a name, or alone: to the root from wherever the view is.
  std::function<void()> toRoot;
  // "..": from the folder shown up to the root.
  std::function<void()> leaveFolder;
  // A name at the root: into the folder of that name; false when there is none.
  std::function<bool(std::string_view name)> enterFolder;
};

// The host's SetDirectory for a view: `directory` is a folder's name, "..", "\" or "\" and a
// name. ".." at the root closes the plug-in's panel. The host's result: 1 done, 0 no such
// folder.
int ChangeDirectory(FarHandle panel, const char* directory, const FolderMoves& moves);

}  // namespace Plugin
