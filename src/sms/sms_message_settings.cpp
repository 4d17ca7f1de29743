// The record's defaults from the plug-in's settings, apart from the rest of the record so that
// the decoder can be built without the settings and the AT engine behind them.

#include "link/at_engine.h"
#include "settings/settings.h"
#include "sms/sms_message.h"

CSMSMessage::CSMSMessage(bool fromServiceCentre)
    : CSMSMessage(fromServiceCentre, Settings().DefaultSCA, AddressType(Settings().DefaultSCA)) {}
