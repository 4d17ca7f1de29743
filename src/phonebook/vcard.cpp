#include "phonebook/vcard.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "encoding/charset.h"
#include "encoding/hex_digits.h"
#include "encoding/phone_charsets.h"
#include "platform/codepage.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";
// Octets per physical line, CRLF not counted; a continuation spends one on its leading space.
constexpr size_t kFoldWidth = 75;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (size_t at = 0; at + part.size() <= text.size(); ++at) {
    if (EqualsNoCase(text.substr(at, part.size()), part)) return true;
  }
  return false;
}

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// ---- Writing ----

std::string EscapeText(std::string_view text) {
  std::string escaped;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' || c == ',' || c == ';') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\r' || c == '\n') {
      // CR LF, a lone CR and a lone LF are each one line break.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

void AppendFolded(std::string& out, std::string_view line) {
  size_t width = kFoldWidth;
  while (line.size() > width) {
    size_t cut = width;
    while (cut > 1 && IsUtf8Continuation(line[cut])) --cut;
    out.append(line.substr(0, cut));
    out += kCrLf;
    out += ' ';
    line.remove_prefix(cut);
    width = kFoldWidth - 1;
  }
  out.append(line);
  out += kCrLf;
}

// Service codes such as *100# reach a network service, not a handset.
std::string_view TelephoneType(std::string_view number) {
  return number.find_first_of("*#") == std::string_view::npos ? "CELL" : "VOICE";
}

// ---- Reading ----

struct SProperty {
  std::string name;                                             // upper case, group prefix removed
  std::vector<std::pair<std::string, std::string>> parameters;  // upper-case names
  std::string value;

  std::optional<std::string> Parameter(std::string_view wanted) const {
    for (const auto& [key, value] : parameters) {
      if (key == wanted) return value;
    }
    return std::nullopt;
  }
  bool HasBareParameter(std::string_view wanted) const {
    return std::any_of(parameters.begin(), parameters.end(), [&](const auto& p) {
      return p.second.empty() && EqualsNoCase(p.first, wanted);
    });
  }
  bool QuotedPrintable() const {
    const auto encoding = Parameter("ENCODING");
    return (encoding && EqualsNoCase(*encoding, "QUOTED-PRINTABLE")) ||
           HasBareParameter("QUOTED-PRINTABLE");
  }
};

// The part before the value: up to the first colon outside a quoted parameter value.
size_t ValueStart(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

// A logical line as it grows. Whether its value is quoted-printable is settled once its head
// (up to the first colon outside quotes) is complete; the scan goes on where it stopped, so
// thousands of continuation lines cost no more than one long line.
class CLogicalLine {
 public:
  CLogicalLine() = default;
  explicit CLogicalLine(std::string_view first) : m_text(first) {}
  void Append(std::string_view more) { m_text.append(more); }
  std::string& Text() { return m_text; }
  bool QuotedPrintable() {
    while (!m_quotedPrintable && m_scanned < m_text.size()) {
      const char c = m_text[m_scanned++];
      if (c == '"') {
        m_quoted = !m_quoted;
      } else if (c == ':' && !m_quoted) {
        m_quotedPrintable =
            ContainsNoCase(std::string_view(m_text).substr(0, m_scanned - 1), "QUOTED-PRINTABLE");
      }
    }
    return m_quotedPrintable.value_or(false);
  }

 private:
  std::string m_text;
  size_t m_scanned = 0;
  bool m_quoted = false;
  std::optional<bool> m_quotedPrintable;
};

// Physical lines joined into logical ones: a line starting with a space or tab continues the
// one before (3.0 and 2.1 folding), and a quoted-printable value ending in '=' goes on in the
// next line (2.1 soft line breaks). Only the line being joined is held, so a reader that stops
// early never pays for the rest of the file.
class CLogicalLines {
 public:
  explicit CLogicalLines(std::string_view bytes) : m_bytes(bytes) {}

  // The next logical line; false after the last.
  bool Next(std::string& text) {
    while (!m_bytes.empty()) {
      const size_t end = m_bytes.find('\n');
      std::string_view line = m_bytes.substr(0, end);
      m_bytes.remove_prefix(end == std::string_view::npos ? m_bytes.size() : end + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      bool finished = false;
      if (m_softBreak && m_open) {
        m_current.Append(line);
      } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && m_open) {
        m_current.Append(line.substr(1));
      } else if (Trim(line).empty()) {
        m_softBreak = false;
        continue;
      } else {
        finished = Take(text);
        m_current = CLogicalLine(line);
        m_open = true;
      }
      CLogicalLine& last = m_current;
      m_softBreak = !last.Text().empty() && last.Text().back() == '=' && last.QuotedPrintable();
      if (m_softBreak) last.Text().pop_back();
      if (finished) return true;
    }
    return Take(text);
  }

 private:
  bool Take(std::string& text) {
    if (!m_open) return false;
    text = std::move(m_current.Text());
    m_open = false;
    return true;
  }

  std::string_view m_bytes;
  CLogicalLine m_current;
  bool m_open = false;
  bool m_softBreak = false;
};

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

std::optional<SProperty> ParseProperty(std::string_view line) {
  const size_t colon = ValueStart(line);
  if (colon == std::string_view::npos) return std::nullopt;
  SProperty property;
  property.value = line.substr(colon + 1);
  std::string_view head = line.substr(0, colon);
  bool first = true;
  while (true) {
    const size_t semicolon = head.find(';');
    const std::string_view part = head.substr(0, semicolon);
    if (first) {
      const size_t dot = part.rfind('.');
      const std::string_view name = dot == std::string_view::npos ? part : part.substr(dot + 1);
      for (const char c : Trim(name)) property.name += Upper(c);
      first = false;
    } else {
      const size_t equals = part.find('=');
      std::string key;
      for (const char c : Trim(part.substr(0, equals))) key += Upper(c);
      const std::string value =
          equals == std::string_view::npos ? std::string() : Unquote(Trim(part.substr(equals + 1)));
      // 2.1 writes bare types (TEL;CELL;PREF), kept as names with an empty value.
      if (!key.empty()) property.parameters.emplace_back(key, value);
    }
    if (semicolon == std::string_view::npos) break;
    head.remove_prefix(semicolon + 1);
  }
  return property;
}

// "=XX" becomes the byte; an '=' not followed by two hex digits stays as written.
std::string DecodeQuotedPrintable(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size()) {
      const int high = HexDigitValue(text[i + 1]);
      const int low = HexDigitValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    bytes += text[i];
  }
  return bytes;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if (!IsUtf8Continuation(text[i + k])) return false;
    }
    i += length;
  }
  return true;
}

