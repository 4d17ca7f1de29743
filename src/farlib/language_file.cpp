#include "farlib/language_file.h"

#include <algorithm>

#include "farlib/host.h"
#include "farlib/registry.h"
#include "platform/file.h"

namespace FarLib {
namespace {

constexpr const char* kEnglish = "English";

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
  const auto found =
      std::find_if(languages.begin(), languages.end(),
                   [&](const LanguageEntry& entry) { return SameName(entry.Name, name); });
  return found == languages.end() ? nullptr : &*found;
}

bool ModuleMatches(const MessageBlock& block, const char* module) {
  if (!module) return !block.Module;
  return block.Module && SameName(*block.Module, module);
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

const char* GetModuleMessage(int number, const char* module) {
  if (!Tables().Loaded) LoadLanguageFiles();
  const LanguageEntry* first = Tables().Languages.empty() ? nullptr : &Tables().Languages.front();
  for (const LanguageEntry* language :
       {FindLanguage(Tables().Current), FindLanguage(kEnglish), first}) {
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
    auto entry = std::find_if(languages.begin(), languages.end(), [&](const LanguageEntry& e) {
      return SameName(e.Name, block.Language);
    });
    if (entry == languages.end()) entry = languages.insert(languages.end(), {block.Language, {}});
    entry->Blocks.push_back(std::move(block));
  }
}

void FreeLanguageFiles() { Tables() = LanguageTables{}; }

}  // namespace FarLib
