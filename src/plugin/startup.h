#pragma once
#include "farapi/far_api.h"

namespace Plugin {

// What the plug-in does when the host hands over its start-up record: the record is kept and
// the settings are loaded.
void Start(const PluginStartupInfo& info);

// The configuration command: the configuration menu, then the settings are saved however it
// was left.
int Configure(int item);

// The host unloads the plug-in: the settings are saved.
void Exit();

}  // namespace Plugin
