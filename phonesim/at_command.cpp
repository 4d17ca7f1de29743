#include "phonesim/at_command.h"

#include <cctype>

#include "phonesim/hex.h"

namespace PhoneSim {
namespace {

bool IsExtendedPrefix(char c) { return c == '+' || c == '^' || c == '*' || c == '$' || c == '%'; }

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The position after the argument text of an extended command: the next ';' outside quotes.
size_t ArgumentsEnd(std::string_view body, size_t at, bool& unclosed) {
  bool inQuotes = false;
  for (; at < body.size(); ++at) {
    if (body[at] == '"') inQuotes = !inQuotes;
    if (body[at] == ';' && !inQuotes) break;
  }
  unclosed = inQuotes;
  return at;
}

// "+CPBR=1,5" or "+CPBS?" or "+CPBR=?" up to its ';'.
bool TakeExtended(std::string_view body, size_t& at, AtCommand& command) {
  const size_t start = at++;
  while (at < body.size() &&
         (std::isalnum(static_cast<unsigned char>(body[at])) || body[at] == '_')) {
    command.name.push_back(Upper(body[at]));
    ++at;
  }
  command.name.insert(command.name.begin(), body[start]);
  if (command.name.size() < 2) return false;
  if (body.substr(at, 2) == "=?") {
    command.form = AtCommand::Form::Test;
    at += 2;
  } else if (at < body.size() && body[at] == '?') {
    command.form = AtCommand::Form::Query;
    ++at;
  } else if (at < body.size() && body[at] == '=') {
    command.form = AtCommand::Form::Set;
    bool unclosed = false;
    const size_t end = ArgumentsEnd(body, ++at, unclosed);
    if (unclosed) return false;
    command.arguments = std::string(body.substr(at, end - at));
    at = end;
  }
  command.text = std::string(body.substr(start, at - start));
  if (at < body.size() && body[at] != ';') return false;
  if (at < body.size()) ++at;
  return true;
}

// "E0", "&F", "S0=1", "S3?", "Z": a letter (after an optional '&') and its digits.
bool TakeBasic(std::string_view body, size_t& at, AtCommand& command) {
  const size_t start = at;
  if (body[at] == '&') command.name.push_back(body[at++]);
  if (at >= body.size() || !std::isalpha(static_cast<unsigned char>(body[at]))) return false;
  command.name.push_back(Upper(body[at++]));
  const bool sRegister = command.name == "S";
  while (at < body.size() && std::isdigit(static_cast<unsigned char>(body[at]))) {
    (sRegister ? command.name : command.arguments).push_back(body[at++]);
  }
  if (sRegister && at < body.size() && body[at] == '?') {
    command.form = AtCommand::Form::Query;
    ++at;
  } else if (sRegister && at < body.size() && body[at] == '=') {
    command.form = AtCommand::Form::Set;
    ++at;
    while (at < body.size() && std::isdigit(static_cast<unsigned char>(body[at]))) {
      command.arguments.push_back(body[at++]);
    }
  }
  command.text = std::string(body.substr(start, at - start));
  if (at < body.size() && body[at] == ';') ++at;
  return true;
}

}  // namespace

std::optional<CommandLine> SplitCommandLine(std::string_view line) {
  size_t prefix = line.find("AT");
  const size_t lower = line.find("at");
  if (lower < prefix) prefix = lower;
  if (prefix == std::string_view::npos) return std::nullopt;
  std::string_view body = line.substr(prefix + 2);
  while (!body.empty() && body.back() == ' ') body.remove_suffix(1);
  CommandLine result;
  size_t at = 0;
  while (at < body.size()) {
    if (body[at] == ' ') {
      ++at;
      continue;
    }
    AtCommand command;
    const bool taken =
        IsExtendedPrefix(body[at]) ? TakeExtended(body, at, command) : TakeBasic(body, at, command);
    if (!taken) {
      result.malformed = true;
      break;
    }
    result.commands.push_back(command);
  }
  return result;
}

std::optional<std::vector<Argument>> ParseArguments(std::string_view text) {
  std::vector<Argument> arguments;
  size_t at = 0;
  for (;;) {
    Argument argument;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at < text.size() && text[at] == '"') {
      argument.present = argument.quoted = true;
      for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] != '\\') {
          argument.text.push_back(text[at]);
          continue;
        }
        if (at + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[at + 1]);
        const int low = HexDigit(text[at + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        argument.text.push_back(static_cast<char>(high * 16 + low));
        at += 2;
      }
      if (at >= text.size()) return std::nullopt;
      ++at;
      while (at < text.size() && text[at] == ' ') ++at;
    } else {
      while (at < text.size() && text[at] != ',') argument.text.push_back(text[at++]);
      while (!argument.text.empty() && argument.text.back() == ' ') argument.text.pop_back();
      argument.present = !argument.text.empty();
    }
    if (at < text.size() && text[at] != ',') return std::nullopt;
    arguments.push_back(argument);
    if (at >= text.size()) break;
    ++at;
  }
  if (arguments.size() == 1 && !arguments[0].present) arguments.clear();
  return arguments;
}

std::optional<int> NumberArgument(const std::vector<Argument>& arguments, size_t at, int low,
                                  int high) {
  if (at >= arguments.size() || !arguments[at].present || arguments[at].quoted) return std::nullopt;
  const std::string& text = arguments[at].text;
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::string Quoted(std::string_view bytes, bool escape) {
  std::string out = "\"";
  for (char c : bytes) {
    if (escape && c == '"') {
      out += "\\22";
    } else if (escape && c == '\\') {
      out += "\\5C";
    } else {
      out.push_back(c);
    }
  }
  return out + "\"";
}

}  // namespace PhoneSim
