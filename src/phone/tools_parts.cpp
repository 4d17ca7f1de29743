#include "phone/tools_parts.h"

#include <algorithm>
#include <cstdio>

#include "link/at_engine.h"
#include "regex/regex.h"

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsTrailingBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool EndsAnswer(std::string_view line) {
  return line == "OK" || line == "ERROR" || line.substr(0, 10) == "+CME ERROR" ||
         line.substr(0, 10) == "+CMS ERROR";
}

// The zones in use reach from UTC-12 (bias 720) to UTC+14 (bias -840).
constexpr int32_t kLowestBias = -14 * 60;
constexpr int32_t kHighestBias = 12 * 60;

void KeepFirst(std::vector<std::string>& names) {
  if (names.size() > kMaxProbedStorages) names.resize(kMaxProbedStorages);
}

}  // namespace

std::string ScreenText(std::string_view line) {
  std::string text(line);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); },
      '.');
  return text;
}

bool TakeTerminalLine(TerminalLines& lines, std::string_view rawLine) {
  while (!rawLine.empty() && IsTrailingBlank(rawLine.back())) rawLine.remove_suffix(1);
  if (rawLine.empty()) return false;
  std::move(lines.begin() + 1, lines.end(), lines.begin());
  lines.back() = ScreenText(rawLine);
  return EndsAnswer(rawLine);
}

std::string ClockText(const Platform::SystemTime& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d", time.year % 100, time.month,
                time.day, time.hour, time.minute, time.second);
  return text;
}

std::string ZoneText(std::optional<int32_t> biasMinutes) {
  if (!biasMinutes || *biasMinutes < kLowestBias || *biasMinutes > kHighestBias) return "+00";
  constexpr int32_t kMinutesPerQuarter = 15;
  const int32_t quarters = -*biasMinutes / kMinutesPerQuarter;
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d", *biasMinutes > 0 ? '-' : '+',
                static_cast<int>(quarters < 0 ? -quarters : quarters));
  return text;
}

// +CPBS: ("SM","ME","DC","MC","RC")
std::vector<std::string> PhoneBookStoragesToProbe(const ResponseList& answer) {
  std::vector<std::string> names;
  if (answer.empty()) return names;
  RegexFormatAll(answer.front(), "\"(\\w\\w)\"", "$1", &names, 0, 0);
  KeepFirst(names);
  return names;
}

// +CPMS: ("ME","SM"),("ME","SM"),("ME","SM")
std::vector<std::string> MessageStoragesToProbe(const ResponseList& answer) {
  std::vector<std::string> names;
  if (answer.empty()) return names;
  std::vector<std::string> lists;
  RegexFormatAll(answer.front(), "\\((.*?)\\)", "$1", &lists, 0, 0);
  if (lists.empty()) return names;
  std::vector<std::string> found;
  RegexFormatAll(lists.front(), "\"(.*?)\"", "$1", &found, 0, 0);
  for (std::string& name : found) {
    const bool printable = std::none_of(
        name.begin(), name.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); });
    if (!name.empty() && printable) names.push_back(std::move(name));
  }
  KeepFirst(names);
  return names;
}

std::vector<std::string> SelectedStorages(const ResponseList& answer) {
  std::vector<std::string> names;
  if (answer.empty()) return names;
  RegexFormatAll(answer.front(), "\"(.*?)\"", "$1", &names, 0, 0);
  if (!std::all_of(names.begin(), names.end(),
                   [](const std::string& name) { return !name.empty() && FitsInQuotes(name); })) {
    names.clear();
  }
  return names;
}
