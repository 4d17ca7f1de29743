// Any bytes as the reply lines the plug-in parses: the first byte picks the parser, the rest is
// the line (for the terminal, the editor and the message listing, several lines). Each parser ends
// in a value or a clean none, and what it finds fits in the line it was given.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/handshake.h"
#include "phone/tools_parts.h"
#include "phonebook/storage_access.h"
#include "link/io_error.h"
#include "sms/composing.h"
#include "sms/message_stores.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The character sets a phone reports and the entry parser decodes names from.
constexpr std::array<const char*, 9> kCharsets = {"GSM",  "UCS2",   "IRA",     "UTF-8", "HEX",
                                                  "UTF8", "8859-1", "PCCP437", "UCS-2"};

void CheckIdentity(const std::string& line, uint8_t which) {
  std::string value;
  switch (which % 4) {
    case 0: value = ParseManufacturer(line); break;
    case 1: value = ParseModel(line); break;
    case 2: value = ParseSerialNumber(line); break;
    case 3: value = ParseCurrentCharset(line); break;
  }
  Check(value.size() <= line.size());
}

void CheckNames(const std::string& line) {
  size_t quoted = 0;
  for (const std::string& name : ParseStorageNames(line)) {
    Check(name.size() == 2);
    quoted += name.size() + 2;
  }
  Check(quoted <= line.size());
  quoted = 0;
  for (const std::string& name : ParseCharsetNames(line)) quoted += name.size() + 2;
  Check(quoted <= line.size());
}

void CheckEntry(const std::string& line, uint8_t which) {
  const std::optional<PhoneBookEntry> entry =
      ParseEntryLine(line, kCharsets[which % kCharsets.size()]);
  if (!entry) return;
  Check(entry->Index >= 0);
  // One '+' may be added to an international number.
  Check(entry->Number.size() <= line.size() + 1);
  Check(entry->WideName.size() <= line.size());
}

void CheckCounts(const std::string& line) {
  if (const std::optional<StorageLimits> limits = ParseLimits(line)) {
    Check(limits->MinIndex >= 0 && limits->MaxIndex >= 0 && limits->MaxPhoneLength >= 0 &&
          limits->MaxNameLength >= 0);
  }
  if (const std::optional<int32_t> used = ParseUsedCount(line)) Check(*used >= 0);
}

void CheckRangeList(const std::string& text) {
  StatusSet statuses;
  statuses.set();
  const bool fits = ParseRangeList(text, statuses);
  // Only the numbers in the text can mark a status.
  if (std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    Check(statuses.none());
  }
  // Every status of a list that fits is named in it: parsing it again written out gives the same.
  if (fits) {
    std::string written;
    for (size_t status = 0; status < kStatusCount; ++status) {
      if (statuses[status]) written += (written.empty() ? "" : ",") + std::to_string(status);
    }
    StatusSet again;
    Check(ParseRangeList(written, again) || written.empty());
    Check(again == statuses);
  }
}

void CheckProbes(const std::string& line) {
  const ResponseList answer = {line, "OK"};
  const std::vector<std::string> books = PhoneBookStoragesToProbe(answer);
  Check(books.size() <= kMaxProbedStorages);
  for (const std::string& name : books) Check(name.size() == 2);
  const std::vector<std::string> stores = MessageStoragesToProbe(answer);
  Check(stores.size() <= kMaxProbedStorages);
  for (const std::string& name : stores) {
    Check(!name.empty() && std::none_of(name.begin(), name.end(), IsControl));
  }
}

// The terminal's scroll-back holds only what can be shown, and only the line the phone ended
// its answer with ends it.
void CheckTerminal(std::string_view text) {
  TerminalLines lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view raw =
        text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
    text.remove_prefix(raw.size());
    const bool ends = TakeTerminalLine(lines, raw);
    std::string_view trimmed = raw;
    while (!trimmed.empty() &&
           std::string_view(" \t\r\n\v\f").find(trimmed.back()) != std::string_view::npos)
      trimmed.remove_suffix(1);
    Check(ends == (trimmed == "OK" || trimmed == "ERROR" || trimmed.starts_with("+CME ERROR") ||
                   trimmed.starts_with("+CMS ERROR")));
    if (!trimmed.empty()) Check(lines.back().size() == trimmed.size());
    for (const std::string& shown : lines)
      Check(std::none_of(shown.begin(), shown.end(), IsControl));
  }
}

