#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The plug-in's own reader of its language files (the host reads them too, for GetMsg). On top
// of the host's format it knows ".Module=<name>", which starts a block of messages addressed
// by that name, and ".Offset=<n>", after which the messages are numbered from n.
namespace FarLib {

struct MessageGroup {
  int64_t First = 0;  // the number of Messages[0]
  std::vector<std::string> Messages;
  std::vector<size_t> Lines;  // the line of each message, counting from 1
};

struct MessageBlock {
  std::string Language;
  std::optional<std::string> Module;  // absent: the block of the plug-in's own messages
  std::vector<MessageGroup> Groups;   // never empty; the first one starts at 0
};

// Language and module names compare without regard to (ASCII) letter case.
bool SameName(std::string_view a, std::string_view b);

// The blocks of one file's text in file order. Blocks that no ".Language" line names cannot
// be chosen by any language setting and are left out.
std::vector<MessageBlock> ParseLanguageFile(std::string_view text);

// Lines that the two readers would take differently, that either ignores, or that the host
// cannot hold; line numbers count from 1 (0 for the file as a whole).
struct LanguageFileIssue {
  size_t Line = 0;
  std::string Reason;
};
std::vector<LanguageFileIssue> CheckLanguageFile(std::string_view text);

// The text of message `number` of the blocks named `module` (absent: the blocks without a
// module) in the host's language, else in English, else in the first language read; null when
// none has it. Reads the language files on first use.
const char* GetModuleMessage(int number, const char* module = nullptr);

// Forgets what was read, then reads the host's language setting and every "*.ln?" file beside
// the plug-in module.
void LoadLanguageFiles();

// Adds the blocks of one file; a file that cannot be read adds nothing.
void LoadLanguageFile(const std::string& path);

// Forgets every language file read and the language setting.
void FreeLanguageFiles();

}  // namespace FarLib
