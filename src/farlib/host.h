#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

#include "farapi/far_api.h"

// The host's start-up record, copied once when the host hands it over, and the thin calls
// through its services that every layer above uses.
namespace FarLib {

void SetStartupInfo(const PluginStartupInfo& info);
const PluginStartupInfo& StartupInfo();

// The text of a language-file message in the host's current language.
const char* GetMsg(int number);

// The message text used as a printf format with the given arguments.
std::string FormatMsg(int number, ...);

// The host's Message service. The lines are the title, the body lines, then `buttons`
// button captions. Returns the chosen button, or -1 on Escape.
int ShowMessage(uint32_t flags, const char* helpTopic, std::initializer_list<const char*> lines,
                int buttons);

}  // namespace FarLib
