#include "link/at_engine.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "link/io_error.h"
#include "platform/console.h"
#include "platform/error.h"

namespace {

enum class FinalResult { None, Ok, Failure };

constexpr std::array<std::string_view, 6> kUnsolicitedPrefixes = {
    "RING", "+CMT:", "+CMTI:", "+CBM:", "+CBMI:", "+CDS:"};

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
  connection.User().LogTraffic(line.data(), line.size());
}

bool IsUnsolicited(std::string_view line) {
  for (std::string_view prefix : kUnsolicitedPrefixes) {
    if (line.starts_with(prefix)) return true;
  }
  return false;
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

// One line up to its line feed, or a cut-off piece of an endless one.
void ReadRawLine(CConnection& connection, std::string& line) {
  line.clear();
  while (line.size() < kMaxResponseLineLength) {
    const char byte = ReadByte(connection);
    line.push_back(byte);
    if (byte == '\n') return;
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
    if (IsUnsolicited(line)) {
      ReadLineWithin(connection, line, budget);
      continue;
    }
    const FinalResult result = Classify(line);
    if (result != FinalResult::None) return result;
    if (responses) responses->push_back(line);
    ReadLineWithin(connection, line, budget);
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
  SendCommand(connection, command);
  if (responses) responses->clear();
  std::string line;
  if (CollectResponses(connection, command, responses, line) == FinalResult::Ok) return true;
  if (quiet) {
    if (responses) responses->push_back(line);
  } else {
    connection.User().ShowCommandError(command, line);
  }
  return false;
}

}  // namespace

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
