#include "platform/codepage.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/error.h"
#include "platform/posix/codepage_tables.h"
#include "platform/posix/posix_backend.h"

// The caches below (converters, single-byte tables, conversion and case tables) are built on
// first use and kept for the process, unguarded: the plug-in runs on the host's one thread.

namespace Platform {
namespace {

constexpr uint32_t kUtf16 = 1200;
constexpr uint32_t kAscii = 20127;
constexpr uint32_t kUtf8 = 65001;
constexpr uint32_t kIso8859First = 28591;  // 28591 to 28599 are ISO-8859-1 to -9
constexpr uint32_t kIso8859Last = 28599;
constexpr uint32_t kIso8859Part13 = 28603;
constexpr uint32_t kIso8859Part15 = 28605;
constexpr uint32_t kKoi8R = 20866;  // iconv knows these by name only, not as CP20866
constexpr uint32_t kKoi8U = 21866;
constexpr char16_t kReplacement = u'\uFFFD';
constexpr const char* kWideName =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1));
constexpr size_t kIconvFailed = static_cast<size_t>(-1);

std::optional<uint32_t> CodePageFromEnvironment(const char* variable) {
  const char* text = std::getenv(variable);
  if (text == nullptr) return std::nullopt;
  const std::string_view value(text);
  uint32_t page = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), page);
  // 0 and 1 name the ANSI and OEM pages themselves, so they cannot define them.
  if (error != std::errc() || end != value.data() + value.size() || page <= kOemCodePageId) {
    return std::nullopt;
  }
  return page;
}

bool RussianLanguage() {
  const char* language = std::getenv("LANG");
  return language != nullptr && std::string_view(language).starts_with("ru");
}

uint32_t ActualCodePage(uint32_t codePage) {
  if (codePage == kAnsiCodePageId) return AnsiCodePage();
  if (codePage == kOemCodePageId) return OemCodePage();
  return codePage;
}

std::string IconvName(uint32_t codePage) {
  if (codePage == kUtf8) return "UTF-8";
  if (codePage == kAscii) return "ASCII";
  if (codePage == kUtf16) return "UTF-16LE";
  if (codePage >= kIso8859First && codePage <= kIso8859Last) {
    return "ISO-8859-" + std::to_string(codePage - kIso8859First + 1);
  }
  if (codePage == kIso8859Part13) return "ISO-8859-13";
  if (codePage == kIso8859Part15) return "ISO-8859-15";
  if (codePage == kKoi8R) return "KOI8-R";
  if (codePage == kKoi8U) return "KOI8-U";
  return "CP" + std::to_string(codePage);
}

class CConverter {
 public:
  CConverter(const std::string& to, const std::string& from)
      : m_handle(iconv_open(to.c_str(), from.c_str())) {}
  ~CConverter() {
    if (IsOpen()) iconv_close(m_handle);
  }
  CConverter(const CConverter&) = delete;
  CConverter& operator=(const CConverter&) = delete;
  bool IsOpen() const { return m_handle != kNoConverter; }
  void Reset() { iconv(m_handle, nullptr, nullptr, nullptr, nullptr); }
  size_t Raw(char** in, size_t* inLeft, char** out, size_t* outLeft) {
    return iconv(m_handle, in, inLeft, out, outLeft);
  }
  // Converts what it can; returns false at an input it cannot take (errno tells why).
  bool Convert(std::string_view& input, std::string& output) {
    std::array<char, 512> chunk{};
    auto* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    for (;;) {
      char* out = chunk.data();
      size_t outLeft = chunk.size();
      const size_t result = iconv(m_handle, &in, &inLeft, &out, &outLeft);
      output.append(chunk.data(), chunk.size() - outLeft);
      input.remove_prefix(input.size() - inLeft);
      if (result != kIconvFailed) return true;
      if (errno != E2BIG) return false;
    }
  }
  // Ends the output in the initial shift state, for the few pages that have one.
  void Finish(std::string& output) {
    std::array<char, 16> chunk{};
    char* out = chunk.data();
    size_t outLeft = chunk.size();
    iconv(m_handle, nullptr, nullptr, &out, &outLeft);
    output.append(chunk.data(), chunk.size() - outLeft);
  }

 private:
  iconv_t m_handle;
};

