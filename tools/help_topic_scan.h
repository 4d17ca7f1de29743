#pragma once
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Finds the help topics the plug-in's code names, by reading its sources: the topic argument
// of every dialog, menu, message box and range validator the toolkit offers, and every constant
// named k...Topic. The help files are then checked against what the code really passes, with no
// list to keep in step by hand. A topic argument that is neither a string literal nor such a
// constant cannot be followed; it is reported, so that the code keeps its topics findable.
namespace HelpTopicScan {

struct Use {
  std::string Topic;
  std::string File;
  size_t Line = 0;
};

struct Result {
  std::vector<Use> Uses;
  std::vector<Use> Unresolved;  // Topic holds the argument as written

  std::set<std::string> Topics() const {
    std::set<std::string> names;
    for (const Use& use : Uses) names.insert(use.Topic);
    return names;
  }
};

namespace Detail {

// The toolkit's calls and the position of their help-topic argument, counting from 0.
struct Callee {
  std::string_view Name;
  size_t TopicArgument;
  bool NamedObject;  // a declaration "CFarDialog dialog(...)" as well as a call
};
inline constexpr Callee kCallees[] = {
    {"CFarDialog", 2, true},     {"ShowMenu", 3, false},    {"ShowChoiceMenu", 2, false},
    {"ShowMenuItems", 2, false}, {"ShowMessage", 1, false}, {"CFarIntegerRangeValidator", 2, false},
};

// Names that hand on a topic their caller chose, or say there is none.
inline const std::set<std::string> kForwarding = {"nullptr", "helpTopic", "topic", "m_helpTopic",
                                                  "m_helpTopic.c_str()"};

inline bool IsIdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The source with comments blanked (line breaks kept), so that commented-out calls are not
// read and line numbers stay right.
inline std::string WithoutComments(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    if (c == '"' || c == '\'') {
      for (++i; i < out.size() && out[i] != c && out[i] != '\n'; ++i) {
        if (out[i] == '\\') ++i;
      }
    } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '/') {
      for (; i < out.size() && out[i] != '\n'; ++i) out[i] = ' ';
    } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '*') {
      for (; i < out.size() && !(out[i] == '*' && i + 1 < out.size() && out[i + 1] == '/'); ++i) {
        if (out[i] != '\n') out[i] = ' ';
      }
      if (i + 1 < out.size()) out[i] = out[i + 1] = ' ';
      ++i;
    }
  }
  return out;
}

inline std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

// The string literals of an expression, their escapes left as written.
inline std::vector<std::string> Literals(std::string_view text) {
  std::vector<std::string> literals;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\'') {
      for (++i; i < text.size() && text[i] != '\''; ++i) {
        if (text[i] == '\\') ++i;
      }
    } else if (text[i] == '"') {
      std::string literal;
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) literal += text[i++];
        literal += text[i];
      }
      literals.push_back(literal);
    }
  }
  return literals;
}

