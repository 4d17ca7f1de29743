#include "plugin/exports.h"

#include "plugin/guard.h"
#include "plugin/startup.h"

extern "C" {

void ZANTEL_STDCALL SetStartupInfo(const PluginStartupInfo* info) {
  Plugin::Guard([info] { Plugin::Start(*info); });
}

}  // extern "C"
