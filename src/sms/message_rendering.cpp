#include "sms/message_rendering.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <initializer_list>
#include <iterator>

#include "encoding/charset.h"
#include "farlib/dialog.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "farlib/panel_items.h"
#include "farlib/storage.h"
#include "platform/clock.h"
#include "regex/regex.h"
#include "settings/settings.h"

namespace {

// The message dialog's display lines are cut at the last blank that leaves at most this many
// characters on a line.
constexpr size_t kWrapColumn = 50;

// Far's default colour of dialog text (black on light grey), for read-only edits that should
// read as text rather than as fields to type in.
constexpr FarDword kDialogTextColour = 0x70;

// The host's Data field holds 511 characters and its terminator; a longer line needs a buffer
// of its own or its end would be cut off the screen.
constexpr size_t kDataFieldRoom = sizeof(FarDialogItem::Data) - 1;

// A sender or a body may hold any byte the phone sent, ESC included: on a screen line every
// control character stands as '?' (a tab as a space) so that nothing reaches a terminal as a
// command.
std::string ScreenText(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      c = ' ';
    } else if (byte < 0x20 || byte == 0x7F) {
      c = '?';
    }
  }
  return shown;
}

// Only the time category is switched to the user's locale: switching them all would change
// the decimal point of every number printed afterwards (FormatTimestamp's "GMT +5.45" would
// read "+5,45" under a Russian locale) and the character classes of the whole process.
void UseUserTimeLocale() {
  static const bool switched = std::setlocale(LC_TIME, "") != nullptr;
  (void)switched;
}

