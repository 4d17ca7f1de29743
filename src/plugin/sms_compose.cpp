#include "plugin/panels.h"

// Composing and sending from the SMS view. The dialogs and the transmission come next; until
// then both commands do nothing, so the view's keys can already be bound to them.

void CSMSMobilePanel::NewMessage(const std::string&) {}

void CSMSMobilePanel::ResendCurrent() {}
