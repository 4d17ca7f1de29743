#include "plugin/exports.h"

#include "phonebook/export_options.h"
#include "plugin/guard.h"
#include "plugin/opening.h"
#include "plugin/panels.h"
#include "plugin/plugin_info.h"
#include "plugin/startup.h"

namespace {

// The host's "no panel" answer; a null handle would make it unload the plug-in.
const FarHandle kNoPanel = reinterpret_cast<FarHandle>(-1);

// The host's own copy to the other panel: an address book under the entries' bare names,
// whatever format the user last chose in the copy dialog.
constexpr ExportOptions kOtherPanelCopy = {ExportFormat::AddressBook, false};

CMobilePanel& Panel(FarHandle handle) { return *static_cast<CMobilePanel*>(handle); }

}  // namespace

extern "C" {

void ZANTEL_STDCALL SetStartupInfo(const PluginStartupInfo* info) {
  Plugin::Guard([info] { Plugin::Start(*info); });
}

void ZANTEL_STDCALL GetPluginInfo(PluginInfo* info) {
  Plugin::Guard([info] { Plugin::FillPluginInfo(*info); });
}

FarHandle ZANTEL_STDCALL OpenPlugin(int openFrom, intptr_t item) {
  return Plugin::Guard(
      [=]() -> FarHandle {
        std::unique_ptr<CMobilePanel> panel =
            Plugin::OpenPhone(Plugin::OpensPhoneBook(openFrom, item));
        return panel ? panel.release()->HostHandle() : kNoPanel;
      },
      kNoPanel);
}

void ZANTEL_STDCALL GetOpenPluginInfo(FarHandle panel, OpenPluginInfo* info) {
  Plugin::Guard([=] { Panel(panel).GetOpenPluginInfo(*info); });
}

int ZANTEL_STDCALL GetFindData(FarHandle panel, PluginPanelItem** items, int* count, int opMode) {
  return Plugin::Guard([=] { return Panel(panel).GetFindData(items, count, opMode); }, 0);
}

void ZANTEL_STDCALL FreeFindData(FarHandle panel, PluginPanelItem* items, int count) {
  Plugin::Guard([=] { Panel(panel).CGenericMobilePanel::FreeFindData(items, count); });
}

int ZANTEL_STDCALL SetDirectory(FarHandle panel, const char* directory, int opMode) {
  return Plugin::Guard([=] { return Panel(panel).SetDirectory(directory, opMode); }, 0);
}

int ZANTEL_STDCALL GetFiles(FarHandle panel, PluginPanelItem* items, int count, int move,
                            char* destination, int opMode) {
  return Plugin::Guard(
      [=] {
        return Panel(panel).GetFiles(items, count, move, destination, opMode, kOtherPanelCopy);
      },
      0);
}

int ZANTEL_STDCALL PutFiles(FarHandle panel, PluginPanelItem* items, int count, int move,
                            int opMode) {
  return Plugin::Guard([=] { return Panel(panel).PutFiles(items, count, move, opMode); }, 0);
}

// A key whose handling failed has been dealt with: the host must not act on it as well.
int ZANTEL_STDCALL ProcessKey(FarHandle panel, int key, unsigned int controlState) {
  return Plugin::Guard([=] { return Panel(panel).ProcessKey(key, controlState); }, 1);
}

void ZANTEL_STDCALL ClosePlugin(FarHandle panel) {
  Plugin::Guard([=] {
    std::unique_ptr<CMobilePanel> owned(&Panel(panel));
    owned->ClosePlugin();
  });
}

int ZANTEL_STDCALL Configure(int item) {
  return Plugin::Guard([=] { return Plugin::Configure(item); }, 0);
}

void ZANTEL_STDCALL ExitFAR() {
  Plugin::Guard([] { Plugin::Exit(); });
}

}  // extern "C"