// Descriptors by direction and code page.
CConverter* Converter(uint32_t codePage, bool toWide) {
  static std::map<std::pair<uint32_t, bool>, std::unique_ptr<CConverter>> converters;
  auto& slot = converters[{codePage, toWide}];
  if (!slot) {
    const std::string name = IconvName(codePage);
    slot = toWide ? std::make_unique<CConverter>(kWideName, name)
                  : std::make_unique<CConverter>(name, kWideName);
  }
  if (slot->IsOpen()) return slot.get();
  Posix::Fail(kErrorInvalidParameter);
  return nullptr;
}

std::u16string WideFromBytes(const std::string& bytes) {
  std::u16string wide(bytes.size() / sizeof(char16_t), u'\0');
  bytes.copy(reinterpret_cast<char*>(wide.data()), wide.size() * sizeof(char16_t));
  return wide;
}

size_t UnitsOfCharacterAt(std::u16string_view wide, size_t at) {
  const bool pair = at + 1 < wide.size() && wide[at] >= 0xD800 && wide[at] <= 0xDBFF &&
                    wide[at + 1] >= 0xDC00 && wide[at + 1] <= 0xDFFF;
  return pair ? 2 : 1;
}

// One byte through a code page to one UTF-16 unit and back; nothing when it does not map
// to exactly one.
std::optional<char16_t> UnitOfByte(uint32_t codePage, unsigned char byte) {
  CConverter* converter = Converter(codePage, true);
  if (converter == nullptr) return std::nullopt;
  converter->Reset();
  const char input = static_cast<char>(byte);
  std::string_view rest(&input, 1);
  std::string output;
  if (!converter->Convert(rest, output) || output.size() != sizeof(char16_t)) return std::nullopt;
  return WideFromBytes(output)[0];
}

std::optional<unsigned char> ByteOfUnit(uint32_t codePage, char16_t unit) {
  CConverter* converter = Converter(codePage, false);
  if (converter == nullptr) return std::nullopt;
  converter->Reset();
  std::string_view rest(reinterpret_cast<const char*>(&unit), sizeof unit);
  std::string output;
  if (!converter->Convert(rest, output) || output.size() != 1) return std::nullopt;
  return static_cast<unsigned char>(output[0]);
}

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

struct CAlone {
  std::string m_output;
  // iconv refused the input as invalid, giving nothing.
  bool m_refused = false;
  // Neither asked for more input nor held anything back for a character to come.
  bool m_complete = false;
};

// One character's bytes on their own, from the initial shift state.
CAlone ConvertAlone(CConverter& converter, std::string_view input) {
  CAlone result;
  converter.Reset();
  const bool converted = converter.Convert(input, result.m_output);
  result.m_refused = !converted && errno == EILSEQ && result.m_output.empty();
  std::string heldBack;
  converter.Finish(heldBack);
  result.m_complete = (converted || result.m_refused) && heldBack.empty();
  return result;
}

// A page where each byte is one UTF-16 unit or none and each unit one byte or none, with no
// state between characters, converts through two tables that give exactly what iconv gives a
// character at a time, at a fraction of the cost. Pages with lead bytes are not of this kind,
// nor those whose glibc converter joins or splits accents (1255, 1258): they stay with iconv.
// No such page shows a character beyond U+FFFF, so a surrogate pair is always one default
// character.
class CSingleBytePage {
 public:
  // Nothing when iconv does not know the page or it is not of that kind.
  static std::unique_ptr<CSingleBytePage> Build(uint32_t codePage) {
    const std::string name = IconvName(codePage);
    CConverter toWide(kWideName, name);
    CConverter fromWide(name, kWideName);
    if (!toWide.IsOpen() || !fromWide.IsOpen()) return nullptr;
    auto page = std::make_unique<CSingleBytePage>();
    for (size_t byte = 0; byte < page->m_unitOfByte.size(); ++byte) {
      const char input = static_cast<char>(byte);
      const CAlone alone = ConvertAlone(toWide, std::string_view(&input, 1));
      if (!alone.m_complete || (!alone.m_refused && alone.m_output.size() != sizeof(char16_t))) {
        return nullptr;
      }
      page->m_unitOfByte[byte] = alone.m_refused ? kReplacement : WideFromBytes(alone.m_output)[0];
    }
    if (!page->ReadBytesOfUnits(fromWide)) return nullptr;
    const char16_t question = u'?';
    page->m_defaultCharacter =
        ConvertAlone(fromWide,
                     std::string_view(reinterpret_cast<const char*>(&question), sizeof question))
            .m_output;
    return page;
  }

