#include "plugin/host_link_user.h"

#include "farapi/far_api.h"
#include "farlib/host.h"
#include "farlib/ui/host_ui.h"
#include "farlib/message_ids.h"
#include "link/at_engine.h"
#include "platform/file.h"
#include "settings/settings.h"

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

CLinkUser& HostLinkUser() {
  static CHostLinkUser user;
  return user;
}
