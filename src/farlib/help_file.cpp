#include "farlib/help_file.h"

#include <map>

#include "encoding/blanks.h"

namespace FarLib {
namespace {

constexpr std::string_view kLanguageKey = ".Language=";
constexpr std::string_view kPluginContentsKey = ".PluginContents=";
constexpr std::string_view kContentsTopic = "Contents";

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view TrimmedRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// "@-" and "@+" switch the host's formatting; "@@" at the start is a plain '@'.
bool IsTopicLine(std::string_view line) {
  return line.size() > 1 && line[0] == '@' && line[1] != '-' && line[1] != '+' && line[1] != '@';
}

// The position of the next single `mark` from `from` on, stepping over doubled ones.
size_t FindSingle(std::string_view line, char mark, size_t from) {
  for (size_t i = from; i < line.size(); ++i) {
    if (line[i] != mark) continue;
    if (i + 1 < line.size() && line[i + 1] == mark) {
      ++i;
      continue;
    }
    return i;
  }
  return std::string_view::npos;
}

// The links of one line of text, and what the host would leave open in it.
void ReadMarkup(std::string_view line, size_t lineNumber, std::vector<HelpLink>& links,
                std::vector<LanguageFileIssue>* issues) {
  const auto note = [&](std::string reason) {
    if (issues) issues->push_back({lineNumber, std::move(reason)});
  };
  bool bold = false;
  for (size_t i = 0; i < line.size();) {
    const char c = line[i];
    const bool doubled = i + 1 < line.size() && line[i + 1] == c;
    if ((c == '~' || c == '#' || c == '@') && doubled) {
      i += 2;
    } else if (c == '#') {
      bold = !bold;
      ++i;
    } else if (c == '~') {
      const size_t textEnd = FindSingle(line, '~', i + 1);
      if (textEnd == std::string_view::npos) {
        note("link text left open");
        return;
      }
      if (textEnd + 1 >= line.size() || line[textEnd + 1] != '@') {
        note("link text without a topic");
        i = textEnd + 1;
        continue;
      }
      const size_t topicEnd = line.find('@', textEnd + 2);
      if (topicEnd == std::string_view::npos) {
        note("link topic left open");
        return;
      }
      links.push_back({std::string(line.substr(textEnd + 2, topicEnd - textEnd - 2)), lineNumber});
      i = topicEnd + 1;
    } else {
      ++i;
    }
  }
  if (bold) note("bold text left open");
}

HelpFile Parse(std::string_view text, std::vector<LanguageFileIssue>* issues) {
  const auto note = [&](size_t line, std::string reason) {
    if (issues) issues->push_back({line, std::move(reason)});
  };
  HelpFile file;
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || !lines[0].starts_with(kLanguageKey)) {
    note(lines.empty() ? 0 : 1, "the first line is not .Language=");
  }
  HelpTopic* topic = nullptr;
  bool awaitingTitle = false;
  for (size_t index = 0; index < lines.size(); ++index) {
    const std::string_view line = lines[index];
    const size_t number = index + 1;
    if (IsTopicLine(line)) {
      const std::string_view name = TrimmedRight(line.substr(1));
      if (name.find_first_of(" \t") != std::string_view::npos) {
        note(number, "topic name with a blank: " + std::string(name));
      }
      file.Topics.push_back({std::string(name), {}, number, {}});
      topic = &file.Topics.back();
      awaitingTitle = true;
      continue;
    }
    if (!topic) {
      if (line.starts_with(kLanguageKey)) {
        const std::string_view value = line.substr(kLanguageKey.size());
        file.Language = std::string(Trimmed(value.substr(0, value.find(','))));
      } else if (line.starts_with(kPluginContentsKey)) {
        file.PluginContents = std::string(Trimmed(line.substr(kPluginContentsKey.size())));
      }
      continue;
    }
    if (awaitingTitle && !Trimmed(line).empty()) {
      awaitingTitle = false;
      if (line[0] == '$') {
        std::string_view title = Trimmed(line.substr(1));
        if (title.size() >= 2 && title.front() == '#' && title.back() == '#') {
          title = title.substr(1, title.size() - 2);
        }
        topic->Title = std::string(title);
      }
    }
    ReadMarkup(line, number, topic->Links, issues);
  }
  return file;
}

}  // namespace

const HelpTopic* HelpFile::Find(std::string_view name) const {
  for (const HelpTopic& topic : Topics) {
    if (topic.Name == name) return &topic;
  }
  return nullptr;
}

HelpFile ParseHelpFile(std::string_view text) { return Parse(text, nullptr); }

bool IsOutsideLink(std::string_view topic) {
  return !topic.empty() && (topic.front() == ':' || topic.front() == '<');
}

std::vector<LanguageFileIssue> CheckHelpFile(std::string_view text) {
  std::vector<LanguageFileIssue> issues;
  const HelpFile file = Parse(text, &issues);
  if (file.PluginContents.empty()) issues.push_back({0, "no .PluginContents= line"});
  if (!file.Find(kContentsTopic)) issues.push_back({0, "no Contents topic"});
  std::map<std::string, size_t> firstLines;
  for (const HelpTopic& topic : file.Topics) {
    const auto [first, isNew] = firstLines.emplace(topic.Name, topic.Line);
    if (!isNew) {
      issues.push_back({topic.Line, "topic " + topic.Name + " again (first at line " +
                                        std::to_string(first->second) + ")"});
    }
    if (topic.Title.empty())
      issues.push_back({topic.Line, "topic " + topic.Name + " has no title"});
    for (const HelpLink& link : topic.Links) {
      if (link.Topic.empty()) {
        issues.push_back({link.Line, "link without a topic name"});
      } else if (!IsOutsideLink(link.Topic) && !file.Find(link.Topic)) {
        issues.push_back({link.Line, "link to " + link.Topic + ", a topic the file lacks"});
      }
    }
  }
  return issues;
}

}  // namespace FarLib
