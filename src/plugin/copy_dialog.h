#pragma once
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "farlib/ui/dialog.h"

// What both views share of copying out with F5: which items go where, the dialog's destination
// part, and bringing both panels up to date afterwards.
namespace Plugin {

struct CopyTargets {
  bool otherIsPlugin = false;
  // The other panel's folder, where the copies go unless the user types another.
  std::string destination;
  // Copies: the host's arrays last only until its next panel request. Never "..".
  std::vector<PluginPanelItem> items;
};

// The selected items (the host's current one when nothing is selected), or only the item under
// the cursor.
CopyTargets ReadCopyTargets(FarHandle panel, bool currentOnly);

// The frame titled "Copy", the prompt naming the item (or counting the items) on row 2 and the
// destination's edit field on row 3, bound to `destination`. The caller adds its own items and
// buttons.
void AddCopyItems(FarLib::CFarDialog& dialog, const std::vector<PluginPanelItem>& items,
                  std::string& destination);

// The destination as the views' GetFiles take it: a writable, terminated copy.
std::vector<char> DestinationBuffer(const std::string& destination);

// This panel read again keeping its selection; the other panel, where the files arrived, read
// again and redrawn.
void RefreshAfterCopy(FarHandle panel);

}  // namespace Plugin
