// A phone that answers any bytes at all to the engine's commands. The input's first bytes
// choose the operations and how the bytes arrive; the rest is what the phone sends. Once it has
// sent everything it falls silent, and the user asked whether to keep waiting says no: every
// operation must end, either with its result or with the link failure of a time-out, holding
// no more than the phone sent, and never ask twice or read on after the answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>

#include "link/at_engine.h"
#include "link/io_error.h"
#include "platform/error.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class CSilentUser : public CLinkUser {
 public:
  bool KeepWaiting(int) override {
    ++questions;
    return false;
  }
  void ShowCommandError(const std::string&, const std::string& reason) override {
    ++errorBoxes;
    lastReason = reason;
  }
  std::string Text(LinkText) override { return "link text"; }
  void LogTraffic(const void*, size_t) override {}
  std::optional<std::string> AskSimPin(const std::string&) override { return std::nullopt; }
  void ShowSimBlocked(const std::string&, const std::string& reason) override {
    ++blockedBoxes;
    lastReason = reason;
  }

  size_t questions = 0;
  size_t errorBoxes = 0;
  size_t blockedBoxes = 0;  // a card that wants its PUK is told even for a quiet command
  std::string lastReason;
};

// What the phone sends: the input, then optionally a long burst of one byte that never ends
// its line (a phone gone mad), then silence.
class CPhoneBytes {
 public:
  CPhoneBytes(std::string_view bytes, size_t burst) : m_bytes(bytes), m_burst(burst) {}
  size_t Remaining() const { return m_bytes.size() - m_next + m_burst; }
  size_t Sent() const { return m_sent; }
  // Bytes the link passed on to the engine; a buffered link may have taken more from the phone.
  size_t handedOut = 0;
  std::string_view SentSoFar() const { return m_bytes.substr(0, std::min(m_next, m_bytes.size())); }
  // Copies up to `count` bytes and returns how many.
  size_t Take(uint8_t* out, size_t count) {
    size_t taken = 0;
    while (taken < count && m_next < m_bytes.size()) out[taken++] = m_bytes[m_next++];
    while (taken < count && m_burst > 0) {
      out[taken++] = 'x';
      --m_burst;
    }
    m_sent += taken;
    return taken;
  }

 private:
  std::string_view m_bytes;
  size_t m_next = 0;
  size_t m_burst;
  size_t m_sent = 0;
};

// The serial link's way: blocks of the sizes the pieces say, filled through the real buffered
// reading, and at the silence the user's answer, then the time-out.
class CBufferedPhone : public CFileConnection {
 public:
  CBufferedPhone(CLinkUser& user, CPhoneBytes& phone, uint8_t pieces)
      : CFileConnection(user), m_phone(&phone), m_pieces(pieces) {}
  void Read(void* buffer, uint32_t& count) override {
    CFileConnection::Read(buffer, count);
    m_phone->handedOut += count;
  }
  bool TakeArrived(char byte) override {
    if (!CFileConnection::TakeArrived(byte)) return false;
    ++m_phone->handedOut;
    return true;
  }
  void Write(const void* buffer, uint32_t length) override {
    written.append(static_cast<const char*>(buffer), length);
  }
  std::string written;
  size_t fills = 0;

 protected:
  uint32_t Fill(uint8_t* block, uint32_t capacity) override {
    ++fills;
    m_pieces = static_cast<uint8_t>(m_pieces * 37 + 11);
    const uint32_t wanted = std::min<uint32_t>(capacity, m_pieces % 4 == 0 ? capacity : m_pieces);
    const size_t read = m_phone->Take(block, std::max<uint32_t>(wanted, 1));
    if (read > 0) return static_cast<uint32_t>(read);
    if (!User().KeepWaiting(5)) Fail(LinkText::ReadFailed, Platform::kErrorTimeout);
    Check(false);  // the user said no
    return 0;
  }

 private:
  CPhoneBytes* m_phone;
  uint8_t m_pieces;
};

// A link that hands back nothing, without failing, once the phone has nothing more.
class CBarePhone : public CConnection {
 public:
  CBarePhone(CLinkUser& user, CPhoneBytes& phone) : CConnection(user), m_phone(&phone) {}
  void Read(void* buffer, uint32_t& count) override {
    ++reads;
    Check(!m_ended);  // nobody reads on after being told the phone is silent
    count = static_cast<uint32_t>(m_phone->Take(static_cast<uint8_t*>(buffer), count));
    m_phone->handedOut += count;
    m_ended = count == 0;
  }
  void Write(const void* buffer, uint32_t length) override {
    written.append(static_cast<const char*>(buffer), length);
  }
  std::string written;
  size_t reads = 0;

