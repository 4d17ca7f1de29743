#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "farapi/far_api.h"
#include "phonebook/phone_book_storage.h"
#include "platform/clock.h"
#include "sms/sms_message.h"

// The forms in which a decoded message meets the user: a panel item, a text file, the lines
// the message dialog shows; and the phone-book name that labels its sender. The dialogs
// themselves are the plug-in's (plugin/message_dialogs.h).

// The messages of one folder of the SMS panel, in the order the phone listed them.
using MessageList = std::vector<std::unique_ptr<CSMSMessage>>;

// Appends the name of the first loaded phone-book entry whose number equals the address byte
// for byte to `label`. Without a match an empty address gets the "unknown sender" text.
bool LookUpName(CSMSMessage& message,
                const std::vector<std::unique_ptr<PhoneBookStorage>>& phoneBook);

// One message item of a folder; `position` is its place in the folder's list, kept as the
// item's user data. Whatever the sender chose as a name is made safe for a file name.
void FillPanelItem(const CSMSMessage& message, size_t position, PluginPanelItem& item);

// The message as a text file: a From line, a Time line for received messages, an empty line
// and the body; lines end with CR LF.
std::string MessageFileText(const CSMSMessage& message);

// A sender or a body may hold any byte the phone sent, ESC included: on a screen line every
// control character stands as '?' (a tab as a space) so that nothing reaches a terminal as a
// command.
std::string MessageScreenText(std::string_view text);

// The instant as the user's clock shows it, in the user's own date and time format, as host
// text; empty for no time stamp or one the system cannot convert.
std::string LocalTimeText(Platform::FileTime utc);

// The body of the message dialog: a part of a concatenated message gathers every part of its
// message found in `folder` (same address, reference, kind of reference and part count), in
// part order.
std::string DialogBody(const CSMSMessage& message, const MessageList& folder);

// The body cut into the dialog's lines: at line ends, and at the last blank that leaves at most
// 50 characters on a line (a longer word stays whole).
std::vector<std::string> DisplayLines(const std::string& body);
