#pragma once
#include <cstddef>
#include <optional>
#include <vector>

#include "farapi/far_api.h"

// What the host's panel shows now, read through its panel control. Entries are the items that
// are not folders; their user data is their position in the list they were made from.
struct HostPanelState {
  int itemCount = 0;
  std::optional<size_t> currentEntry;   // none on ".." or a folder
  std::vector<size_t> selectedEntries;  // the current entry when nothing is selected
  int viewMode = 2;
  int sortMode = SM_NAME;
  bool reverseOrder = false;
};

HostPanelState ReadHostPanel(FarHandle panel);
