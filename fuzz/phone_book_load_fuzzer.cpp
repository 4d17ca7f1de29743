// A phone-book memory read from a phone that answers each command with the next piece of the
// input (pieces end at a 0x1E byte), then falls silent. The first byte picks the memory, the
// character set and whether the model reads a memory at once. Loading ends, with the link's
// failure once the phone is silent, and the list holds no more entries than the phone sent,
// one per location.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/io_error.h"
#include "phonebook/storage_access.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr char kEndOfAnswer = '\x1E';
constexpr std::array<const char*, 4> kStorages = {"SM", "ME", "DC", "MC"};
constexpr std::array<const char*, 4> kCharsets = {"GSM", "UCS2", "UTF-8", "HEX"};

class CQuietUser : public CLinkUser {
 public:
  bool KeepWaiting(int) override { return false; }
  void ShowCommandError(const std::string&, const std::string&) override {}
  std::string Text(LinkText) override { return {}; }
  void LogTraffic(const void*, size_t) override {}
  std::optional<std::string> AskSimPin(const std::string&) override { return std::nullopt; }
  void ShowSimBlocked(const std::string&, const std::string&) override {}
};

class CUnseenListing : public CPhoneBookListingUser {
 public:
  void Show(const std::string&) override {}
  void Hide() override {}
  void TellUnreadableEntries(const std::string& first, size_t count) override {
    ++tellings;
    unreadable = count;
    firstUnreadable = first;
  }
  int tellings = 0;
  size_t unreadable = 0;
  std::string firstUnreadable;
};

// Each command written makes the next answer readable.
class CAnsweringPhone : public CConnection {
 public:
  CAnsweringPhone(CLinkUser& user, std::string_view answers)
      : CConnection(user), m_answers(answers) {}
  void Write(const void*, uint32_t) override {
    ++commands;
    const size_t end = m_answers.find(kEndOfAnswer);
    m_pending.append(m_answers.substr(0, end));
    m_answers.remove_prefix(end == std::string_view::npos ? m_answers.size() : end + 1);
  }
  void Read(void* buffer, uint32_t& count) override {
    if (m_next == m_pending.size()) throw io_error("the phone is silent", 0);
    count = std::min<uint32_t>(count, static_cast<uint32_t>(m_pending.size() - m_next));
    std::memcpy(buffer, m_pending.data() + m_next, count);
    m_next += count;
  }
  size_t commands = 0;

 private:
  std::string_view m_answers;
  std::string m_pending;
  size_t m_next = 0;
};

// Entry lines are matched without regard to letter case.
size_t Occurrences(std::string_view text, std::string_view word) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  size_t count = 0;
  for (size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  const std::string_view answers(reinterpret_cast<const char*>(data + 1), size - 1);
  CQuietUser user;
  CAnsweringPhone phone(user, answers);
  ModelProfile profile;
  profile.Charset = kCharsets[(choice >> 2) % kCharsets.size()];
  profile.Flags = (choice & 0x10) ? kProfileReadStorageAtOnce : 0;
  CDeviceCache closedCache;
  CUnseenListing listing;
  std::string selected;
  PhoneBookSession session{phone, profile, closedCache, listing, selected};
  PhoneBookStorage storage(kStorages[choice % kStorages.size()]);
  try {
    LoadStorage(session, storage);
  } catch (const io_error& error) {
    Check(error.Code() == 0);
  }
  // Every command takes at least a line of what the phone sent.
  Check(phone.commands <= size + 1);
  // The answers run together: an entry line may span a piece's end.
  std::string sent(answers);
  std::erase(sent, kEndOfAnswer);
  Check(storage.Entries.size() <= Occurrences(sent, "+cpbr:"));
  // A listing tells of the lines it left out once, and names one it was sent.
  Check(listing.tellings <= 1);
  Check(listing.tellings == 0 ||
        (listing.unreadable > 0 && sent.find(listing.firstUnreadable) != std::string::npos));
  std::vector<int32_t> indexes;
  for (const auto& entry : storage.Entries) indexes.push_back(entry->Index);
  std::sort(indexes.begin(), indexes.end());
  Check(std::adjacent_find(indexes.begin(), indexes.end()) == indexes.end());
  return 0;
}