  void ToWide(std::string_view bytes, std::u16string& wide) const {
    wide.resize(bytes.size());
    for (size_t at = 0; at < bytes.size(); ++at) {
      wide[at] = m_unitOfByte[static_cast<unsigned char>(bytes[at])];
    }
  }

  void FromWide(std::u16string_view wide, std::string& bytes) const {
    bytes.clear();
    bytes.reserve(wide.size());
    for (size_t at = 0; at < wide.size(); ++at) {
      const uint16_t byte = m_byteOfUnit[wide[at]];
      if (byte != kUnmapped) {
        bytes.push_back(static_cast<char>(byte));
        continue;
      }
      at += UnitsOfCharacterAt(wide, at) - 1;
      bytes += m_defaultCharacter;
    }
  }

 private:
  // Each unit but the surrogates on its own, straight through iconv into a small buffer: the
  // string-building conversions would make this the bulk of the build's cost.
  bool ReadBytesOfUnits(CConverter& fromWide) {
    m_byteOfUnit.fill(kUnmapped);
    for (size_t unit = 0; unit < m_byteOfUnit.size(); ++unit) {
      auto wide = static_cast<char16_t>(unit);
      if (IsSurrogate(wide)) continue;
      auto* in = reinterpret_cast<char*>(&wide);
      size_t inLeft = sizeof wide;
      std::array<char, 8> bytes{};
      char* out = bytes.data();
      size_t outLeft = bytes.size();
      if (fromWide.Raw(&in, &inLeft, &out, &outLeft) == kIconvFailed) {
        if (errno != EILSEQ || outLeft != bytes.size()) return false;
        fromWide.Reset();
        continue;
      }
      // Whatever the converter held back counts as this unit's output too.
      fromWide.Raw(nullptr, nullptr, &out, &outLeft);
      if (bytes.size() - outLeft != 1) return false;
      m_byteOfUnit[unit] = static_cast<unsigned char>(bytes[0]);
    }
    return true;
  }

  static constexpr uint16_t kUnmapped = 0x100;
  std::array<char16_t, 256> m_unitOfByte{};
  std::array<uint16_t, 0x10000> m_byteOfUnit{};
  std::string m_defaultCharacter;
};

struct CPageTables {
  uint32_t m_page = 0;
  std::unique_ptr<CSingleBytePage> m_tables;
};

// Built once per page and never changed or freed after that. The page asked for last is
// found without the map: nearly every call asks for it again.
const CSingleBytePage* SingleBytePage(uint32_t codePage) {
  static const CPageTables* last = nullptr;
  if (last != nullptr && last->m_page == codePage) return last->m_tables.get();
  static std::map<uint32_t, CPageTables> pages;
  const auto [slot, added] = pages.try_emplace(codePage);
  if (added) slot->second = CPageTables{codePage, CSingleBytePage::Build(codePage)};
  last = &slot->second;
  return slot->second.m_tables.get();
}

using ByteTable = std::array<unsigned char, 256>;

// A byte that has no counterpart stays as it is (Windows would pick a look-alike instead).
ByteTable BuildTable(uint32_t fromPage, uint32_t toPage, wint_t (*change)(wint_t, locale_t),
                     locale_t locale) {
  ByteTable table{};
  for (size_t byte = 0; byte < table.size(); ++byte) {
    table[byte] = static_cast<unsigned char>(byte);
    const std::optional<char16_t> unit = UnitOfByte(fromPage, static_cast<unsigned char>(byte));
    if (!unit) continue;
    const wint_t changed = change != nullptr ? change(*unit, locale) : *unit;
    if (changed > 0xFFFF) continue;
    const auto mapped = ByteOfUnit(toPage, static_cast<char16_t>(changed));
    if (mapped) table[byte] = *mapped;
  }
  return table;
}

const ByteTable& ConversionTable(uint32_t fromPage, uint32_t toPage) {
  static std::map<std::pair<uint32_t, uint32_t>, ByteTable> tables;
  const auto key = std::make_pair(fromPage, toPage);
  auto found = tables.find(key);
  if (found == tables.end()) {
    found = tables.emplace(key, BuildTable(fromPage, toPage, nullptr, nullptr)).first;
  }
  return found->second;
}

// Letter case from Unicode's tables, whatever locale the host set.
class CUnicodeLocale {
 public:
  CUnicodeLocale() : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {}
  ~CUnicodeLocale() {
    if (m_locale != locale_t{}) freelocale(m_locale);
  }
  CUnicodeLocale(const CUnicodeLocale&) = delete;
  CUnicodeLocale& operator=(const CUnicodeLocale&) = delete;
  locale_t Get() const { return m_locale; }

