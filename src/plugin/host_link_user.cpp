#include "plugin/host_link_user.h"

#include <memory>

#include "farapi/far_api.h"
#include "farlib/host.h"
#include "farlib/ui/dialog.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "link/at_engine.h"
#include "platform/file.h"
#include "settings/settings.h"

namespace {

constexpr const char* kSimPinTopic = "SimPinDlg";
constexpr int kPinDialogWidth = 60;
constexpr int kPinDialogHeight = 10;

bool IsPinOrTell(char* text, size_t, uint32_t) {
  if (IsSimPin(text)) return true;
  FarLib::ShowMessage(
      FMSG_WARNING, kSimPinTopic,
      {FarLib::GetMsg(Msg::kTitle), FarLib::GetMsg(Msg::kPinDigitsOnly), FarLib::GetMsg(Msg::kOk)},
      1);
  return false;
}

}  // namespace

bool CHostLinkUser::KeepWaiting(int timeoutSeconds) {
  const std::string text = FarLib::FormatMsg(Msg::kPhoneSilent, timeoutSeconds);
  const int button =
      FarLib::ShowMessage(FMSG_WARNING, "TimeoutError",
                          {FarLib::GetMsg(Msg::kTitle), text.c_str(),
                           FarLib::GetMsg(Msg::kKeepWaiting), FarLib::GetMsg(Msg::kGiveUp)},
                          2);
  return button != 1;
}

void CHostLinkUser::ShowCommandError(const std::string& command, const std::string& reason) {
  FarLib::ShowMessage(
      0, nullptr,
      {FarLib::GetMsg(Msg::kTitle), command.c_str(), reason.c_str(), FarLib::GetMsg(Msg::kOk)}, 1);
}

std::string CHostLinkUser::Text(LinkText text) {
  switch (text) {
    case LinkText::CannotOpenDevice: return FarLib::GetMsg(Msg::kCannotOpenDevice);
    case LinkText::ReadFailed: return FarLib::GetMsg(Msg::kReadFailed);
    case LinkText::WriteFailed: return FarLib::GetMsg(Msg::kWriteFailed);
    case LinkText::CommandTooLong:
      return FarLib::FormatMsg(Msg::kCommandTooLong, static_cast<int>(kMaxCommandLength));
  }
  return {};
}

void CHostLinkUser::LogTraffic(const void* bytes, size_t count) {
  const PluginSettings& settings = Settings();
  if (!settings.WriteLogFile || count == 0) return;
  Platform::CFile log = Platform::CFile::Open(settings.LogFile, Platform::OpenMode::AppendAlways);
  uint32_t written = 0;
  if (log.IsOpen()) log.Write(bytes, static_cast<uint32_t>(count), written);
}

// Items: the frame, the label, the PIN field, the phone's answer to the PIN before (empty at
// first), OK and Cancel.
std::optional<std::string> CHostLinkUser::AskSimPin(const std::string& refusal) {
  std::string pin;
  FarLib::CFarDialog dialog(kPinDialogWidth, kPinDialogHeight, kSimPinTopic);
  dialog.AddFrame(Msg::kSimPinTitle);
  dialog.Add<FarLib::CFarTextItem>(5, 2, 0, FarLib::GetMsg(Msg::kSimPinLabel));
  dialog.Add<FarLib::CFarEditItem>(5, 3, kPinDialogWidth - 6, 0, "", FarLib::CFarTextStorage(pin),
                                   std::make_unique<FarLib::CFarStringValidator>(IsPinOrTell, 0),
                                   DI_PSWEDIT);
  dialog.SetFocus(-1);
  dialog.Add<FarLib::CFarTextItem>(
      5, 4, 0,
      refusal.empty() ? std::string() : FarLib::FormatMsg(Msg::kPinRefused, refusal.c_str()));
  dialog.AddOKCancel(Msg::kOk, Msg::kCancel);
  if (dialog.Run() != 0) return std::nullopt;
  return pin;
}

void CHostLinkUser::ShowSimBlocked(const std::string& command, const std::string& reason) {
  FarLib::ShowMessage(FMSG_WARNING, kSimPinTopic,
                      {FarLib::GetMsg(Msg::kTitle), command.c_str(), reason.c_str(),
                       FarLib::GetMsg(Msg::kSimBlocked), FarLib::GetMsg(Msg::kOk)},
                      1);
}

CLinkUser& HostLinkUser() {
  static CHostLinkUser user;
  return user;
}
