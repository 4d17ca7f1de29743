#include "link/at_engine.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "encoding/hex_digits.h"
#include "link/io_error.h"
#include "platform/console.h"
#include "platform/error.h"

namespace {

enum class FinalResult { None, Ok, Failure };

// The notices of GSM 07.05 and 07.07 the plug-in can cause (AT+CNMI=2,1,1,2,0) or receive.
constexpr std::array<std::string_view, 13> kNoticeCodes = {
    "+CRING", "+CLIP", "+CMTI",  "+CMT",   "+CDSI", "+CDS", "+CBMI",
    "+CBM",   "+CREG", "+CGREG", "+CEREG", "+CIEV", "+CUSD"};
// In PDU mode these are followed by a line of their own: the message as hex.
constexpr std::array<std::string_view, 3> kNoticesWithPdu = {"+CMT", "+CDS", "+CBM"};

bool IsCodeCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The code a line starts with, its sign included: "+CMTI" of +CMTI: "SM",3, "^RSSI" of
// ^RSSI:17; empty for a line that is no code and a colon.
std::string_view CodeOf(std::string_view line) {
  if (line.size() < 3 || (line[0] != '+' && line[0] != '^' && line[0] != '*')) return {};
  size_t end = 1;
  while (end < line.size() && IsCodeCharacter(line[end])) ++end;
  if (end == 1 || end >= line.size() || line[end] != ':') return {};
  return line.substr(0, end);
}

// "+CPBR" of AT+CPBR=1,5; empty for a command that is not an extended one.
std::string_view NameOf(std::string_view command) {
  if (command.size() < 4 || (command.substr(0, 3) != "AT+" && command.substr(0, 3) != "at+")) {
    return {};
  }
  size_t end = 3;
  while (end < command.size() && IsCodeCharacter(command[end])) ++end;
  return command.substr(2, end - 2);
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The answer's code is the command's name; a phone may answer AT+GMI with +CGMI: or the
// other way round.
bool SameCode(std::string_view code, std::string_view name) {
  const auto withoutC = [](std::string_view text) {
    return text.size() > 1 && Upper(text[1]) == 'C' ? text.substr(2) : text.substr(1);
  };
  const std::string_view a = withoutC(code);
  const std::string_view b = withoutC(name);
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

// Expands a printf format into a command, refusing one that would not fit the command buffer.
bool ExpandCommand(std::string& command, const char* format, va_list args) {
  std::array<char, kMaxCommandLength + 2> buffer{};
  const int length = std::vsnprintf(buffer.data(), buffer.size(), format, args);
  command.assign(buffer.data());
  return length >= 0 && static_cast<size_t>(length) <= kMaxCommandLength;
}

void SendCommand(CConnection& connection, const std::string& command) {
  const std::string line = command + '\r';
  connection.Write(line.data(), static_cast<uint32_t>(line.size()));
  connection.LogTraffic(line.data(), line.size());
}

FinalResult Classify(std::string_view line) {
  if (line == "ERROR") return FinalResult::Failure;
  if (line.substr(0, 10) == "+CME ERROR" || line.substr(0, 10) == "+CMS ERROR") {
    return FinalResult::Failure;
  }
  if (line == "OK") return FinalResult::Ok;
  return FinalResult::None;
}

bool IsTrailingBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A connection that hands back nothing without throwing has nothing more to give: waiting
// on would never end, so it counts as the phone falling silent for good.
char ReadByte(CConnection& connection) {
  char byte = 0;
  uint32_t count = 1;
  connection.Read(&byte, count);
  if (count == 0) {
    std::string text = connection.User().Text(LinkText::ReadFailed);
    Platform::SetLastError(Platform::kErrorTimeout);
    throw io_error(text, Platform::kErrorTimeout);
  }
  return byte;
}

// One line up to its carriage return or line feed, or a cut-off piece of an endless one: a
// phone with line feeds off ends its lines with the carriage return alone. The line feed of a
// CR LF that has arrived with it ends the same line; one that comes later reads as a blank line,
// which the callers pass over.
void ReadRawLine(CConnection& connection, std::string& line) {
  line.clear();
  while (line.size() < kMaxResponseLineLength) {
    const char byte = ReadByte(connection);
    line.push_back(byte);
    if (byte == '\r' && connection.TakeArrived('\n')) line.push_back('\n');
    if (byte == '\n' || byte == '\r') return;
  }
}

// The next non-empty line, every byte read charged to `budget`.
void ReadLineWithin(CConnection& connection, std::string& line, size_t& budget) {
  do {
    ReadRawLine(connection, line);
    if (line.size() > budget) {
      std::string text = connection.User().Text(LinkText::ReadFailed);
      Platform::SetLastError(Platform::kErrorGenFailure);
      throw io_error(text, Platform::kErrorGenFailure);
    }
    budget -= line.size();
    while (!line.empty() && IsTrailingBlank(line.back())) line.pop_back();
  } while (line.empty());
}

// Returns the final result; the failing line, if any, is left in `line`.
FinalResult CollectResponses(CConnection& connection, const std::string& command,
                             ResponseList* responses, std::string& line) {
  size_t budget = kMaxAnswerLength;
  ReadLineWithin(connection, line, budget);
  if (line == command) ReadLineWithin(connection, line, budget);
  for (;;) {
    const Notice notice = NoticeOf(line, command);
    if (notice != Notice::None) {
      ReadLineWithin(connection, line, budget);
      if (notice == Notice::LineAndPdu && IsHexText(line)) ReadLineWithin(connection, line, budget);
      continue;
    }
    const FinalResult result = Classify(line);
    if (result != FinalResult::None) return result;
    if (responses) responses->push_back(line);
    ReadLineWithin(connection, line, budget);
  }
}

// Sends the command and collects its answer; the failing line, if any, is left in `line`.
FinalResult RunCommand(CConnection& connection, const std::string& command, ResponseList* responses,
                       std::string& line) {
  SendCommand(connection, command);
  if (responses) responses->clear();
  return CollectResponses(connection, command, responses, line);
}

// What a refusal says about the SIM card. A phone reporting errors by number (AT+CMEE=1) says
// 11 and 12 for the two texts:
//   +CME ERROR: SIM PIN required | +CME ERROR: 11 | +CME ERROR: SIM PUK required
enum class SimLock { None, Pin, Puk };

SimLock SimLockOf(std::string_view line) {
  if (line.substr(0, 10) != "+CME ERROR") return SimLock::None;
  std::string_view reason = line.substr(10);
  while (!reason.empty() && (reason.front() == ':' || reason.front() == ' '))
    reason.remove_prefix(1);
  const auto is = [reason](std::string_view text) {
    return reason.size() == text.size() &&
           std::equal(reason.begin(), reason.end(), text.begin(),
                      [](char x, char y) { return Upper(x) == Upper(y); });
  };
  if (reason == "11" || is("SIM PIN required")) return SimLock::Pin;
  if (reason == "12" || is("SIM PUK required")) return SimLock::Puk;
  return SimLock::None;
}

constexpr std::string_view kPinMask = "****";

// Keeps the transcript back while the PIN goes out and the phone echoes it, then logs it with
// every copy of the PIN masked: however the reads cut the echo, the PIN is whole in what was
// kept. The mask has one length for every PIN, so not even the length shows.
class CPinMask {
 public:
  CPinMask(CConnection& connection, const std::string& pin) : m_connection(connection), m_pin(pin) {
    m_connection.HoldTraffic();
  }
  ~CPinMask() {
    std::string traffic = m_connection.ReleaseTraffic();
    for (size_t at = traffic.find(m_pin); !m_pin.empty() && at != std::string::npos;
         at = traffic.find(m_pin, at + kPinMask.size())) {
      traffic.replace(at, m_pin.size(), kPinMask);
    }
    m_connection.LogTraffic(traffic.data(), traffic.size());
  }
  CPinMask(const CPinMask&) = delete;
  CPinMask& operator=(const CPinMask&) = delete;

 private:
  CConnection& m_connection;
  const std::string& m_pin;
};

// True when the phone takes the PIN; else its failing line is left in `answer`.
bool SendPin(CConnection& connection, const std::string& pin, std::string& answer) {
  const CPinMask mask(connection, pin);
  return RunCommand(connection, "AT+CPIN=\"" + pin + "\"", nullptr, answer) == FinalResult::Ok;
}

enum class Unlock { Done, GivenUp, Blocked };

// Asks for the PIN until the phone takes one, the user gives up or the card blocks. `line` holds
// the command's refusal; a card that blocks leaves the refusal that says so there.
Unlock UnlockSim(CConnection& connection, const std::string& command, std::string& line) {
  std::string refusal;  // the phone's answer to the PIN given last
  for (;;) {
    if (SimLockOf(refusal.empty() ? line : refusal) == SimLock::Puk) {
      if (!refusal.empty()) line = refusal;
      connection.User().ShowSimBlocked(command, line);
      return Unlock::Blocked;
    }
    const std::optional<std::string> pin = connection.User().AskSimPin(refusal);
    if (!pin || !IsSimPin(*pin)) return Unlock::GivenUp;
    if (SendPin(connection, *pin, refusal)) return Unlock::Done;
  }
}

bool Transact(CConnection& connection, bool quiet, ResponseList* responses, const char* format,
              va_list args) {
  std::string command;
  if (!ExpandCommand(command, format, args)) {
    const std::string reason = connection.User().Text(LinkText::CommandTooLong);
    if (quiet) {
      if (responses) responses->assign(1, reason);
    } else {
      connection.User().ShowCommandError(command, reason);
    }
    return false;
  }
  std::string line;
  FinalResult result = RunCommand(connection, command, responses, line);
  // A quiet command asks for the PIN too: the greeting's AT+CIMI is the first one a locked card
  // refuses, and the phone's cache is kept under the card's IMSI.
  bool told = false;
  if (result == FinalResult::Failure && SimLockOf(line) != SimLock::None) {
    switch (UnlockSim(connection, command, line)) {
      case Unlock::Done: result = RunCommand(connection, command, responses, line); break;
      case Unlock::Blocked: told = true; break;
      case Unlock::GivenUp: break;
    }
  }
  if (result == FinalResult::Ok) return true;
  if (quiet) {
    if (responses) responses->push_back(line);
  } else if (!told) {
    connection.User().ShowCommandError(command, line);
  }
  return false;
}

}  // namespace

Notice NoticeOf(std::string_view line, std::string_view command) {
  if (line == "RING") return Notice::Line;
  const std::string_view code = CodeOf(line);
  if (code.empty()) return Notice::None;
  const std::string_view name = NameOf(command);
  if (code[0] == '+' && !name.empty() && SameCode(code, name)) return Notice::None;
  if (code[0] != '+') return Notice::Line;
  if (std::find(kNoticesWithPdu.begin(), kNoticesWithPdu.end(), code) != kNoticesWithPdu.end())
    return Notice::LineAndPdu;
  const bool known =
      std::find(kNoticeCodes.begin(), kNoticeCodes.end(), code) != kNoticeCodes.end();
  return known || !name.empty() ? Notice::Line : Notice::None;
}

bool SendLine(CConnection& connection, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string command;
  const bool fits = ExpandCommand(command, format, args);
  va_end(args);
  if (!fits) {
    connection.User().ShowCommandError(command, connection.User().Text(LinkText::CommandTooLong));
    return false;
  }
  SendCommand(connection, command);
  return true;
}

void ReadLine(CConnection& connection, std::string& line) {
  size_t budget = kMaxAnswerLength;
  ReadLineWithin(connection, line, budget);
}

void ReadBytes(CConnection& connection, size_t count, std::string& text) {
  text.clear();
  while (text.size() < count) text.push_back(ReadByte(connection));
}

bool Execute(CConnection& connection, const char* format, ResponseList* responses, ...) {
  va_list args;
  va_start(args, responses);
  const bool ok = Transact(connection, false, responses, format, args);
  va_end(args);
  return ok;
}

bool ExecuteQuiet(CConnection& connection, const char* format, ResponseList* responses, ...) {
  va_list args;
  va_start(args, responses);
  const bool ok = Transact(connection, true, responses, format, args);
  va_end(args);
  return ok;
}

bool EscapePressed() { return Platform::ConsoleEscapePressed(); }

uint8_t AddressType(const std::string& number) {
  if (number.empty()) return 128;
  return number.front() == '+' ? 145 : 129;
}

bool FitsInQuotes(std::string_view text) {
  return text.find_first_of(std::string_view("\"\r\n\0", 4)) == std::string_view::npos;
}

bool IsSimPin(std::string_view text) {
  return text.size() >= 4 && text.size() <= 8 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
