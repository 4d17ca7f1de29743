#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "farlib/help_file.h"

// The plug-in's help files (*.hlf beside the module) as pages a viewer shows: the topic's
// title and its lines, each a run of plain, bold and link spans with the markup taken out.
// The files are in the OEM code page and stay so. Far's own help (":Topic") and other files'
// topics ("<path\>Topic") other than this module's are not here.
namespace Host {

struct CHelpSpan {
  std::string text;
  bool bold = false;
  std::string link;  // the topic a link leads to; empty for text

  bool operator==(const CHelpSpan&) const = default;
};

struct CHelpLine {
  bool centred = false;  // a line starting with '^'
  std::vector<CHelpSpan> spans;
};

struct CHelpPage {
  std::string topic;
  std::string title;
  std::vector<CHelpLine> lines;
};

// "#bold#", "~text~@Topic@" and the doubled "##", "~~", "@@" of one line.
CHelpLine ParseHelpLine(std::string_view line);

class CHelpFiles {
 public:
  // Reads the file of the language, else the English one. False when there is none.
  bool Load(const std::filesystem::path& folder, std::string_view language);
  bool IsLoaded() const { return !m_lines.empty(); }
  // The topic as Menu, Dialog and Message name it; nullopt when this file lacks it.
  std::optional<CHelpPage> Page(std::string_view topic) const;

 private:
  FarLib::HelpFile m_file;
  std::vector<std::string> m_lines;
};

}  // namespace Host