// The Windows code page for a legacy CHARSET name; nothing for the UTF-8 names and for names
// no page is known for.
std::optional<uint32_t> LegacyCodePage(std::string_view charset) {
  struct SNamedPage {
    std::string_view name;
    uint32_t page;
  };
  constexpr SNamedPage kNamed[] = {{"KOI8-R", 20866}, {"KOI8-U", 21866}, {"US-ASCII", 20127},
                                   {"ASCII", 20127},  {"IBM866", 866},   {"CP866", 866},
                                   {"CP1251", 1251},  {"CP1252", 1252},  {"CP1250", 1250}};
  for (const SNamedPage& named : kNamed) {
    if (EqualsNoCase(charset, named.name)) return named.page;
  }
  if (StartsWithNoCase(charset, "windows-") || StartsWithNoCase(charset, "ISO-8859-") ||
      StartsWithNoCase(charset, "ISO8859-") || StartsWithNoCase(charset, "PCCP")) {
    const uint32_t page = CharsetCodePage(charset);
    if (page != Platform::kOemCodePageId) return page;
  }
  return std::nullopt;
}

WideString DecodeValue(const SProperty& property, std::string_view value) {
  const std::string bytes =
      property.QuotedPrintable() ? DecodeQuotedPrintable(value) : std::string(value);
  const std::optional<std::string> charset = property.Parameter("CHARSET");
  if (charset) {
    if (const auto page = LegacyCodePage(*charset)) {
      WideString wide;
      CodePageToWide(*page, bytes, wide);
      return wide;
    }
  }
  // 3.0 is UTF-8 throughout; a 2.1 card without a charset is taken as UTF-8 when it is, else
  // as the system's ANSI page, which is what the Windows programs of its time wrote.
  if (IsValidUtf8(bytes)) return Utf8ToWide(bytes);
  WideString wide;
  CodePageToWide(Platform::kAnsiCodePageId, bytes, wide);
  return wide;
}

// Backslash escapes of 3.0 (and of 2.1 for ';'); components are split before unescaping.
std::vector<std::string> SplitComponents(std::string_view value) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      parts.back() += (next == 'n' || next == 'N') ? '\n' : next;
    } else if (c == ';') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::string Unescape(std::string_view value) {
  std::string text;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      text += (next == 'n' || next == 'N') ? '\n' : next;
    } else {
      text += value[i];
    }
  }
  return text;
}

