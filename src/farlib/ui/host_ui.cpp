#include "farlib/ui/host_ui.h"

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "platform/error.h"

namespace FarLib {
namespace {

constexpr const char* kErrorTopic = "Error";
constexpr const char* kSysErrorTopic = "SysError";

// The screen under the wait box while one is shown.
FarHandle& WaitScreen() {
  static FarHandle screen = nullptr;
  return screen;
}

// The title, one or two lines and the OK button.
int ShowOkBox(FarDword flags, const char* helpTopic, const char* title, const char* line1,
              const char* line2) {
  if (line2) return ShowMessage(flags, helpTopic, {title, line1, line2, GetMsg(Msg::kOk)}, 1);
  return ShowMessage(flags, helpTopic, {title, line1, GetMsg(Msg::kOk)}, 1);
}

}  // namespace

int ShowMessage(FarDword flags, const char* helpTopic, std::initializer_list<const char*> lines,
                int buttons) {
  return ShowMessage(flags, helpTopic, std::span<const char* const>(lines.begin(), lines.size()),
                     buttons);
}

int ShowMessage(FarDword flags, const char* helpTopic, std::span<const char* const> lines,
                int buttons) {
  const PluginStartupInfo& info = StartupInfo();
  if (!info.Message) return -1;
  return info.Message(info.ModuleNumber, flags, helpTopic, lines.data(),
                      static_cast<int>(lines.size()), buttons);
}

void ShowInfo(const char* title, const char* line1, const char* line2) {
  ShowOkBox(0, "", title, line1, line2);
}

void ShowError(const char* line1, const char* line2) {
  ShowOkBox(FMSG_WARNING, kErrorTopic, GetMsg(Msg::kTitle), line1, line2);
}

// The host adds the text of the thread's last error: fetching the box's own texts must not
// change it.
void ShowSysError(const char* line1, const char* line2) {
  const uint32_t error = Platform::LastError();
  const char* title = GetMsg(Msg::kTitle);
  const char* ok = GetMsg(Msg::kOk);
  Platform::SetLastError(error);
  if (line2) {
    ShowMessage(FMSG_WARNING | FMSG_ERRORTYPE, kSysErrorTopic, {title, line1, line2, ok}, 1);
  } else {
    ShowMessage(FMSG_WARNING | FMSG_ERRORTYPE, kSysErrorTopic, {title, line1, ok}, 1);
  }
}

int Control(FarHandle panel, int command, void* parameter) {
  const PluginStartupInfo& info = StartupInfo();
  return info.Control ? info.Control(panel, command, parameter) : 0;
}

CSavedScreen::CSavedScreen() {
  const PluginStartupInfo& info = StartupInfo();
  if (info.SaveScreen) m_screen = info.SaveScreen(0, 0, -1, -1);
}

CSavedScreen::~CSavedScreen() {
  const PluginStartupInfo& info = StartupInfo();
  if (m_screen && info.RestoreScreen) info.RestoreScreen(m_screen);
}

void ShowWait(const char* title, const char* line1, const char* line2) {
  const PluginStartupInfo& info = StartupInfo();
  FarHandle& screen = WaitScreen();
  if (!screen && info.SaveScreen) screen = info.SaveScreen(0, 0, -1, -1);
  if (line2) ShowMessage(0, "", {title, line1, line2}, 0);
  else ShowMessage(0, "", {title, line1}, 0);
}

void HideWait() {
  const PluginStartupInfo& info = StartupInfo();
  FarHandle& screen = WaitScreen();
  // The host frees a restored screen, so the handle must never be handed back twice.
  if (!screen || !info.RestoreScreen) return;
  info.RestoreScreen(screen);
  screen = nullptr;
}

}  // namespace FarLib