// The arguments of the call whose '(' stands at `open`, split at the commas outside brackets
// and literals; `end` receives the position after the closing ')'.
inline std::vector<std::string_view> Arguments(std::string_view text, size_t open, size_t& end) {
  std::vector<std::string_view> arguments;
  int depth = 0;
  size_t start = open + 1;
  for (size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      for (++i; i < text.size() && text[i] != c; ++i) {
        if (text[i] == '\\') ++i;
      }
    } else if (c == '(' || c == '{' || c == '[') {
      ++depth;
    } else if (c == ')' || c == '}' || c == ']') {
      if (--depth == 0) {
        arguments.push_back(Trim(text.substr(start, i - start)));
        end = i + 1;
        return arguments;
      }
    } else if (c == ',' && depth == 1) {
      arguments.push_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  end = text.size();
  return {};
}

// "constexpr const char* kErrorTopic = "Error";" and the like: the name and the literal.
inline std::map<std::string, std::string> TopicConstants(std::string_view text) {
  std::map<std::string, std::string> constants;
  for (size_t at = text.find("Topic"); at != std::string_view::npos;
       at = text.find("Topic", at + 1)) {
    size_t begin = at;
    while (begin > 0 && IsIdentifierChar(text[begin - 1])) --begin;
    size_t end = at + 5;
    while (end < text.size() && IsIdentifierChar(text[end])) ++end;
    const std::string name(text.substr(begin, end - begin));
    if (name.size() < 2 || name[0] != 'k' || !std::isupper(static_cast<unsigned char>(name[1]))) {
      continue;
    }
    size_t next = end;
    while (next < text.size() && (text[next] == ' ' || text[next] == '[' || text[next] == ']')) {
      ++next;
    }
    if (next >= text.size() || text[next] != '=') continue;
    const size_t stop = text.find(';', next);
    const std::vector<std::string> literals = Literals(text.substr(next, stop - next));
    if (literals.size() == 1) constants[name] = literals.front();
  }
  return constants;
}

// An argument that declares a parameter ("const char* helpTopic") rather than passes one.
inline bool IsDeclaration(std::string_view argument) {
  return argument.find('"') == std::string_view::npos &&
         argument.find_first_of(" *&") != std::string_view::npos &&
         argument.find_first_of("(?.") == std::string_view::npos;
}

inline size_t LineOf(std::string_view text, size_t at) {
  return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + at, '\n'));
}

}  // namespace Detail

// The topics one source file names; `constants` are the k...Topic constants of every file, so
// that a topic constant may live in another file than its use.
inline void ScanText(std::string_view source, const std::string& file,
                     const std::map<std::string, std::string>& constants, Result& result) {
  using namespace Detail;
  const std::string text = WithoutComments(source);
  for (const auto& [name, topic] : TopicConstants(text)) {
    const size_t at = text.find(name);
    result.Uses.push_back({topic, file, LineOf(text, at)});
  }
  for (const Callee& callee : kCallees) {
    for (size_t at = text.find(callee.Name); at != std::string::npos;
         at = text.find(callee.Name, at + 1)) {
      const size_t after = at + callee.Name.size();
      if ((at > 0 && IsIdentifierChar(text[at - 1])) ||
          (after < text.size() && IsIdentifierChar(text[after]))) {
        continue;
      }
      size_t open = after;
      while (open < text.size() && (text[open] == ' ' || text[open] == '>')) ++open;
      if (callee.NamedObject && open < text.size() && IsIdentifierChar(text[open])) {
        while (open < text.size() && IsIdentifierChar(text[open])) ++open;
        while (open < text.size() && text[open] == ' ') ++open;
      }
      if (open >= text.size() || text[open] != '(') continue;
      size_t end = 0;
      const std::vector<std::string_view> arguments = Arguments(text, open, end);
      if (arguments.size() <= callee.TopicArgument) continue;
      const std::string_view argument = arguments[callee.TopicArgument];
      if (IsDeclaration(argument)) continue;
      const size_t line = LineOf(text, at);
      const std::vector<std::string> literals = Literals(argument);
      if (!literals.empty()) {
        for (const std::string& literal : literals) {
          if (!literal.empty()) result.Uses.push_back({literal, file, line});
        }
        continue;
      }
      const std::string name(argument);
      if (constants.contains(name) || kForwarding.contains(name)) continue;
      result.Unresolved.push_back({name, file, line});
    }
  }
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every .cpp and .h below `root`, in a fixed order.
inline Result ScanSources(const std::filesystem::path& root) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    const std::string extension = it->path().extension().string();
    if (it->is_regular_file() && (extension == ".cpp" || extension == ".h")) {
      files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end());
  std::map<std::string, std::string> constants;
  std::vector<std::string> texts;
  for (const std::filesystem::path& file : files) {
    texts.push_back(ReadFile(file));
    constants.merge(Detail::TopicConstants(Detail::WithoutComments(texts.back())));
  }
  Result result;
  for (size_t i = 0; i < files.size(); ++i) {
    ScanText(texts[i], files[i].lexically_relative(root).generic_string(), constants, result);
  }
  return result;
}

}  // namespace HelpTopicScan
