#include "plugin/host_users.h"

#include <string>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "farlib/ui/host_ui.h"
#include "settings/settings.h"

namespace {

void ShowSettingsNotSaved(const std::string& reason) {
  FarLib::ShowError(FarLib::GetMsg(Msg::kSettingsNotSaved),
                    reason.empty() ? nullptr : reason.c_str());
}

// Progress in the wait box, for each kind of user that shows it.
template <class Progress>
class CHostProgressOf : public Progress {
 public:
  void Show(const std::string& text) override {
    FarLib::ShowWait(FarLib::GetMsg(Msg::kConfigMenuTitle), text.c_str());
  }
  void Hide() override { FarLib::HideWait(); }
};

class CHostHandshakeUser : public CHostProgressOf<CHandshakeUser> {
 public:
  void SettingsNotSaved(const std::string& reason) override { ShowSettingsNotSaved(reason); }
};

class CHostMessageListUser : public CHostProgressOf<CMessageListUser> {
 public:
  void ShowUndecodable(const std::string& header, const std::string& pdu) override {
    FarLib::ShowMessage(
        FMSG_WARNING, "DecodeError",
        {FarLib::GetMsg(Msg::kConfigMenuTitle), FarLib::GetMsg(Msg::kUndecodableMessage),
         header.c_str(), pdu.c_str(), FarLib::GetMsg(Msg::kOk)},
        1);
  }
};

class CHostPhoneBookListingUser : public CHostProgressOf<CPhoneBookListingUser> {
 public:
  void TellUnreadableEntries(const std::string& first, size_t count) override {
    const std::string text = FarLib::FormatMsg(Msg::kUnreadableEntries, static_cast<int>(count));
    FarLib::ShowMessage(FMSG_WARNING, "UnreadableEntries",
                        {FarLib::GetMsg(Msg::kConfigMenuTitle), text.c_str(), first.c_str(),
                         FarLib::GetMsg(Msg::kOk)},
                        1);
  }
};

}  // namespace

CPhoneBookListingUser& HostPhoneBookListingUser() {
  static CHostPhoneBookListingUser user;
  return user;
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
