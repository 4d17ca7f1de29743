#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The host's reading of a plug-in's language files: of the *.lng files beside the module, the
// one whose ".Language=" names the interface language, else the English one. Message number n
// is the n-th line that starts with a double quote; the quotes around it are dropped and the
// escapes \n, \r, \t, \b and \\ converted. Texts keep their bytes (the files are in the OEM
// code page).
namespace Host {

class CLngCatalog {
 public:
  // Replaces what was loaded. False when no file of the language nor an English one exists.
  bool Load(const std::filesystem::path& folder, std::string_view language);

  // Null for a number the file does not have.
  const std::string* Message(int number) const;
  size_t Count() const { return m_messages.size(); }
  // The language of the file chosen, empty when none was.
  const std::string& Language() const { return m_language; }

  // The name of a ".Language=name,description" line, or empty when the text has none.
  static std::string LanguageOf(std::string_view content);
  static std::vector<std::string> ParseMessages(std::string_view content);

 private:
  std::vector<std::string> m_messages;
  std::string m_language;
};

}  // namespace Host
