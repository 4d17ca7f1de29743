#include "plugin/startup.h"

#include "farlib/host.h"
#include "farlib/message_ids.h"

namespace Plugin {
namespace {

// Texts fetched once at start-up; the host keeps them alive for as long as the plug-in is
// loaded.
struct StartupTexts {
  const char* ok = nullptr;
  const char* title = nullptr;
  const char* outOfRange = nullptr;
};

StartupTexts& Texts() {
  static StartupTexts texts;
  return texts;
}

}  // namespace

void Start(const PluginStartupInfo& info) {
  FarLib::SetStartupInfo(info);
  Texts() = {FarLib::GetMsg(Msg::kOk), FarLib::GetMsg(Msg::kTitle),
             FarLib::GetMsg(Msg::kOutOfRange)};
}

}  // namespace Plugin