// A stored message's text on the editor's lines: nothing of it is lost, and the lines come
// back the same from the text they make.
void CheckEditor(const std::string& text) {
  const std::array<std::string, kEditorLines> lines = EditorLines(text);
  const auto content = [](std::string_view from) {
    std::string kept;
    for (const char c : from) {
      if (c != '\r' && c != '\n' && c != ' ') kept += c;
    }
    return kept;
  };
  std::string joined;
  for (const std::string& line : lines) joined += line;
  Check(content(joined) == content(text));
  Check(EditorLines(TextOfLines(lines)) == lines);
}

// The phone answering a listing with the input, then its final OK.
class CListingPhone : public CConnection {
 public:
  CListingPhone(CLinkUser& user, std::string answer)
      : CConnection(user), m_answer(std::move(answer)) {}
  void Read(void* buffer, uint32_t& count) override {
    if (m_next == m_answer.size()) throw io_error("the phone has nothing more", 0);
    count = std::min<uint32_t>(count, static_cast<uint32_t>(m_answer.size() - m_next));
    std::memcpy(buffer, m_answer.data() + m_next, count);
    m_next += count;
  }
  void Write(const void*, uint32_t) override {}

 private:
  std::string m_answer;
  size_t m_next = 0;
};

class CQuietUser : public CLinkUser {
 public:
  bool KeepWaiting(int) override { return false; }
  void ShowCommandError(const std::string&, const std::string&) override {}
  std::string Text(LinkText) override { return {}; }
  void LogTraffic(const void*, size_t) override {}
  std::optional<std::string> AskSimPin(const std::string&) override { return std::nullopt; }
  void ShowSimBlocked(const std::string&, const std::string&) override {}
};

class CUnseenListing : public CMessageListUser {
 public:
  void Show(const std::string&) override {}
  void Hide() override {}
  void ShowUndecodable(const std::string&, const std::string&) override {}
};

// The message listing's header and PDU lines: no more messages than header lines with a line
// after them, each in the folder of the status it was listed with, none twice.
void CheckListing(const std::string& answer, bool motorola) {
  CQuietUser user;
  CListingPhone phone(user, "\r\n" + answer + "\r\nOK\r\n");
  ModelProfile profile;
  profile.Manufacturer = motorola ? "Motorola" : "Nokia";
  profile.Model = motorola ? "L Series" : "6310i";
  std::vector<std::unique_ptr<PhoneBookStorage>> phoneBook;
  phoneBook.push_back(std::make_unique<PhoneBookStorage>("SM"));
  auto entry = std::make_unique<PhoneBookEntry>();
  entry->Index = 1;
  entry->Number = "+447700900123";
  entry->Name = "Ann";
  entry->WideName = u"Ann";
  phoneBook.back()->Entries.push_back(std::move(entry));
  CUnseenListing listing;
  const SMSSession session{phone, &profile, phoneBook, listing};
  CMessageStores stores;
  stores.ListStatus(session, 4, false);
  const size_t headers = static_cast<size_t>(std::count(answer.begin(), answer.end(), '+'));
  size_t listed = 0;
  std::vector<int32_t> indexes;
  for (size_t folder = 0; folder < kFolderCount; ++folder) {
    for (const auto& message : stores.folders[folder]) {
      ++listed;
      Check(message->storageIndex >= 0 && message->storage == 0);
      const MessageFolder expected = message->status <= 1   ? kReceivedFolder
                                     : message->status == 2 ? kUnsentFolder
                                     : message->status == 3 ? kSentFolder
                                                            : kOtherFolder;
      Check(folder == static_cast<size_t>(expected));
      indexes.push_back(message->storageIndex);
    }
  }
  Check(listed <= headers);
  std::sort(indexes.begin(), indexes.end());
  Check(std::adjacent_find(indexes.begin(), indexes.end()) == indexes.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (choice % 9) {
    case 0: CheckIdentity(line, choice / 9); break;
    case 1: CheckNames(line); break;
    case 2: CheckEntry(line, choice / 9); break;
    case 3: CheckCounts(line); break;
    case 4: CheckRangeList(line); break;
    case 5: CheckProbes(line); break;
    case 6: CheckTerminal(line); break;
    case 7: CheckEditor(line); break;
    case 8:
      if ((choice / 9) % 2 == 0) {
        Check(ScreenText(line).size() == line.size());
      } else {
        CheckListing(line, (choice / 18) % 2 == 1);
      }
      break;
  }
  return 0;
}
