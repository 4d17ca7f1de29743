#include "phonesim/charset.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <vector>

#include "phonesim/hex.h"

namespace PhoneSim {
namespace {

constexpr char32_t kNone = 0xFFFFFFFF;
constexpr uint8_t kEscape = 0x1B;

// GSM 03.38 default alphabet; 0x1B is the escape to the extension table.
constexpr std::array<char32_t, 128> kDefaultAlphabet = {
    U'@', U'£', U'$', U'¥', U'è', U'é', U'ù', U'ì', U'ò', U'Ç',  U'\n', U'Ø', U'ø',  U'\r', U'Å',
    U'å', U'Δ', U'_', U'Φ', U'Γ', U'Λ', U'Ω', U'Π', U'Ψ', U'Σ',  U'Θ',  U'Ξ', kNone, U'Æ',  U'æ',
    U'ß', U'É', U' ', U'!', U'"', U'#', U'¤', U'%', U'&', U'\'', U'(',  U')', U'*',  U'+',  U',',
    U'-', U'.', U'/', U'0', U'1', U'2', U'3', U'4', U'5', U'6',  U'7',  U'8', U'9',  U':',  U';',
    U'<', U'=', U'>', U'?', U'¡', U'A', U'B', U'C', U'D', U'E',  U'F',  U'G', U'H',  U'I',  U'J',
    U'K', U'L', U'M', U'N', U'O', U'P', U'Q', U'R', U'S', U'T',  U'U',  U'V', U'W',  U'X',  U'Y',
    U'Z', U'Ä', U'Ö', U'Ñ', U'Ü', U'§', U'¿', U'a', U'b', U'c',  U'd',  U'e', U'f',  U'g',  U'h',
    U'i', U'j', U'k', U'l', U'm', U'n', U'o', U'p', U'q', U'r',  U's',  U't', U'u',  U'v',  U'w',
    U'x', U'y', U'z', U'ä', U'ö', U'ñ', U'ü', U'à'};

struct Extension {
  uint8_t code;
  char32_t character;
};
constexpr std::array<Extension, 10> kExtensionTable = {{{0x0A, U'\f'},
                                                        {0x14, U'^'},
                                                        {0x28, U'{'},
                                                        {0x29, U'}'},
                                                        {0x2F, U'\\'},
                                                        {0x3C, U'['},
                                                        {0x3D, U'~'},
                                                        {0x3E, U']'},
                                                        {0x40, U'|'},
                                                        {0x65, U'€'}}};

using CodePoints = std::u32string;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
std::optional<CodePoints> FromUtf8(std::string_view text) {
  CodePoints out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      c = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (extra > 0 && i + extra >= text.size()) return std::nullopt;
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (!IsContinuation(next)) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    static constexpr std::array<char32_t, 4> kSmallest = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      return std::nullopt;
    }
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string ToUtf8(const CodePoints& text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::optional<std::string> ToGsmCodes(const CodePoints& text) {
  std::string out;
  for (char32_t c : text) {
    bool found = false;
    for (size_t code = 0; code < kDefaultAlphabet.size() && !found; ++code) {
      if (kDefaultAlphabet[code] == c) {
        out.push_back(static_cast<char>(code));
        found = true;
      }
    }
    for (const Extension& extension : kExtensionTable) {
      if (found) break;
      if (extension.character == c) {
        out.push_back(static_cast<char>(kEscape));
        out.push_back(static_cast<char>(extension.code));
        found = true;
      }
    }
    if (!found) return std::nullopt;
  }
  return out;
}

// An escape followed by a code the extension table lacks shows that code's character of the
// default alphabet, as GSM 03.38 asks of a receiver; a lone escape at the end is dropped.
std::optional<CodePoints> FromGsmCodes(std::string_view codes) {
  CodePoints out;
  for (size_t i = 0; i < codes.size(); ++i) {
    const auto code = static_cast<uint8_t>(codes[i]);
    if (code > 0x7F) return std::nullopt;
    if (code != kEscape) {
      out.push_back(kDefaultAlphabet[code]);
      continue;
    }
    if (++i == codes.size()) break;
    const auto next = static_cast<uint8_t>(codes[i]);
    if (next > 0x7F) return std::nullopt;
    char32_t c = kDefaultAlphabet[next];
    for (const Extension& extension : kExtensionTable) {
      if (extension.code == next) c = extension.character;
    }
    out.push_back(c == kNone ? U' ' : c);
  }
  return out;
}

// Groups of `width` hex digits; nullopt on anything else or a short last group.
std::optional<std::vector<uint32_t>> ParseHexGroups(std::string_view hex, size_t width) {
  if (hex.size() % width != 0) return std::nullopt;
  std::vector<uint32_t> values;
  for (size_t i = 0; i < hex.size(); i += width) {
    uint32_t value = 0;
    for (size_t k = 0; k < width; ++k) {
      const int digit = HexDigit(hex[i + k]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<uint32_t>(digit);
    }
    values.push_back(value);
  }
  return values;
}

std::string ToUcs2(const CodePoints& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x10000) {
      AppendHex(out, c, 4);
    } else {
      const char32_t offset = c - 0x10000;
      AppendHex(out, 0xD800 + (offset >> 10), 4);
      AppendHex(out, 0xDC00 + (offset & 0x3FF), 4);
    }
  }
  return out;
}

std::optional<CodePoints> FromUcs2(std::string_view hex) {
  const auto units = ParseHexGroups(hex, 4);
  if (!units) return std::nullopt;
  CodePoints out;
  for (size_t i = 0; i < units->size(); ++i) {
    const uint32_t unit = (*units)[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 1 < units->size() && (*units)[i + 1] >= 0xDC00 && (*units)[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((unit - 0xD800) << 10) + ((*units)[++i] - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return std::nullopt;
    } else {
      out.push_back(unit);
    }
  }
  return out;
}

struct IconvCloser {
  void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// The whole text or nothing: a character the target cannot hold fails the conversion.
std::optional<std::string> Iconv(std::string_view text, const char* from, const char* to) {
  const iconv_t raw = iconv_open(to, from);
  if (raw == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const IconvHandle handle(raw);
  std::string input(text);
  std::string output(text.size() * 4 + 4, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  if (iconv(handle.get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
    return std::nullopt;
  }
  output.resize(output.size() - outLeft);
  return output;
}

const char* IconvName(std::string_view charset) {
  if (charset == "8859-1") return "ISO-8859-1";
  if (charset == "PCCP437") return "CP437";
  return nullptr;
}

}  // namespace

std::optional<std::string> EncodeText(std::string_view utf8, std::string_view charset) {
  const auto text = FromUtf8(utf8);
  if (!text) return std::nullopt;
  if (charset == "UTF-8") return std::string(utf8);
  if (charset == "UCS2") return ToUcs2(*text);
  if (charset == "GSM") return ToGsmCodes(*text);
  if (charset == "HEX") {
    const auto codes = ToGsmCodes(*text);
    if (!codes) return std::nullopt;
    std::string out;
    for (char code : *codes) AppendHex(out, static_cast<uint8_t>(code), 2);
    return out;
  }
  if (charset == "IRA") {
    for (char32_t c : *text) {
      if (c > 0x7F) return std::nullopt;
    }
    return std::string(utf8);
  }
  if (const char* name = IconvName(charset)) return Iconv(utf8, "UTF-8", name);
  return std::nullopt;
}

std::optional<std::string> DecodeText(std::string_view bytes, std::string_view charset) {
  if (charset == "UTF-8") {
    if (!FromUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  std::optional<CodePoints> text;
  if (charset == "UCS2") {
    text = FromUcs2(bytes);
  } else if (charset == "GSM") {
    text = FromGsmCodes(bytes);
  } else if (charset == "HEX") {
    const auto codes = ParseHexGroups(bytes, 2);
    if (!codes) return std::nullopt;
    std::string raw(codes->begin(), codes->end());
    text = FromGsmCodes(raw);
  } else if (charset == "IRA") {
    for (char c : bytes) {
      if (static_cast<unsigned char>(c) > 0x7F) return std::nullopt;
    }
    return std::string(bytes);
  } else if (const char* name = IconvName(charset)) {
    return Iconv(bytes, name, "UTF-8");
  }
  if (!text) return std::nullopt;
  return ToUtf8(*text);
}

std::string EncodeTextLossy(std::string_view utf8, std::string_view charset) {
  if (const auto whole = EncodeText(utf8, charset)) return *whole;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    size_t length = 1;
    while (i + length < utf8.size() &&
           IsContinuation(static_cast<unsigned char>(utf8[i + length]))) {
      ++length;
    }
    const auto one = EncodeText(utf8.substr(i, length), charset);
    out += one ? *one : EncodeText("?", charset).value_or("?");
    i += length;
  }
  return out;
}

bool NeedsEscapes(std::string_view charset) { return charset != "UCS2" && charset != "HEX"; }

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (char c : utf8) {
    if (!IsContinuation(static_cast<unsigned char>(c))) ++count;
  }
  return count;
}

}  // namespace PhoneSim
