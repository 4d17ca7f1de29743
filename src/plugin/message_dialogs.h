#pragma once
#include "sms/message_rendering.h"
#include "sms/sms_message.h"

// The dialogs that show one message.

// What the user chose in the message dialog.
enum class MessageAction { kClose = 0, kAddSender = 1, kReply = 2 };

// The message dialog. A part of a concatenated message shows every part of it found in
// `folder`, in part order.
MessageAction ShowSMSMessage(const CSMSMessage& message, const MessageList& folder);

// The detail dialog: the PDU and its fields, read-only.
void ShowDetails(const CSMSMessage& message);
