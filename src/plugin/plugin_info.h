#pragma once
#include "farapi/far_api.h"

namespace Plugin {

// The plug-in's items in the host's disk, plug-ins and configuration menus, as the "show"
// settings choose them. The texts stay valid for as long as the plug-in is loaded.
void FillPluginInfo(PluginInfo& info);

// Whether a menu item opens the phone-book view (otherwise the SMS view): item 0 is the
// phone book when that item heads the list of the menu the call came from.
bool OpensPhoneBook(int openFrom, int item);

}  // namespace Plugin
