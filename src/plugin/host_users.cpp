#include "plugin/host_users.h"

#include <string>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "farlib/ui/host_ui.h"
#include "settings/settings.h"

namespace {

void ShowProgressBox(const std::string& text) {
  FarLib::ShowWait(FarLib::GetMsg(Msg::kConfigMenuTitle), text.c_str());
}

void ShowSettingsNotSaved(const std::string& reason) {
  FarLib::ShowError(FarLib::GetMsg(Msg::kSettingsNotSaved),
                    reason.empty() ? nullptr : reason.c_str());
}

class CHostProgress : public CProgress {
 public:
  void Show(const std::string& text) override { ShowProgressBox(text); }
  void Hide() override { FarLib::HideWait(); }
};

class CHostHandshakeUser : public CHandshakeUser {
 public:
  void Show(const std::string& text) override { ShowProgressBox(text); }
  void Hide() override { FarLib::HideWait(); }
  void SettingsNotSaved(const std::string& reason) override { ShowSettingsNotSaved(reason); }
};

class CHostMessageListUser : public CMessageListUser {
 public:
  void Show(const std::string& text) override { ShowProgressBox(text); }
  void Hide() override { FarLib::HideWait(); }
  void ShowUndecodable(const std::string& header, const std::string& pdu) override {
    FarLib::ShowMessage(
        FMSG_WARNING, "DecodeError",
        {FarLib::GetMsg(Msg::kConfigMenuTitle), FarLib::GetMsg(Msg::kUndecodableMessage),
         header.c_str(), pdu.c_str(), FarLib::GetMsg(Msg::kOk)},
        1);
  }
};

}  // namespace

CProgress& HostProgress() {
  static CHostProgress progress;
  return progress;
}

CHandshakeUser& HostHandshakeUser() {
  static CHostHandshakeUser user;
  return user;
}

CMessageListUser& HostMessageListUser() {
  static CHostMessageListUser user;
  return user;
}

bool SaveSettingsOrTell() {
  const SettingsSave save = SaveSettings();
  if (!save) ShowSettingsNotSaved(save.Reason);
  return save.Saved;
}
