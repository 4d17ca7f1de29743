#include <algorithm>
#include <optional>

#include "encoding/charset.h"
#include "encoding/gsm_alphabet.h"

namespace {

constexpr unsigned char kHighestSeptet = 0x7F;

// The first code whose entry is the character; U+0000 entries mark codes without a character,
// so U+0000 itself is never found.
std::optional<unsigned char> FindCode(const CGsmTable& table, char16_t character) {
  if (character == u'\0') {
    return std::nullopt;
  }
  const auto found = std::find(table.begin(), table.end(), character);
  if (found == table.end()) {
    return std::nullopt;
  }
  return static_cast<unsigned char>(found - table.begin());
}

}  // namespace

bool GsmToWide(std::string_view septets, WideString& wide) {
  wide.clear();
  for (size_t pos = 0; pos < septets.size(); ++pos) {
    const auto code = static_cast<unsigned char>(septets[pos]);
    if (code > kHighestSeptet) {
      return false;
    }
    const bool escaped = code == kGsmEscapeCode && pos + 1 < septets.size();
    if (!escaped) {
      wide.push_back(kGsmBasicTable[code]);
      continue;
    }
    const auto next = static_cast<unsigned char>(septets[++pos]);
    if (next > kHighestSeptet) {
      return false;
    }
    wide.push_back(kGsmExtensionTable[next]);
  }
  return true;
}

bool WideToGsm(const WideString& wide, std::string& septets) {
  septets.clear();
  for (const char16_t character : wide) {
    if (const auto code = FindCode(kGsmBasicTable, character)) {
      septets.push_back(static_cast<char>(*code));
    } else if (const auto extended = FindCode(kGsmExtensionTable, character)) {
      septets.push_back(static_cast<char>(kGsmEscapeCode));
      septets.push_back(static_cast<char>(*extended));
    } else {
      return false;
    }
  }
  return true;
}

bool IsGsmText(const WideString& wide) {
  std::string scratch;
  return WideToGsm(wide, scratch);
}