// Phone names are one line of text: line breaks, tabs and other control characters in a name
// become spaces, and blanks at either end go.
WideString OneLine(const WideString& wide) {
  WideString line = wide;
  std::replace_if(
      line.begin(), line.end(), [](char16_t c) { return c < u' ' || c == u'\x7F'; }, u' ');
  const auto blank = [](char16_t c) { return c == u' '; };
  while (!line.empty() && blank(line.back())) line.pop_back();
  const auto first = std::find_if_not(line.begin(), line.end(), blank);
  return WideString(first, line.end());
}

std::string ToOemLine(const WideString& wide) { return WideToOem(OneLine(wide)); }

struct SCard {
  std::optional<WideString> formattedName;
  std::optional<WideString> structuredName;
  // One more than a file may hold is enough to refuse it.
  std::vector<std::string> numbers;
};

void TakeProperty(SCard& card, const SProperty& property) {
  if (property.name == "FN") {
    const WideString wide = DecodeValue(property, property.value);
    card.formattedName = OneLine(Utf8ToWide(Unescape(WideToUtf8(wide))));
  } else if (property.name == "N") {
    // family;given;additional;prefixes;suffixes, shown as "given family".
    const WideString wide = DecodeValue(property, property.value);
    const std::vector<std::string> parts = SplitComponents(WideToUtf8(wide));
    std::string name;
    for (const size_t index : {size_t{1}, size_t{0}}) {
      if (index < parts.size() && !Trim(parts[index]).empty()) {
        if (!name.empty()) name += ' ';
        name += Trim(parts[index]);
      }
    }
    card.structuredName = OneLine(Utf8ToWide(name));
  } else if (property.name == "TEL") {
    std::string_view raw = property.value;
    if (StartsWithNoCase(raw, "tel:")) raw.remove_prefix(4);
    const WideString wide = DecodeValue(property, raw);
    const std::string number = ToOemLine(Utf8ToWide(Unescape(WideToUtf8(wide))));
    if (!number.empty() && card.numbers.size() <= kMostContactsPerFile) {
      card.numbers.push_back(number);
    }
  }
}

// False once the file holds more contacts than an import takes.
bool FinishCard(const SCard& card, ContactFile& file) {
  if (card.numbers.empty()) {
    ++file.Skipped;
    return true;
  }
  WideString name;
  if (card.formattedName && !card.formattedName->empty()) {
    name = *card.formattedName;
  } else if (card.structuredName) {
    name = *card.structuredName;
  }
  name.resize(std::min(name.size(), kLongestImportedName));
  std::string oemName = WideToOem(name);
  // The UTF-16 form is kept only where the host's code page loses letters of it.
  if (OemToWide(oemName) == name) name.clear();
  file.AddName(std::move(oemName), std::move(name));
  for (size_t i = 0; i < card.numbers.size(); ++i) {
    if (!file.AddNumber(card.numbers[i], i == 0 ? 0 : static_cast<uint32_t>(i + 1))) return false;
  }
  return true;
}

std::string_view AfterBlankLines(std::string_view bytes) {
  const size_t first = bytes.find_first_not_of(" \t\r\n");
  return first == std::string_view::npos ? std::string_view() : bytes.substr(first);
}

}  // namespace

bool LooksLikeVCard(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  return StartsWithNoCase(AfterBlankLines(bytes), "BEGIN:VCARD");
}

std::string VCardFromContact(const Contact& contact) {
  const WideString wide = contact.WideName.empty() ? OemToWide(contact.Name) : contact.WideName;
  const std::string name = EscapeText(WideToUtf8(wide));
  const std::string number = EscapeText(contact.Number);
  std::string card;
  AppendFolded(card, "BEGIN:VCARD");
  AppendFolded(card, "VERSION:3.0");
  AppendFolded(card, "FN:" + name);
  // A phone keeps one name, not its parts: it goes whole into the family name.
  AppendFolded(card, "N:" + name + ";;;;");
  AppendFolded(card, "TEL;TYPE=" + std::string(TelephoneType(contact.Number)) + ":" + number);
  AppendFolded(card, "END:VCARD");
  return card;
}

ContactFile ReadVCards(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  ContactFile file;
  std::optional<SCard> card;
  CLogicalLines lines(bytes);
  std::string line;
  while (lines.Next(line)) {
    const std::optional<SProperty> property = ParseProperty(line);
    if (!property) continue;
    if (property->name == "BEGIN" && EqualsNoCase(Trim(property->value), "VCARD")) {
      // A card left open is taken as far as it went.
      if (card && !FinishCard(*card, file)) return file;
      card.emplace();
    } else if (property->name == "END" && EqualsNoCase(Trim(property->value), "VCARD")) {
      if (card && !FinishCard(*card, file)) return file;
      card.reset();
    } else if (card) {
      TakeProperty(*card, *property);
    }
  }
  if (card) FinishCard(*card, file);
  return file;
}
