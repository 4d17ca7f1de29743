#pragma once
#include <cstdint>
#include <string>

#include "farapi/far_api.h"

// The host's start-up record, copied once when the host hands it over, and the texts of the
// language file through its GetMsg service, which every layer above uses. What the host shows
// (boxes, the saved screen, panel control) is farlib/ui/host_ui.h, for the plug-in layer only.
namespace FarLib {

void SetStartupInfo(const PluginStartupInfo& info);
const PluginStartupInfo& StartupInfo();

// The text of a language-file message in the host's current language.
const char* GetMsg(int number);

// The message text used as a printf format with the given arguments.
std::string FormatMsg(int number, ...);

}  // namespace FarLib