 private:
  locale_t m_locale;
};

char ChangeCase(char c, bool upper) {
  static const CUnicodeLocale unicode;
  static std::map<std::pair<uint32_t, bool>, ByteTable> tables;
  if (unicode.Get() == locale_t{}) return c;
  const uint32_t page = AnsiCodePage();
  const auto key = std::make_pair(page, upper);
  auto found = tables.find(key);
  if (found == tables.end()) {
    const auto change = upper ? towupper_l : towlower_l;
    found = tables.emplace(key, BuildTable(page, page, change, unicode.Get())).first;
  }
  return static_cast<char>(found->second[static_cast<unsigned char>(c)]);
}

std::string MapBytes(std::string_view text, const ByteTable& table) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return result;
}

}  // namespace

uint32_t OemCodePage() {
  constexpr uint32_t kRussian = 866;
  constexpr uint32_t kEnglish = 437;
  if (const auto page = CodePageFromEnvironment("ZANTEL_OEMCP")) return *page;
  return RussianLanguage() ? kRussian : kEnglish;
}

uint32_t AnsiCodePage() {
  constexpr uint32_t kRussian = 1251;
  constexpr uint32_t kEnglish = 1252;
  if (const auto page = CodePageFromEnvironment("ZANTEL_ACP")) return *page;
  return RussianLanguage() ? kRussian : kEnglish;
}

bool MultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& wide) {
  const uint32_t page = ActualCodePage(codePage);
  if (const CSingleBytePage* table = SingleBytePage(page)) {
    table->ToWide(bytes, wide);
    return true;
  }
  return Posix::IconvMultiByteToWide(page, bytes, wide);
}

bool WideToMultiByte(uint32_t codePage, std::u16string_view wide, std::string& bytes) {
  const uint32_t page = ActualCodePage(codePage);
  if (const CSingleBytePage* table = SingleBytePage(page)) {
    table->FromWide(wide, bytes);
    return true;
  }
  return Posix::IconvWideToMultiByte(page, wide, bytes);
}

namespace Posix {

bool HasSingleByteTable(uint32_t codePage) { return SingleBytePage(codePage) != nullptr; }

// Each byte the page cannot decode becomes U+FFFD, and decoding goes on after it.
bool IconvMultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& wide) {
  wide.clear();
  CConverter* converter = Converter(ActualCodePage(codePage), true);
  if (converter == nullptr) return false;
  converter->Reset();
  std::string units;
  // A letter held back to see whether an accent follows (1255, 1258) comes out when the
  // converter is flushed: before the replacement of a bad byte, and at the end.
  while (!converter->Convert(bytes, units) && !bytes.empty()) {
    converter->Finish(units);
    units.append(reinterpret_cast<const char*>(&kReplacement), sizeof kReplacement);
    bytes.remove_prefix(1);
    converter->Reset();
  }
  converter->Finish(units);
  wide = WideFromBytes(units);
  return true;
}

// Each character the page cannot show (a surrogate pair being one character) becomes the
// page's own question mark.
bool IconvWideToMultiByte(uint32_t codePage, std::u16string_view wide, std::string& bytes) {
  bytes.clear();
  CConverter* converter = Converter(ActualCodePage(codePage), false);
  if (converter == nullptr) return false;
  converter->Reset();
  const std::string_view all(reinterpret_cast<const char*>(wide.data()),
                             wide.size() * sizeof(char16_t));
  std::string_view rest = all;
  while (!converter->Convert(rest, bytes) && !rest.empty()) {
    const size_t at = (all.size() - rest.size()) / sizeof(char16_t);
    rest.remove_prefix(UnitsOfCharacterAt(wide, at) * sizeof(char16_t));
    const char16_t question = u'?';
    std::string_view mark(reinterpret_cast<const char*>(&question), sizeof question);
    converter->Reset();
    converter->Convert(mark, bytes);
  }
  converter->Finish(bytes);
  return true;
}

}  // namespace Posix

std::string OemToAnsi(std::string_view oem) {
  return MapBytes(oem, ConversionTable(OemCodePage(), AnsiCodePage()));
}

std::string AnsiToOem(std::string_view ansi) {
  return MapBytes(ansi, ConversionTable(AnsiCodePage(), OemCodePage()));
}

char AnsiUpper(char c) { return ChangeCase(c, true); }

char AnsiLower(char c) { return ChangeCase(c, false); }

}  // namespace Platform
