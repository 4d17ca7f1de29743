#include <algorithm>
#include <charconv>
#include <cstddef>

#include "platform/codepage.h"
#include "regex/regex.h"

namespace {

enum class ECaseMode { kNone, kUpper, kLower, kToggle };

// No pattern has this many groups, and a longer number must not overflow while it is read.
constexpr std::size_t kGroupNumberCap = 1'000'000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char ControlCharacter(char c) {
  switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'e': return '\x1b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    default: return '\0';
  }
}

char ConvertCase(char ansi, ECaseMode mode) {
  switch (mode) {
    case ECaseMode::kUpper: return Platform::AnsiUpper(ansi);
    case ECaseMode::kLower: return Platform::AnsiLower(ansi);
    case ECaseMode::kToggle: {
      const char lowered = Platform::AnsiLower(ansi);
      return lowered != ansi ? lowered : Platform::AnsiUpper(ansi);
    }
    case ECaseMode::kNone: break;
  }
  return ansi;
}

// Reads one template left to right. Texts are OEM; case is changed on the ANSI page, and a
// character that does not survive the trip there and back is left alone.
class CTemplateExpander {
 public:
  CTemplateExpander(const std::string& templ, const GroupList& groups)
      : m_templ(templ), m_groups(groups) {}

  std::string Run() {
    while (m_pos < m_templ.size()) {
      if (m_oneShot == ECaseMode::kNone) {
        m_oneShot = m_persistent;
      }
      const char c = m_templ[m_pos++];
      if (c == '$') {
        GroupReference();
      } else if (c == '\\') {
        Escape();
      } else {
        Append(c);
      }
    }
    return std::move(m_out);
  }

 private:
  void GroupReference() {
    std::size_t number = 0;
    while (m_pos < m_templ.size() && IsDigit(m_templ[m_pos])) {
      number =
          std::min(number * 10 + static_cast<std::size_t>(m_templ[m_pos++] - '0'), kGroupNumberCap);
    }
    if (number < m_groups.size()) {
      m_out += m_groups[number];
    }
  }

  void Escape() {
    if (m_pos == m_templ.size()) {
      m_out += '\\';
      return;
    }
    const char c = m_templ[m_pos++];
    if (const char control = ControlCharacter(c); control != '\0') {
      m_out += control;
    } else if (IsDigit(c)) {
      Octal(c);
    } else if (c == 'x') {
      Hex();
    } else if (!CaseSwitch(c)) {
      Append(c);
    }
  }

  // Up to three digits, each taken as octal even when it is 8 or 9.
  void Octal(char first) {
    unsigned value = static_cast<unsigned>(first - '0');
    for (int digits = 1; digits < 3 && m_pos < m_templ.size() && IsDigit(m_templ[m_pos]);
         ++digits) {
      value = value * 8 + static_cast<unsigned>(m_templ[m_pos++] - '0');
    }
    Append(static_cast<char>(value & 0xFF));
  }

  // Up to two digits of either case; none gives a zero.
  void Hex() {
    unsigned value = 0;
    const char* digits = m_templ.data() + m_pos;
    const std::size_t room = std::min<std::size_t>(2, m_templ.size() - m_pos);
    m_pos +=
        static_cast<std::size_t>(std::from_chars(digits, digits + room, value, 16).ptr - digits);
    Append(static_cast<char>(value));
  }

  bool CaseSwitch(char c) {
    switch (c) {
      case 'U': SetBoth(ECaseMode::kUpper); return true;
      case 'L': SetBoth(ECaseMode::kLower); return true;
      case 'C': SetBoth(ECaseMode::kToggle); return true;
      case 'E': SetBoth(ECaseMode::kNone); return true;
      case 'u': m_oneShot = ECaseMode::kUpper; return true;
      case 'l': m_oneShot = ECaseMode::kLower; return true;
      case 'c': m_oneShot = ECaseMode::kToggle; return true;
      default: return false;
    }
  }

  void SetBoth(ECaseMode mode) {
    m_persistent = mode;
    m_oneShot = mode;
  }

  void Append(char oem) {
    if (m_oneShot == ECaseMode::kNone) {
      m_out += oem;
      return;
    }
    const std::string ansi = Platform::OemToAnsi(std::string_view(&oem, 1));
    if (ansi.size() != 1 || Platform::AnsiToOem(ansi) != std::string_view(&oem, 1)) {
      m_out += oem;
      return;
    }
    const char converted = ConvertCase(ansi[0], m_oneShot);
    m_oneShot = m_persistent;
    m_out += Platform::AnsiToOem(std::string_view(&converted, 1));
  }

  const std::string& m_templ;
  const GroupList& m_groups;
  std::size_t m_pos = 0;
  std::string m_out;
  ECaseMode m_persistent = ECaseMode::kNone;
  ECaseMode m_oneShot = ECaseMode::kNone;
};

}  // namespace

std::string CRegex::Expand(const std::string& templ, const GroupList& groups) const {
  return CTemplateExpander(templ, groups).Run();
}
