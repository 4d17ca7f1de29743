#include "plugin/message_dialogs.h"

#include <string>
#include <vector>

#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "farlib/storage.h"
#include "farlib/ui/dialog.h"
#include "sms/message_rendering.h"
#include "sms/sms_message.h"

namespace {

// Far's default colour of dialog text (black on light grey), for read-only edits that should
// read as text rather than as fields to type in.
constexpr FarDword kDialogTextColour = 0x70;

// The host's Data field holds 511 characters and its terminator; a longer line needs a buffer
// of its own or its end would be cut off the screen.
constexpr size_t kDataFieldRoom = sizeof(FarDialogItem::Data) - 1;

// A field that shows a value and takes no input; the value is shown safe for the screen.
void AddShownEdit(FarLib::CFarDialog& dialog, int left, int row, int right,
                  const std::string& shown, FarDword flags = 0) {
  flags |= DIF_READONLY;
  if (shown.size() > kDataFieldRoom) flags |= DIF_VAREDIT;
  dialog.Add<FarLib::CFarEditItem>(left, row, right, flags, std::string(),
                                   FarLib::CFarTextStorage(shown.c_str()));
}

void AddShownNumber(FarLib::CFarDialog& dialog, int left, int row, int right, uint8_t& value) {
  dialog.Add<FarLib::CFarEditItem>(left, row, right, DIF_READONLY, std::string(),
                                   FarLib::CFarIntegerStorage(value));
}

}  // namespace

MessageAction ShowSMSMessage(const CSMSMessage& message, const MessageList& folder) {
  const std::vector<std::string> lines = DisplayLines(DialogBody(message, folder));
  const std::string time = message.fromServiceCentre ? LocalTimeText(message.timestamp) : "";
  const bool hasTime = !time.empty();
  const int height =
      static_cast<int>(lines.size()) + 11 + (message.concatenated ? 1 : 0) + (hasTime ? 1 : 0);

  FarLib::CFarDialog dialog(60, height, "ReadSMSMsg");
  dialog.AddFrame(Msg::kSmsMessageTitle);
  dialog.Add<FarLib::CFarTextItem>(5, 3, 0, FarLib::GetMsg(Msg::kSmsNumberLabel));
  dialog.Add<FarLib::CFarTextItem>(15, 3, 0, MessageScreenText(message.address));
  int addSender = -1;
  if (message.label.empty()) {
    addSender = dialog.Add<FarLib::CFarButtonItem>(45, 3, 0, false,
                                                   FarLib::GetMsg(Msg::kSmsAddSenderButton));
  }
  dialog.Add<FarLib::CFarTextItem>(5, 4, 0, FarLib::GetMsg(Msg::kSmsNameLabel));
  dialog.Add<FarLib::CFarTextItem>(15, 4, 0, MessageScreenText(message.label));
  int row = 5;
  if (hasTime) {
    dialog.Add<FarLib::CFarTextItem>(5, row, 0, FarLib::GetMsg(Msg::kSmsTimeLabel));
    dialog.Add<FarLib::CFarTextItem>(15, row, 0, time);
    ++row;
  }
  ++row;
  if (message.concatenated) {
    dialog.Add<FarLib::CFarTextItem>(
        5, row++, 0,
        FarLib::FormatMsg(Msg::kSmsPartOf, int{message.partNumber}, int{message.partCount}));
  }
  std::vector<std::string> shownLines;
  shownLines.reserve(lines.size());
  for (const std::string& line : lines) shownLines.push_back(MessageScreenText(line));
  for (const std::string& line : shownLines) {
    AddShownEdit(dialog, 5, row++, 55, line, DIF_SETCOLOR | kDialogTextColour);
  }
  const int buttonRow = height - 4;
  const int close = dialog.Add<FarLib::CFarButtonItem>(0, buttonRow, DIF_CENTERGROUP, true,
                                                       FarLib::GetMsg(Msg::kOk));
  const int details = dialog.Add<FarLib::CFarButtonItem>(0, buttonRow, DIF_CENTERGROUP, false,
                                                         FarLib::GetMsg(Msg::kSmsDetailsButton));
  const int reply = dialog.Add<FarLib::CFarButtonItem>(0, buttonRow, DIF_CENTERGROUP, false,
                                                       FarLib::GetMsg(Msg::kSmsReplyButton));
  dialog.SetFocus(close);

  for (;;) {
    const int chosen = addSender < 0 ? dialog.Run({close, details, reply})
                                     : dialog.Run({close, details, reply, addSender});
    switch (chosen) {
      case 1: ShowDetails(message); continue;
      case 2: return MessageAction::kReply;
      case 3: return MessageAction::kAddSender;
      default: return MessageAction::kClose;
    }
  }
}

