#pragma once
// The functions the host finds in the module by name. Each is a thin thunk under one guard.
#include "farapi/far_api.h"
#include "platform/abi.h"

extern "C" {

void ZANTEL_STDCALL SetStartupInfo(const PluginStartupInfo* info);

}  // extern "C"
