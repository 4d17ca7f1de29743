#include "host/lng_catalog.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace Host {
namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return lower(x) == lower(y);
  });
}

std::string_view Trimmed(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> Lines(std::string_view content) {
  std::vector<std::string_view> lines;
  while (!content.empty()) {
    const size_t end = content.find('\n');
    lines.push_back(content.substr(0, end));
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  return lines;
}

std::string Unescaped(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const std::string_view kFrom = "nrtb\\";
    const size_t escape = text[i] == '\\' ? kFrom.find(next) : std::string_view::npos;
    if (escape == std::string_view::npos) {
      result += text[i];
      continue;
    }
    result += "\n\r\t\b\\"[escape];
    ++i;
  }
  return result;
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool HasLngExtension(const std::filesystem::path& path) {
  return SameTextIgnoringCase(path.extension().string(), ".lng");
}

}  // namespace

std::string CLngCatalog::LanguageOf(std::string_view content) {
  constexpr std::string_view kKey = ".Language=";
  for (const std::string_view raw : Lines(content)) {
    const std::string_view line = Trimmed(raw);
    if (line.size() < kKey.size() || !SameTextIgnoringCase(line.substr(0, kKey.size()), kKey))
      continue;
    const std::string_view value = line.substr(kKey.size());
    return std::string(Trimmed(value.substr(0, value.find(','))));
  }
  return {};
}

std::vector<std::string> CLngCatalog::ParseMessages(std::string_view content) {
  std::vector<std::string> messages;
  for (const std::string_view raw : Lines(content)) {
    std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() != '"') continue;
    line.remove_prefix(1);
    if (!line.empty() && line.back() == '"') line.remove_suffix(1);
    messages.push_back(Unescaped(line));
  }
  return messages;
}

bool CLngCatalog::Load(const std::filesystem::path& folder, std::string_view language) {
  m_messages.clear();
  m_language.clear();
  std::optional<std::string> chosen;
  std::optional<std::string> english;
  std::error_code error;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && HasLngExtension(entry.path()))
      files.push_back(entry.path());
  }
  // Directory order is arbitrary; a fixed order makes two files of one language pick the same.
  std::ranges::sort(files);
  for (const std::filesystem::path& path : files) {
    std::optional<std::string> content = ReadWhole(path);
    if (!content) continue;
    const std::string name = LanguageOf(*content);
    if (!chosen && SameTextIgnoringCase(name, language)) chosen = std::move(content);
    else if (!english && SameTextIgnoringCase(name, "English")) english = std::move(content);
  }
  if (!chosen) chosen = std::move(english);
  if (!chosen) return false;
  m_language = LanguageOf(*chosen);
  m_messages = ParseMessages(*chosen);
  return true;
}

const std::string* CLngCatalog::Message(int number) const {
  if (number < 0 || static_cast<size_t>(number) >= m_messages.size()) return nullptr;
  return &m_messages[static_cast<size_t>(number)];
}

}  // namespace Host
