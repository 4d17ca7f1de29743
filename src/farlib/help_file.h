#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "farlib/language_file.h"

// A reader of the host's help files ("*.hlf" beside the module): the language, the topics with
// their titles and the links between them, and a check of what the host would show wrongly or
// not at all. The host reads these files itself; this reader serves the checks and the tools.
//
// The format, as far as it matters here: the first line ".Language=Name,Description"; a line
// ".PluginContents=Title" names the plug-in in the host's list of help files; "@Name" at the
// start of a line begins a topic ("@-" and "@+" switch formatting and are no topics); the line
// "$ #Title#" gives the topic's title; "~text~@Topic@" is a link, "#text#" bold; "~~", "##" and
// "@@" stand for the characters themselves.
namespace FarLib {

struct HelpLink {
  std::string Topic;  // as written: ":Name" and "<file>Name" lead outside the file
  size_t Line = 0;
};

struct HelpTopic {
  std::string Name;
  std::string Title;  // empty when the topic has no "$" line
  size_t Line = 0;    // of the "@Name" line, counting from 1
  std::vector<HelpLink> Links;
};

struct HelpFile {
  std::string Language;        // the name before the comma of ".Language="
  std::string PluginContents;  // empty when there is no ".PluginContents=" line
  std::vector<HelpTopic> Topics;

  // Topic names compare exactly, letter case included: the host's lookup may be kinder, a
  // check should not be.
  const HelpTopic* Find(std::string_view name) const;
};

HelpFile ParseHelpFile(std::string_view text);

// Whether a link leads into the host's own help or another file, which this file cannot hold.
bool IsOutsideLink(std::string_view topic);

// What would go wrong in the host: no ".Language" first line, no ".PluginContents", no
// "Contents" topic, a topic twice or without a title, a link to a topic the file lacks, a link
// or bold text left open. Line 0 stands for the file as a whole.
std::vector<LanguageFileIssue> CheckHelpFile(std::string_view text);

}  // namespace FarLib
