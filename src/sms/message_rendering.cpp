#include "sms/message_rendering.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <initializer_list>
#include <iterator>

#include "encoding/charset.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "farlib/panel_items.h"
#include "platform/clock.h"
#include "regex/regex.h"
#include "settings/settings.h"

namespace {

// The message dialog's display lines are cut at the last blank that leaves at most this many
// characters on a line.
constexpr size_t kWrapColumn = 50;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Only the time category is switched to the user's locale: switching them all would change
// the decimal point of every number printed afterwards (FormatTimestamp's "GMT +5.45" would
// read "+5,45" under a Russian locale) and the character classes of the whole process.
void UseUserTimeLocale() {
  static const bool switched = std::setlocale(LC_TIME, "") != nullptr;
  (void)switched;
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

// Parts of one concatenated message: GSM 03.40 tells messages apart by their originator, their
// reference and their part count; 8- and 16-bit references are different numbers.
bool PartsOfOneMessage(const CSMSMessage& a, const CSMSMessage& b) {
  return a.concatenated && b.concatenated && a.concatReference == b.concatReference &&
         a.concat16Bit == b.concat16Bit && a.partCount == b.partCount && a.address == b.address;
}

}  // namespace

std::string MessageScreenText(std::string_view text) {
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

// Formatted wide, so that month and day names reach the host's code page whatever the locale's
// own encoding.
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

std::string DialogBody(const CSMSMessage& message, const MessageList& folder) {
  if (!message.concatenated || message.partNumber == 0) return message.text;
  // A part numbered beyond its own count would otherwise leave out the very part shown.
  const int lastPart = std::max(message.partCount, message.partNumber);
  // A message shown from outside its folder still counts as one of the parts found.
  std::vector<const CSMSMessage*> found;
  bool inFolder = false;
  for (const auto& other : folder) {
    inFolder = inFolder || other.get() == &message;
    if (other && PartsOfOneMessage(*other, message)) {
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
