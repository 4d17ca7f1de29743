#pragma once
#include <string>
#include <string_view>

#include "farapi/far_api.h"

// Filling the host's panel items from texts that come from the phone.
namespace FarLib {

// A file name made of any text: characters that Windows or Linux would take as wildcards,
// paths, devices or redirections ('*', '?', '\', '/', ':', '<', '>', '"', '|'), the characters
// the host treats specially ('$', '%', '^', '&') and control characters become '_', and so do
// the dots of a name made of dots only. Cut to the host's name field; an empty text gives "_".
std::string SafeFileName(std::string_view text);

// Puts the safe form of `text` into the item's file name.
void SetFileName(PluginPanelItem& item, std::string_view text);

// A copy of the text in memory of the C run-time, as the host expects for an item's
// Description and Owner; the panel's FreeFindData releases it.
char* DuplicateText(std::string_view text);

}  // namespace FarLib
