#include "plugin/opening.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "farlib/ui/dialog.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/ui/menu.h"
#include "farlib/message_ids.h"
#include "plugin/guard.h"
#include "plugin/host_link_user.h"
#include "plugin/panels.h"
#include "settings/settings.h"

namespace Plugin {
namespace {

enum class LinkChoice { FirstPort, SecondPort, NamedPipe, Cancelled };

LinkChoice AskForLink() {
  const PluginSettings& settings = Settings();
  std::vector<std::string> items;
  for (const PortSettings* port : {&settings.FirstCOM, &settings.SecondCOM}) {
    items.push_back(FarLib::FormatMsg(Msg::kPortItem, port->Port, PortDescription(*port).c_str()));
  }
  items.push_back(FarLib::GetMsg(Msg::kNamedPipeItem));
  switch (FarLib::ShowMenu(items, FarLib::GetMsg(Msg::kSelectPort), nullptr, "SelectPortMenu", -1,
                           FMENU_WRAPMODE)) {
    case 0: return LinkChoice::FirstPort;
    case 1: return LinkChoice::SecondPort;
    case 2: return LinkChoice::NamedPipe;
    default: return LinkChoice::Cancelled;
  }
}

LinkChoice ChooseLink() {
  return Settings().EnableSecondCOMPort ? AskForLink() : LinkChoice::FirstPort;
}

// The name of a file or pipe that plays the phone's side, remembered for the next time.
bool AskForNamedPipe() {
  FarLib::CFarDialog dialog(60, 9, "NamedPipeDlg");
  dialog.AddFrame(Msg::kNamedPipeItem);
  dialog.Add<FarLib::CFarEditItem>(5, 3, 54, 0, "Zantel.NamedPipe",
                                   FarLib::CFarTextStorage(Settings().LastNamedPipe));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  return dialog.Run() == 0;
}

// Null when the user cancelled.
std::unique_ptr<CConnection> Connect(LinkChoice choice) {
  PluginSettings& settings = Settings();
  switch (choice) {
    case LinkChoice::FirstPort:
      return std::make_unique<CSerialConnection>(settings.FirstCOM, HostLinkUser());
    case LinkChoice::SecondPort:
      return std::make_unique<CSerialConnection>(settings.SecondCOM, HostLinkUser());
    case LinkChoice::NamedPipe:
      if (!AskForNamedPipe()) return nullptr;
      return std::make_unique<CDummyFileConnection>(settings.LastNamedPipe, HostLinkUser());
    case LinkChoice::Cancelled: break;
  }
  return nullptr;
}

}  // namespace

std::string PortDescription(const PortSettings& port) {
  static constexpr const char* kStopBits[] = {"1", "1.5", "2"};
  const char parity = "NOEMS"[port.Parity <= 4 ? port.Parity : 0];
  const char* stopBits = kStopBits[port.StopBits <= 2 ? port.StopBits : 0];
  char text[64];
  std::snprintf(text, sizeof text, "%u, %d%c%s%s%s", static_cast<unsigned>(port.BaudRate),
                port.DataBits, parity, stopBits, port.HwCtl ? " HW" : "", port.SwCtl ? " SW" : "");
  return text;
}

std::unique_ptr<CMobilePanel> OpenPhone(bool phoneView) {
  try {
    std::unique_ptr<CConnection> connection = Connect(ChooseLink());
    if (!connection) return nullptr;
    return std::make_unique<CMobilePanel>(std::move(connection), phoneView);
  } catch (const io_error& failure) {
    ReportLinkFailure(failure);
    return nullptr;
  }
}

}  // namespace Plugin