void ShowDetails(const CSMSMessage& message) {
  // The fields are bound to copies: the dialog shows the message and changes nothing.
  uint8_t scaType = message.scaType;
  uint8_t addressType = message.addressType;
  uint8_t reference = message.messageReference;
  uint8_t firstOctet = message.firstOctet;
  uint8_t pid = message.pid;
  uint8_t dcs = message.dcs;
  bool singleShot = message.singleShot;
  const std::string pdu = MessageScreenText(message.pdu);
  const std::string sca = MessageScreenText(message.sca);
  const std::string address = MessageScreenText(message.address);
  const std::string text = MessageScreenText(message.text);
  const std::string timestamp = FormatTimestamp(message.timestampOctets);
  const std::string validUntil = FormatTimestamp(message.validityOctets);
  // The shown texts must outlive the dialog's run.
  std::string validity;

  using FarLib::CFarTextItem;
  FarLib::CFarDialog dialog(70, 18, "ReadSMSAvdancedMsg");
  dialog.AddFrame(Msg::kSmsDetailsTitle);
  dialog.Add<CFarTextItem>(5, 3, 0, "PDU:");
  AddShownEdit(dialog, 11, 3, 64, pdu);
  dialog.Add<CFarTextItem>(5, 5, 0, "SCA:");
  AddShownEdit(dialog, 11, 5, 30, sca);
  dialog.Add<CFarTextItem>(33, 5, 0, "Type:");
  AddShownNumber(dialog, 38, 5, 39, scaType);
  dialog.Add<CFarTextItem>(5, 6, 0, "Phone:");
  AddShownEdit(dialog, 11, 6, 30, address);
  dialog.Add<CFarTextItem>(33, 6, 0, "Type:");
  AddShownNumber(dialog, 38, 6, 39, addressType);

  auto addNumberRow = [&dialog](int row, const char* label, uint8_t& value) {
    dialog.Add<CFarTextItem>(5, row, 0, label);
    AddShownNumber(dialog, 11, row, 12, value);
    dialog.Add<CFarTextItem>(14, row, 0, "");
  };
  const bool hasValidity = (message.firstOctet & 0x18) != 0;
  int row = 7;
  if (message.fromServiceCentre) {
    dialog.Add<CFarTextItem>(5, row, 0, "Time:");
    AddShownEdit(dialog, 11, row++, 40, timestamp);
  } else {
    if (hasValidity) {
      row = 8;
      if (message.validitySeconds == -1) {
        validity = "undefined";
      } else if (message.validitySeconds > 0) {
        const int32_t seconds = message.validitySeconds;
        char duration[48];
        std::snprintf(duration, sizeof duration, "%02d days %02d:%02d:%02d", seconds / 86400,
                      seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
        validity = duration;
      }
      if (message.validitySeconds == -1 || message.validitySeconds > 0) {
        dialog.Add<CFarTextItem>(5, row, 0, "Valid for:");
        AddShownEdit(dialog, 21, row, 40, validity);
        dialog.Add<FarLib::CFarCheckBoxItem>(43, row, DIF_DISABLE, "Single-shot", singleShot);
      } else {
        dialog.Add<CFarTextItem>(5, row, 0, "Valid until:");
        AddShownEdit(dialog, 21, row, 50, validUntil);
      }
      ++row;
    }
    addNumberRow(row++, "MR:", reference);
  }
  addNumberRow(row++, "FO:", firstOctet);
  addNumberRow(row++, "PID:", pid);
  addNumberRow(row++, "DCS:", dcs);
  ++row;
  dialog.Add<CFarTextItem>(5, row, 0, "Text:");
  AddShownEdit(dialog, 11, row, 64, text);
  dialog.Run(std::initializer_list<int>{});
}
