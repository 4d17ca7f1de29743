#pragma once
#include "phone/handshake.h"
#include "phonebook/phone_book_session.h"
#include "sms/message_stores.h"

// What the operations show, shown with the host's boxes: progress in a wait box titled with the
// plug-in's name, failures in warning boxes. Each keeps no state of its own, so the panels share
// one of each.
CPhoneBookListingUser& HostPhoneBookListingUser();
CHandshakeUser& HostHandshakeUser();
CMessageListUser& HostMessageListUser();

// Saves the settings; a failure is shown in one box with the system's reason.
bool SaveSettingsOrTell();
