#pragma once
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

// What a phone simulator's saved state holds, as facts a test can compare.
namespace EndToEnd {

// What the phone holds, one fact a line: "SM 2 +447700900002 Bob" for a phone-book entry,
// "pdu <hex>" for a message stored or handed to the network.
using Facts = std::vector<std::string>;

// The simulator saves its keys sorted, while a state written by hand may have any order: each
// entry is read field by field, and its storage is the phone book whose list holds it.
inline std::string Field(const std::string& object, const char* key) {
  const std::regex field("\"" + std::string(key) + R"re("\s*:\s*("([^"]*)"|\d+))re");
  std::smatch m;
  if (!std::regex_search(object, m, field)) return {};
  return m[2].matched ? m[2].str() : m[1].str();
}

inline Facts FactsOf(const std::string& state) {
  Facts facts;
  // A name may hold brackets ("Work [desk]"): the list is its flat objects.
  static const std::regex kList(R"re("entries"\s*:\s*\[((?:\s*\{[^{}]*\}\s*,?)*)\s*\])re");
  static const std::regex kNameAfter(R"re(^\s*,\s*"name"\s*:\s*"([^"]*)")re");
  static const std::regex kNameBefore(R"re("name"\s*:\s*"([A-Z]{2})")re");
  static const std::regex kObject(R"re(\{[^{}]*\})re");
  for (auto list = std::sregex_iterator(state.begin(), state.end(), kList);
       list != std::sregex_iterator(); ++list) {
    std::string storage;
    std::smatch name;
    const std::string rest = list->suffix().str().substr(0, 64);
    if (std::regex_search(rest, name, kNameAfter)) {
      storage = name[1];
    } else {
      const std::string before = state.substr(0, static_cast<size_t>(list->position()));
      for (auto it = std::sregex_iterator(before.begin(), before.end(), kNameBefore);
           it != std::sregex_iterator(); ++it)
        storage = (*it)[1];
    }
    const std::string entries = (*list)[1];
    for (auto it = std::sregex_iterator(entries.begin(), entries.end(), kObject);
         it != std::sregex_iterator(); ++it) {
      const std::string entry = it->str();
      facts.push_back(storage + " " + Field(entry, "index") + " " + Field(entry, "number") + " " +
                      Field(entry, "name"));
    }
  }
  static const std::regex kPdu(R"re("pdu"\s*:\s*"([0-9A-F]*)")re");
  for (auto it = std::sregex_iterator(state.begin(), state.end(), kPdu);
       it != std::sregex_iterator(); ++it)
    facts.push_back("pdu " + (*it)[1].str());
  std::sort(facts.begin(), facts.end());
  return facts;
}

}  // namespace EndToEnd
