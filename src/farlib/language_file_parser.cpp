#include "farlib/language_file.h"

#include <algorithm>
#include <functional>

namespace FarLib {
namespace {

constexpr std::string_view kLanguageKey = ".Language";
constexpr std::string_view kModuleKey = ".Module";
constexpr std::string_view kOffsetKey = ".Offset";
// The host keeps no more of a line than this.
constexpr size_t kHostLineLimit = 1000;
// More digits could overflow the numbering of a group's messages.
constexpr size_t kMaxOffsetDigits = 9;

// Cuts the text into lines at each line feed, without a carriage return right before it.
void ForEachLine(std::string_view text, const std::function<void(size_t, std::string_view)>& take) {
  size_t number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    take(++number, line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

struct Directive {
  std::string_view Key;
  std::string_view Value;
};

// A line beginning with "." that has an "=" in it.
std::optional<Directive> ReadDirective(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Directive{line.substr(0, equals), line.substr(equals + 1)};
}

std::string_view LanguageName(std::string_view value) { return value.substr(0, value.find(',')); }

// A value that is not a plain decimal number of at most nine digits starts its group at 0.
std::optional<int64_t> OffsetNumber(std::string_view value) {
  if (value.empty() || value.size() > kMaxOffsetDigits ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  int64_t number = 0;
  for (const char digit : value) number = number * 10 + (digit - '0');
  return number;
}

std::string MessageText(std::string_view line) {
  line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
  if (!line.empty() && line.front() == '"') {
    line.remove_prefix(1);
    if (!line.empty() && line.back() == '"') line.remove_suffix(1);
  }
  return std::string(line);
}

class CBlockReader {
 public:
  void Take(size_t number, std::string_view line) {
    if (line.empty()) return;
    if (line.front() != '.') {
      m_block.Groups.back().Messages.push_back(MessageText(line));
      m_block.Groups.back().Lines.push_back(number);
      return;
    }
    if (const std::optional<Directive> directive = ReadDirective(line)) Apply(*directive);
  }

  std::vector<MessageBlock> Finish() {
    EndBlock();
    return std::move(m_blocks);
  }

 private:
  void Apply(const Directive& directive) {
    if (SameName(directive.Key, kLanguageKey)) {
      if (m_hasLanguage || m_block.Module) StartBlock();
      m_block.Language = LanguageName(directive.Value);
      m_hasLanguage = true;
    } else if (SameName(directive.Key, kModuleKey)) {
      if (m_block.Module) StartBlock();
      m_block.Module = std::string(directive.Value);
    } else if (SameName(directive.Key, kOffsetKey)) {
      m_block.Groups.push_back(MessageGroup{OffsetNumber(directive.Value).value_or(0), {}, {}});
    }
  }

  // The next block keeps the language: only a ".Language" line changes it.
  void StartBlock() {
    EndBlock();
    m_block.Module.reset();
    m_block.Groups = {MessageGroup{}};
  }

  void EndBlock() {
    if (m_hasLanguage) m_blocks.push_back(m_block);
  }

  MessageBlock m_block{{}, std::nullopt, {MessageGroup{}}};
  bool m_hasLanguage = false;
  std::vector<MessageBlock> m_blocks;
};

std::optional<std::string> CheckDirective(std::string_view line) {
  const std::optional<Directive> directive = ReadDirective(line);
  if (!directive) return "directive without '=' (ignored)";
  if (SameName(directive->Key, kLanguageKey)) {
    if (LanguageName(directive->Value).empty()) return "language without a name";
  } else if (SameName(directive->Key, kOffsetKey)) {
    if (!OffsetNumber(directive->Value)) return "offset is not a decimal number";
  } else if (!SameName(directive->Key, kModuleKey)) {
    return "unknown directive (ignored)";
  }
  return std::nullopt;
}

std::optional<std::string> CheckMessage(std::string_view line) {
  line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
  // The host takes only quoted lines as messages; this reader takes every line, so any other
  // line would shift the numbers of the messages after it.
  if (line.empty()) return "blank line counted as a message";
  if (line.size() < 2 || line.front() != '"' || line.back() != '"') {
    return "message not enclosed in double quotes";
  }
  return std::nullopt;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<MessageBlock> ParseLanguageFile(std::string_view text) {
  CBlockReader reader;
  ForEachLine(text, [&](size_t number, std::string_view line) { reader.Take(number, line); });
  return reader.Finish();
}

std::vector<LanguageFileIssue> CheckLanguageFile(std::string_view text) {
  std::vector<LanguageFileIssue> issues;
  bool named = false;
  ForEachLine(text, [&](size_t number, std::string_view line) {
    if (line.empty()) return;
    if (line.size() > kHostLineLimit) issues.push_back({number, "longer than 1000 characters"});
    const bool directive = line.front() == '.';
    if (const std::optional<Directive> d = directive ? ReadDirective(line) : std::nullopt) {
      named = named || SameName(d->Key, kLanguageKey);
    }
    const std::optional<std::string> reason = directive ? CheckDirective(line) : CheckMessage(line);
    if (reason) issues.push_back({number, *reason});
  });
  if (!named) issues.insert(issues.begin(), {0, "no .Language line"});
  return issues;
}

}  // namespace FarLib
