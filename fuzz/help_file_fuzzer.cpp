// Any bytes as a help file: the reader and its check finish without a crash, a hang or
// unbounded memory, and what they find lies within the file: every topic, link and issue on one
// of its lines, every topic found again by its name.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "farlib/help_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // At most one line per line end of either kind, and the last.
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n') +
                                           std::count(text.begin(), text.end(), '\r')) +
                       1;
  const FarLib::HelpFile file = FarLib::ParseHelpFile(text);
  Check(file.Language.size() <= size && file.PluginContents.size() <= size);
  size_t lastLine = 0;
  for (const FarLib::HelpTopic& topic : file.Topics) {
    // Topics come in the order of the file, one "@" line each.
    Check(topic.Line > lastLine && topic.Line <= lines);
    lastLine = topic.Line;
    Check(topic.Name.size() < size && topic.Title.size() < size);
    const FarLib::HelpTopic* found = file.Find(topic.Name);
    Check(found != nullptr && found->Name == topic.Name);
    for (const FarLib::HelpLink& link : topic.Links) {
      Check(link.Line >= topic.Line && link.Line <= lines && link.Topic.size() < size);
      FarLib::IsOutsideLink(link.Topic);
    }
  }
  for (const FarLib::LanguageFileIssue& issue : FarLib::CheckHelpFile(text)) {
    Check(issue.Line <= lines && !issue.Reason.empty());
  }
  return 0;
}
