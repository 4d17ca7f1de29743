#pragma once
#include "farapi/far_api.h"

namespace Plugin {

// What the plug-in does when the host hands over its start-up record.
void Start(const PluginStartupInfo& info);

}  // namespace Plugin
