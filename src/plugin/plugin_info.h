#pragma once
#include <cstdint>

#include "farapi/far_api.h"

namespace Plugin {

// The plug-in's items in the host's disk, plug-ins and configuration menus, as the "show"
// settings choose them. The texts stay valid for as long as the plug-in is loaded.
void FillPluginInfo(PluginInfo& info);

// Whether a menu item opens the phone-book view (otherwise the SMS view): item 0 is the
// phone book when that item heads the list of the menu the call came from. A shortcut's item
// is its data: the phone book's opens the phone book again, any other the SMS view, as all
// shortcuts did before they carried the view.
bool OpensPhoneBook(int openFrom, intptr_t item);

// What a panel gives the host to keep with a folder shortcut made on it.
const char* ShortcutData(bool phoneView);

}  // namespace Plugin
