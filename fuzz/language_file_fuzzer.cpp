// Any bytes as a language file: the reader and the checkers finish without a crash, a hang or
// unbounded memory, and what the reader finds fits in the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "farlib/language_file.h"
#include "farlib/message_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Every message comes from a line of its own that is at least as long as its text, and
  // lines are separated by one byte each.
  size_t messageBytes = 0;
  for (const FarLib::MessageBlock& block : FarLib::ParseLanguageFile(text)) {
    if (block.Groups.empty()) __builtin_trap();
    for (const FarLib::MessageGroup& group : block.Groups) {
      for (const std::string& message : group.Messages) messageBytes += message.size() + 1;
    }
  }
  if (messageBytes > size + 1) __builtin_trap();
  for (const FarLib::LanguageFileIssue& issue : FarLib::CheckLanguageFile(text)) {
    if (issue.Line > size || issue.Reason.empty()) __builtin_trap();
  }
  for (const FarLib::LanguageFileIssue& issue : FarLib::CheckMessageFormats(text)) {
    if (issue.Line == 0 || issue.Line > size || issue.Reason.empty()) __builtin_trap();
  }
  return 0;
}
