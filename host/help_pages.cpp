#include "host/help_pages.h"

#include <fstream>
#include <sstream>

#include "platform/file.h"

namespace Host {
namespace {

// Help files are small; a larger one is not a help file.
constexpr std::streamsize kMaxHelpFile = 4 * 1024 * 1024;

bool ReadFile(const std::filesystem::path& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream buffer;
  buffer << file.rdbuf();
  text = buffer.str();
  return text.size() <= static_cast<size_t>(kMaxHelpFile);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsTopicLine(std::string_view line) {
  return line.size() > 1 && line[0] == '@' && line[1] != '-' && line[1] != '+' && line[1] != '@';
}

std::string PlainText(const CHelpLine& line) {
  std::string text;
  for (const CHelpSpan& span : line.spans) text += span.text;
  return text;
}

}  // namespace

CHelpLine ParseHelpLine(std::string_view line) {
  CHelpLine parsed;
  if (!line.empty() && line[0] == '^') {
    parsed.centred = true;
    line.remove_prefix(1);
  }
  CHelpSpan current;
  const auto flush = [&] {
    if (!current.text.empty()) parsed.spans.push_back(current);
    current.text.clear();
    current.link.clear();
  };
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    const bool doubled = i + 1 < line.size() && line[i + 1] == c;
    if ((c == '#' || c == '~' || c == '@') && doubled) {
      current.text += c;
      ++i;
    } else if (c == '#') {
      flush();
      current.bold = !current.bold;
    } else if (c == '~') {
      // ~text~@Topic@: the text up to the next single '~', then the topic between '@'s.
      const size_t textEnd = line.find('~', i + 1);
      if (textEnd == std::string_view::npos || textEnd + 1 >= line.size() ||
          line[textEnd + 1] != '@') {
        current.text += c;
        continue;
      }
      const size_t topicEnd = line.find('@', textEnd + 2);
      if (topicEnd == std::string_view::npos) {
        current.text += c;
        continue;
      }
      flush();
      CHelpSpan link;
      link.text = std::string(line.substr(i + 1, textEnd - i - 1));
      link.link = std::string(line.substr(textEnd + 2, topicEnd - textEnd - 2));
      link.bold = current.bold;
      parsed.spans.push_back(std::move(link));
      i = topicEnd;
    } else {
      current.text += c;
    }
  }
  flush();
  return parsed;
}

bool CHelpFiles::Load(const std::filesystem::path& folder, std::string_view language) {
  std::string chosen;
  std::string english;
  for (const std::string& name : Platform::ListFiles((folder / "*.hlf").string())) {
    std::string text;
    if (!ReadFile(folder / name, text)) continue;
    const FarLib::HelpFile file = FarLib::ParseHelpFile(text);
    if (file.Language == language && chosen.empty()) chosen = std::move(text);
    else if (file.Language == "English" && english.empty()) english = std::move(text);
  }
  if (chosen.empty()) chosen = std::move(english);
  if (chosen.empty()) return false;
  m_file = FarLib::ParseHelpFile(chosen);
  m_lines = SplitLines(chosen);
  return true;
}

std::optional<CHelpPage> CHelpFiles::Page(std::string_view topic) const {
  if (topic.empty() || topic.starts_with(':')) return std::nullopt;
  // "<folder\>Topic" names this plug-in's own file by its folder: the topic is what follows.
  if (topic.starts_with('<')) {
    const size_t end = topic.find('>');
    if (end == std::string_view::npos) return std::nullopt;
    topic.remove_prefix(end + 1);
  }
  const FarLib::HelpTopic* found = m_file.Find(topic);
  if (!found || found->Line == 0 || found->Line > m_lines.size()) return std::nullopt;
  CHelpPage page;
  page.topic = found->Name;
  size_t i = found->Line;  // the line after "@Name", counting from 0
  for (; i < m_lines.size() && m_lines[i].starts_with('$'); ++i) {
    const std::string title = PlainText(ParseHelpLine(std::string_view(m_lines[i]).substr(1)));
    const size_t start = title.find_first_not_of(' ');
    if (start != std::string::npos)
      page.title += (page.title.empty() ? "" : " ") + title.substr(start);
  }
  for (; i < m_lines.size() && !IsTopicLine(m_lines[i]); ++i) {
    if (m_lines[i] == "@-" || m_lines[i] == "@+") continue;
    page.lines.push_back(ParseHelpLine(m_lines[i]));
  }
  while (!page.lines.empty() && page.lines.back().spans.empty()) page.lines.pop_back();
  return page;
}

}  // namespace Host
