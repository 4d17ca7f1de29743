#include "farlib/language_file.h"

#include <algorithm>
#include <functional>

#include "farlib/host.h"
#include "farlib/registry.h"
#include "platform/file.h"

namespace FarLib {
namespace {

constexpr std::string_view kLanguageKey = ".Language";
constexpr std::string_view kModuleKey = ".Module";
constexpr std::string_view kOffsetKey = ".Offset";
constexpr const char* kEnglish = "English";
// The host keeps no more of a line than this.
constexpr size_t kHostLineLimit = 1000;
// More digits could overflow the numbering of a group's messages.
constexpr size_t kMaxOffsetDigits = 9;

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

// Cuts the text into lines at each line feed, without a carriage return right before it.
void ForEachLine(std::string_view text, const std::function<void(size_t, std::string_view)>& take) {
  size_t number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
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
  void Take(std::string_view line) {
    if (line.empty()) return;
    if (line.front() != '.') {
      m_block.Groups.back().Messages.push_back(MessageText(line));
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
    if (SameText(directive.Key, kLanguageKey)) {
      if (m_hasLanguage || m_block.Module) StartBlock();
      m_block.Language = LanguageName(directive.Value);
      m_hasLanguage = true;
    } else if (SameText(directive.Key, kModuleKey)) {
      if (m_block.Module) StartBlock();
      m_block.Module = std::string(directive.Value);
    } else if (SameText(directive.Key, kOffsetKey)) {
      m_block.Groups.push_back(MessageGroup{OffsetNumber(directive.Value).value_or(0), {}});
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
  if (SameText(directive->Key, kLanguageKey)) {
    if (LanguageName(directive->Value).empty()) return "language without a name";
  } else if (SameText(directive->Key, kOffsetKey)) {
    if (!OffsetNumber(directive->Value)) return "offset is not a decimal number";
  } else if (!SameText(directive->Key, kModuleKey)) {
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

// The tables built from the files, for the life of the process or until freed.
struct LanguageEntry {
  std::string Name;
  std::vector<MessageBlock> Blocks;
};

struct LanguageTables {
  std::vector<LanguageEntry> Languages;
  std::string Current;
  bool Loaded = false;
};

LanguageTables& Tables() {
  static LanguageTables tables;
  return tables;
}

const LanguageEntry* FindLanguage(std::string_view name) {
  const std::vector<LanguageEntry>& languages = Tables().Languages;
  const auto found = std::find_if(languages.begin(), languages.end(),
                                  [&](const LanguageEntry& entry) { return SameText(entry.Name, name); });
  return found == languages.end() ? nullptr : &*found;
}

bool ModuleMatches(const MessageBlock& block, const char* module) {
  if (!module) return !block.Module;
  return block.Module && SameText(*block.Module, module);
}

// Only the first block of the module is searched, as the host's own reader would.
const char* FindMessage(const LanguageEntry* language, int number, const char* module) {
  if (!language) return nullptr;
  const auto block = std::find_if(language->Blocks.begin(), language->Blocks.end(),
                                  [&](const MessageBlock& b) { return ModuleMatches(b, module); });
  if (block == language->Blocks.end()) return nullptr;
  for (const MessageGroup& group : block->Groups) {
    const int64_t index = number - group.First;
    if (index >= 0 && index < static_cast<int64_t>(group.Messages.size())) {
      return group.Messages[static_cast<size_t>(index)].c_str();
    }
  }
  return nullptr;
}

// The host's settings root with its last name replaced: "Software\Far\Plugins" becomes
// "Software\Far\Language".
std::string HostLanguageKey() {
  const char* root = StartupInfo().RootKey;
  const std::string path = root ? root : "";
  const size_t slash = path.rfind('\\');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "Language";
}

std::string ModuleFolder() {
  const std::string module = StartupInfo().ModuleName;
  const size_t slash = module.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : module.substr(0, slash + 1);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  Platform::CFile file = Platform::CFile::Open(path, Platform::OpenMode::ExistingRead);
  uint64_t size = 0;
  if (!file.IsOpen() || !file.Size(size)) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t filled = 0;
  while (filled < bytes.size()) {
    uint32_t read = 0;
    const auto wanted = static_cast<uint32_t>(std::min<size_t>(bytes.size() - filled, 1u << 20));
    if (!file.Read(bytes.data() + filled, wanted, read)) return std::nullopt;
    if (read == 0) break;
    filled += read;
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace

std::vector<MessageBlock> ParseLanguageFile(std::string_view text) {
  CBlockReader reader;
  ForEachLine(text, [&](size_t, std::string_view line) { reader.Take(line); });
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
      named = named || SameText(d->Key, kLanguageKey);
    }
    const std::optional<std::string> reason = directive ? CheckDirective(line) : CheckMessage(line);
    if (reason) issues.push_back({number, *reason});
  });
  if (!named) issues.insert(issues.begin(), {0, "no .Language line"});
  return issues;
}

const char* GetModuleMessage(int number, const char* module) {
  if (!Tables().Loaded) LoadLanguageFiles();
  const LanguageEntry* first = Tables().Languages.empty() ? nullptr : &Tables().Languages.front();
  for (const LanguageEntry* language : {FindLanguage(Tables().Current), FindLanguage(kEnglish), first}) {
    if (const char* text = FindMessage(language, number, module)) return text;
  }
  return nullptr;
}

void LoadLanguageFiles() {
  FreeLanguageFiles();
  const Platform::CRegKey key = Platform::CRegKey::Create(HostLanguageKey());
  Tables().Current = ReadRegStringCopy(key, "Main").value_or(kEnglish);
  const std::string folder = ModuleFolder();
  for (const std::string& name : Platform::ListFiles(folder + "*.ln?")) {
    LoadLanguageFile(folder + name);
  }
  Tables().Loaded = true;
}

void LoadLanguageFile(const std::string& path) {
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return;
  std::vector<LanguageEntry>& languages = Tables().Languages;
  for (MessageBlock& block : ParseLanguageFile(*text)) {
    auto entry = std::find_if(languages.begin(), languages.end(),
                              [&](const LanguageEntry& e) { return SameText(e.Name, block.Language); });
    if (entry == languages.end()) entry = languages.insert(languages.end(), {block.Language, {}});
    entry->Blocks.push_back(std::move(block));
  }
}

void FreeLanguageFiles() { Tables() = LanguageTables{}; }

}  // namespace FarLib
