#include "farlib/message_formats.h"

#include <cstdint>

namespace Msg {

std::string_view ExpectedConversions(int number) {
  for (const FormatUse& use : kFormattedMessages) {
    if (use.Number == number) return use.Conversions;
  }
  return {};
}

}  // namespace Msg

namespace FarLib {
namespace {

constexpr std::string_view kFlagsAndWidths = "-+ #0123456789.'";
constexpr std::string_view kLengthModifiers = "hlLqjzt";

std::string Shown(const std::string& conversions) {
  return conversions.empty() ? "none" : conversions;
}

}  // namespace

std::string FormatConversions(std::string_view format) {
  std::string conversions;
  for (size_t at = format.find('%'); at != std::string_view::npos; at = format.find('%', at)) {
    std::string one = "%";
    ++at;
    for (; at < format.size(); ++at) {
      const char c = format[at];
      if (c == '*' || kLengthModifiers.find(c) != std::string_view::npos) {
        one += c;
      } else if (kFlagsAndWidths.find(c) == std::string_view::npos) {
        break;
      }
    }
    if (at >= format.size()) return conversions + "%<unfinished>";
    if (format[at] != '%' || one.size() > 1) conversions += one + format[at];
    ++at;
  }
  return conversions;
}

std::vector<LanguageFileIssue> CheckMessageFormats(std::string_view text) {
  std::vector<LanguageFileIssue> issues;
  for (const MessageBlock& block : ParseLanguageFile(text)) {
    if (block.Module) continue;
    for (const MessageGroup& group : block.Groups) {
      for (size_t index = 0; index < group.Messages.size(); ++index) {
        const int64_t number = group.First + static_cast<int64_t>(index);
        const std::string expected(
            number <= INT32_MAX ? Msg::ExpectedConversions(static_cast<int>(number)) : "");
        const std::string found = FormatConversions(group.Messages[index]);
        if (found == expected) continue;
        const std::string reason =
            "message " + std::to_string(number) + " has placeholders " + Shown(found) +
            (expected.empty() ? " but is shown as plain text"
                              : " where its callers pass " + Shown(expected));
        issues.push_back({group.Lines[index], reason});
      }
    }
  }
  return issues;
}

}  // namespace FarLib