// The instant as the user's clock shows it, in the user's own date and time format ("%c"), as
// host text; empty for no time stamp or one the system cannot convert. Formatted wide, so that
// month and day names reach the host's code page whatever the locale's own encoding.
std::string LocalTimeText(Platform::FileTime utc) {
  if (utc == 0) return {};
  Platform::FileTime local = 0;
  Platform::SystemTime parts;
  if (!Platform::FileTimeToLocalFileTime(utc, local) ||
      !Platform::FileTimeToSystemTime(local, parts)) {
    return {};
  }
  UseUserTimeLocale();
  std::tm fields{};
  fields.tm_year = parts.year - 1900;
  fields.tm_mon = parts.month - 1;
  fields.tm_mday = parts.day;
  fields.tm_hour = parts.hour;
  fields.tm_min = parts.minute;
  fields.tm_sec = parts.second;
  fields.tm_wday = parts.dayOfWeek;
  fields.tm_isdst = -1;
  wchar_t buffer[64];
  const size_t length = std::wcsftime(buffer, std::size(buffer), L"%c", &fields);
  WideString wide;
  for (size_t i = 0; i < length; ++i) {
    const auto code = static_cast<uint32_t>(buffer[i]);
    if (code < 0x10000) {
      wide.push_back(static_cast<char16_t>(code));
    } else if (code <= 0x10FFFF) {
      wide.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  return WideToOem(wide);
}

std::string SenderName(const CSMSMessage& message) {
  if (message.address.empty()) return FarLib::GetMsg(Msg::kSmsNoNumber);
  if (message.label.empty()) return message.address;
  // A report about a number the phone book does not know names that number after its prefix.
  if (!message.named) return message.label + message.address;
  if (!Settings().AlwaysShowPhone) return message.label;
  return message.label + " (" + message.address + ")";
}

FarFileTime ToFarFileTime(Platform::FileTime time) {
  return {static_cast<FarDword>(time), static_cast<FarDword>(time >> 32)};
}

}  // namespace

bool LookUpName(CSMSMessage& message,
                const std::vector<std::unique_ptr<PhoneBookStorage>>& phoneBook) {
  // A contact without a number is nobody's sender, so an empty address is never looked up.
  if (message.address.empty()) {
    message.label += FarLib::GetMsg(Msg::kSmsNoNumber);
    return false;
  }
  for (const auto& storage : phoneBook) {
    if (!storage || !storage->Loaded) continue;
    for (const auto& entry : storage->Entries) {
      if (entry && entry->Number == message.address) {
        message.label += entry->Name;
        message.named = true;
        return true;
      }
    }
  }
  return false;
}

void FillPanelItem(const CSMSMessage& message, size_t position, PluginPanelItem& item) {
  FarLib::SetFileName(item, SenderName(message));
  item.FindData.ftCreationTime = ToFarFileTime(message.timestamp);
  item.FindData.ftLastWriteTime = ToFarFileTime(message.timestamp);
  item.FindData.nFileSizeLow = static_cast<FarDword>(message.storageIndex);
  item.FindData.nFileSizeHigh = 0;
  item.FindData.dwFileAttributes = 0;
  item.Description = FarLib::DuplicateText(message.text);
  item.UserData = static_cast<FarDword>(position);
}

std::string MessageFileText(const CSMSMessage& message) {
  std::string lines = "From: ";
  if (message.label.empty()) {
    lines += message.address;
  } else {
    lines += message.label + " (" + message.address + ")";
  }
  lines += '\n';
  if (message.fromServiceCentre) {
    const std::string time = LocalTimeText(message.timestamp);
    if (!time.empty()) lines += "Time: " + time + '\n';
  }
  lines += '\n';
  // Every CR that stands right before a LF goes, however many there are, as if CR LF were
  // replaced by LF until none is left.
  for (char c : message.text) {
    if (c == '\n') {
      while (!lines.empty() && lines.back() == '\r') lines.pop_back();
    }
    lines += c;
  }
  lines += '\n';
  std::string file;
  file.reserve(lines.size() + lines.size() / 8);
  for (char c : lines) {
    if (c == '\n') file += '\r';
    file += c;
  }
  return file;
}

namespace {

// The body of the message dialog: a part of a concatenated message gathers every part of its
// message found in the folder, in part order.
std::string DialogBody(const CSMSMessage& message, const MessageList& folder) {
  if (!message.concatenated || message.partNumber == 0) return message.text;
  // A part numbered beyond its own count would otherwise leave out the very part shown.
  const int lastPart = std::max(message.partCount, message.partNumber);
  // A message shown from outside its folder still counts as one of the parts found.
  std::vector<const CSMSMessage*> found;
  bool inFolder = false;
  for (const auto& other : folder) {
    inFolder = inFolder || other.get() == &message;
    if (other && other->concatenated && other->concatReference == message.concatReference) {
      found.push_back(other.get());
    }
  }
  if (!inFolder) found.push_back(&message);
  std::string body;
  for (int part = 1; part <= lastPart; ++part) {
    for (const CSMSMessage* other : found) {
      if (other->partNumber == part) body += other->text;
    }
  }
  return body;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> DisplayLines(const std::string& body) {
  std::vector<std::string> paragraphs;
  if (!RegexSplit(body, "\\s*[\\r\\n]\\s*", &paragraphs, 0, 0)) paragraphs = {body};
  std::vector<std::string> lines;
  for (const std::string& paragraph : paragraphs) {
    std::string_view rest = paragraph;
    while (rest.size() > kWrapColumn) {
      size_t blank = std::string_view::npos;
      for (size_t i = kWrapColumn + 1; i-- > 0;) {
        if (IsBlank(rest[i])) {
          blank = i;
          break;
        }
      }
      if (blank == std::string_view::npos) {
        for (size_t i = kWrapColumn + 1; i < rest.size(); ++i) {
          if (IsBlank(rest[i])) {
            blank = i;
            break;
          }
        }
      }
      if (blank == std::string_view::npos) break;
      lines.emplace_back(rest.substr(0, blank));
      rest.remove_prefix(blank + 1);
    }
    lines.emplace_back(rest);
  }
  return lines;
}

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
  dialog.Add<FarLib::CFarTextItem>(15, 3, 0, ScreenText(message.address));
  int addSender = -1;
  if (message.label.empty()) {
    addSender = dialog.Add<FarLib::CFarButtonItem>(45, 3, 0, false,
                                                   FarLib::GetMsg(Msg::kSmsAddSenderButton));
  }
  dialog.Add<FarLib::CFarTextItem>(5, 4, 0, FarLib::GetMsg(Msg::kSmsNameLabel));
  dialog.Add<FarLib::CFarTextItem>(15, 4, 0, ScreenText(message.label));
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
  for (const std::string& line : lines) shownLines.push_back(ScreenText(line));
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
  const std::string pdu = ScreenText(message.pdu);
  const std::string sca = ScreenText(message.sca);
  const std::string address = ScreenText(message.address);
  const std::string text = ScreenText(message.text);
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