 private:
  CPhoneBytes* m_phone;
  bool m_ended = false;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void CheckLine(const std::string& line) {
  Check(!line.empty() && line.size() <= kMaxResponseLineLength && !IsBlank(line.back()));
}

size_t TotalSize(const ResponseList& responses) {
  size_t total = 0;
  for (const std::string& line : responses) {
    CheckLine(line);
    total += line.size();
  }
  return total;
}

// One operation of the engine against the phone; the ones that send check what went out.
void RunOperation(uint8_t choice, CConnection& connection, CPhoneBytes& phone,
                  const std::string& written, CSilentUser& user) {
  const size_t sentBefore = phone.handedOut;
  const size_t writtenBefore = written.size();
  ResponseList responses{"left over"};
  std::string text;
  switch (choice % 7) {
    case 0: {
      const bool ok = Execute(connection, "AT+CPBR=%d,%d", &responses, 1, 5);
      Check(written.substr(writtenBefore) == "AT+CPBR=1,5\r");
      Check(TotalSize(responses) <= phone.handedOut - sentBefore);
      // A refusal is shown with its line; success needs the phone's OK.
      Check(ok ? user.errorBoxes + user.blockedBoxes == 0 &&
                     phone.SentSoFar().find("OK") != std::string_view::npos
               : user.errorBoxes + user.blockedBoxes == 1);
      break;
    }
    case 1: {
      const bool ok = ExecuteQuiet(connection, "AT+CPMS?", &responses);
      Check(TotalSize(responses) <= phone.handedOut - sentBefore);
      Check(user.errorBoxes == 0 && user.blockedBoxes <= 1);
      if (!ok) Check(!responses.empty());
      break;
    }
    case 2:
      Execute(connection, "ATE0", nullptr);
      Check(written.substr(writtenBefore) == "ATE0\r");
      break;
    case 3:
      ReadLine(connection, text);
      CheckLine(text);
      Check(text.size() <= phone.handedOut - sentBefore);
      break;
    case 4: {
      const size_t count = choice / 7 + 1;
      ReadBytes(connection, count, text);
      Check(text.size() == count);
      break;
    }
    case 5:
      Check(SendLine(connection, "AT+CMGS=%d", 23));
      Check(written.substr(writtenBefore) == "AT+CMGS=23\r");
      ReadLine(connection, text);
      break;
    case 6: {
      // The longest command that fits goes out whole; one byte more is refused before
      // anything is sent or read.
      const std::string command(kMaxCommandLength + choice % 2, 'A');
      const bool ok = Execute(connection, "%s", &responses, command.c_str());
      if (command.size() <= kMaxCommandLength) {
        Check(written.substr(writtenBefore) == command + "\r");
      } else {
        Check(!ok && user.errorBoxes == 1 && user.lastReason == "link text");
        Check(written.size() == writtenBefore && phone.handedOut == sentBefore);
      }
      break;
    }
  }
}

// One input in 64 ends in a burst longer than any line may grow; a burst costs as much as
// thousands of ordinary inputs. A hash of all the input's bytes chooses, not a flag: the fuzzer
// mutates the inputs it keeps, and a flag passed the burst on to most of their offspring.
bool EndsInBurst(const uint8_t* data, size_t size) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash % 64 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kControl = 4;
  if (size < kControl) return 0;
  const uint8_t mode = data[0];
  const uint8_t* choices = data + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + kControl), size - kControl);
  const size_t burst = EndsInBurst(data, size) ? kMaxResponseLineLength + 17 : 0;
  CPhoneBytes phone(bytes, burst);
  const size_t available = phone.Remaining();
  CSilentUser user;
  CBufferedPhone buffered(user, phone, mode);
  CBarePhone bare(user, phone);
  const bool useBuffered = (mode & 1) != 0;
  CConnection& connection = useBuffered ? static_cast<CConnection&>(buffered) : bare;
  const std::string& written = useBuffered ? buffered.written : bare.written;

  // Every operation takes at least one byte or ends in the time-out, so the loop ends.
  for (size_t step = 0;; ++step) {
    user.errorBoxes = 0;
    user.blockedBoxes = 0;
    const size_t sentBefore = phone.handedOut;
    const uint8_t choice = choices[step % (kControl - 1)] + static_cast<uint8_t>(step);
    try {
      RunOperation(choice, connection, phone, written, user);
    } catch (const io_error& error) {
      Check(error.Code() == Platform::kErrorTimeout);
      Check(phone.Remaining() == 0);
      break;
    }
    Check(user.questions == 0);
    if (phone.handedOut == sentBefore) Check(choice % 7 == 6);
    if (step > available + 8) Check(false);  // operations that take nothing and never end
  }
  // At most one question, and only of the link that asks one; the bare link is never read
  // again once it has said it is empty.
  Check(user.questions == (useBuffered ? 1u : 0u));
  Check(phone.Sent() == available && phone.handedOut == available);
  if (useBuffered) Check(buffered.fills <= available + 1);
  return 0;
}
