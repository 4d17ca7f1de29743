#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "phonebook/phone_book_storage.h"
#include "sms/sms_message.h"

// The forms in which a decoded message meets the user: a panel item, a text file, the message
// dialog and the detail dialog; and the phone-book name that labels its sender.

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

// What the user chose in the message dialog.
enum class MessageAction { kClose = 0, kAddSender = 1, kReply = 2 };

// The message dialog. A part of a concatenated message shows every part of it found in
// `folder`, in part order.
MessageAction ShowSMSMessage(const CSMSMessage& message, const MessageList& folder);

// The detail dialog: the PDU and its fields, read-only.
void ShowDetails(const CSMSMessage& message);
