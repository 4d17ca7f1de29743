#include "plugin/panels.h"
#include "settings/settings.h"
#include "plugin/compose_dialog.h"

void CSMSMobilePanel::NewMessage(const std::string& destination) {
  CSMSMessage message(false);
  if (destination.empty()) {
    message.address = Settings().LastPhoneSMSSent;
    message.text = Settings().LastTextSMSSent;
  } else {
    message.address = destination;
  }
  if (!Compose(message, Connection(), Profile(), Storages())) return;
  RefreshingOnLinkFailure(m_hostHandle, [&] { m_stores.ReadMessages(Session()); });
  RefreshPanel(m_hostHandle, true);
}

// The stored record itself is edited: until the view lists the messages again it keeps what was
// sent.
void CSMSMobilePanel::ResendCurrent() {
  CSMSMessage* message = CurrentMessage();
  if (message == nullptr) return;
  if (!Compose(*message, Connection(), Profile(), Storages())) return;
  RefreshingOnLinkFailure(m_hostHandle, [&] { m_stores.ReadMessages(Session()); });
  RefreshPanel(m_hostHandle, true);
}
