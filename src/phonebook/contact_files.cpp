#include "phonebook/contact_files.h"

#include <algorithm>
#include <optional>

#include "encoding/charset.h"
#include "phonebook/vcard.h"
#include "regex/regex.h"
#include "settings/settings.h"

static_assert(kLastExportFormat == static_cast<uint32_t>(kLastOutFormat),
              "the settings loader must accept every export format");
static_assert(static_cast<uint32_t>(ExportFormat::VCard) == kLastExportFormat);

namespace {

constexpr std::string_view kAddressBookSignature = "ABZT";
constexpr std::string_view kSingleContactSignature = "TZBA";
constexpr uint32_t kNameTag = 0;
constexpr uint32_t kFirstPhoneTag = 0x10200;
constexpr uint32_t kLastPhoneTag = 0x102FF;
constexpr uint32_t kExportPhoneTag = 0x10209;
constexpr size_t kLongestTextLine = 2048;
// Far deeper than any address book nests its groups, and shallow enough for any stack.
constexpr int kMaxGroupDepth = 32;

// ---- Writing ----

void AppendU16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void AppendU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

bool IsLineSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Lines are read one by one, so a line break inside a name would split the record.
std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

// A field is quoted only when reading it back plainly would change it: when it holds a
// separator or a quote, or begins or ends with white space. Plain names stay as they were.
std::string QuotedIfNeeded(std::string_view text, std::string_view separators) {
  const bool plain = text.find_first_of(separators) == std::string_view::npos &&
                     text.find('"') == std::string_view::npos &&
                     (text.empty() || (!IsLineSpace(text.front()) && !IsLineSpace(text.back())));
  if (plain) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string AddressBookContact(const Contact& contact) {
  constexpr size_t kMaxName = 0xFFFF;
  const std::string_view name = std::string_view(contact.Name).substr(0, kMaxName);
  std::string out;
  AppendU16(out, static_cast<uint16_t>(name.size()));
  out += name;
  AppendU32(out, 1);
  AppendU32(out, kExportPhoneTag);
  AppendU32(out, static_cast<uint32_t>(contact.Number.size() + 1));
  out += contact.Number;
  out += '\0';
  return out;
}

// ---- Reading the address book ----

// Every read is checked against the bytes left; the first that does not fit stops the file.
class CByteReader {
 public:
  explicit CByteReader(std::string_view bytes) : m_bytes(bytes) {}

  std::optional<uint32_t> Number(size_t size) {
    const std::optional<std::string_view> bytes = Take(size);
    if (!bytes) return std::nullopt;
    uint32_t value = 0;
    for (size_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>((*bytes)[i]);
    return value;
  }
  std::optional<std::string_view> Take(size_t size) {
    if (size > m_bytes.size()) {
      m_bytes = {};
      return std::nullopt;
    }
    const std::string_view taken = m_bytes.substr(0, size);
    m_bytes.remove_prefix(size);
    return taken;
  }

 private:
  std::string_view m_bytes;
};

std::string UpToZero(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string NameUpToZero(std::string_view text) {
  return UpToZero(text.substr(0, kLongestImportedName));
}

// A contact's fields; false when the file ended inside them.
bool ReadFieldList(CByteReader& reader, std::string name, ContactFile& file) {
  const std::optional<uint32_t> count = reader.Number(4);
  if (!count) return false;
  bool anyNumber = false;
  // A name field may follow numbers; those keep the name they were read with.
  bool nameAdded = false;
  // Each field takes at least eight bytes, so a huge count ends at the end of the file.
  for (uint32_t i = 0; i < *count; ++i) {
    const std::optional<uint32_t> tag = reader.Number(4);
    const std::optional<uint32_t> length = tag ? reader.Number(4) : std::nullopt;
    const std::optional<std::string_view> data = length ? reader.Take(*length) : std::nullopt;
    if (!data) {
      if (!anyNumber) ++file.Skipped;
      return false;
    }
    if (*tag == kNameTag) {
      name = NameUpToZero(*data);
      nameAdded = false;
    } else if (*tag >= kFirstPhoneTag && *tag <= kLastPhoneTag) {
      std::string number = UpToZero(*data);
      if (number.empty()) continue;
      if (!nameAdded) file.AddName(name);
      nameAdded = true;
      if (!file.AddNumber(std::move(number))) return false;
      anyNumber = true;
    }
  }
  if (!anyNumber) ++file.Skipped;
  return true;
}

// A group's subgroups (their names are not kept) and then its own contacts; false when the file
// ended or nested too deep, which stops the whole file with what was read so far.
bool ReadGroup(CByteReader& reader, int depth, ContactFile& file) {
  const std::optional<uint32_t> groups = reader.Number(4);
  const std::optional<uint32_t> contacts = groups ? reader.Number(4) : std::nullopt;
  if (!contacts) return false;
  for (uint32_t i = 0; i < *groups; ++i) {
    if (depth >= kMaxGroupDepth) return false;
    const std::optional<uint32_t> nameLength = reader.Number(2);
    if (!nameLength || !reader.Take(*nameLength)) return false;
    if (!ReadGroup(reader, depth + 1, file)) return false;
  }
  for (uint32_t i = 0; i < *contacts; ++i) {
    const std::optional<uint32_t> nameLength = reader.Number(2);
    const std::optional<std::string_view> name =
        nameLength ? reader.Take(*nameLength) : std::nullopt;
    if (!name || !ReadFieldList(reader, NameUpToZero(*name), file)) return false;
  }
  return true;
}

// ---- Reading text and CSV ----

// The next line up to and including its line feed, trailing white space removed; the last line
// needs no line feed. Lines are taken one at a time, so millions of empty ones cost nothing.
std::string_view NextTextLine(std::string_view& bytes) {
  const size_t end = bytes.find('\n');
  std::string_view line = bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
  bytes.remove_prefix(line.size());
  while (!line.empty() && IsLineSpace(line.back())) line.remove_suffix(1);
  return line;
}

bool IsSeparator(char c) { return c == ':' || c == ';' || c == ','; }

// A field in double quotes with inner quotes doubled; nothing when the text is not exactly that.
std::optional<std::string> QuotedField(std::string_view text, size_t& end) {
  if (text.empty() || text[0] != '"') return std::nullopt;
  std::string field;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '"') {
      field += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      field += '"';
      ++i;
    } else {
      end = i + 1;
      return field;
    }
  }
  return std::nullopt;
}

// What the exports write when a name must be quoted: "name" separator number, where the number
// may be quoted too. Lines of another shape go to the general pattern.
std::optional<Contact> QuotedNameLine(std::string_view line) {
  size_t end = 0;
  const std::optional<std::string> name = QuotedField(line, end);
  if (!name) return std::nullopt;
  std::string_view rest = line.substr(end);
  while (!rest.empty() && IsLineSpace(rest.front())) rest.remove_prefix(1);
  if (rest.empty() || !IsSeparator(rest.front())) return std::nullopt;
  rest.remove_prefix(1);
  while (!rest.empty() && IsLineSpace(rest.front())) rest.remove_prefix(1);
  size_t numberEnd = 0;
  if (const std::optional<std::string> number = QuotedField(rest, numberEnd)) {
    if (numberEnd == rest.size()) return Contact{*name, *number};
  }
  return Contact{*name, std::string(rest)};
}

bool IsOwnHeader(std::string_view line) {
  constexpr std::string_view kTextHeader = "Phone Book: \"";
  return line == "Name,Phone" ||
         (line.starts_with(kTextHeader) && line.size() > kTextHeader.size() && line.back() == '"');
}

ContactFile ReadTextLines(std::string_view bytes) {
  static CRegex pattern(R"re(^"?(.*?)"?\s*[:;,]\s*"?(.*?)"?$)re", 0);
  ContactFile file;
  for (bool first = true; !bytes.empty(); first = false) {
    const std::string_view line = NextTextLine(bytes);
    // The headers our own exports begin with would otherwise come back as a contact.
    if (first && IsOwnHeader(line)) continue;
    std::optional<Contact> contact = QuotedNameLine(line);
    if (!contact) {
      GroupList groups;
      // The pattern's cost grows with the square of a line's white space; no phone entry needs
      // more than this, so a huge line costs no more than a few ordinary ones.
      const std::string subject(line.substr(0, kLongestTextLine));
      if (!pattern.Match(subject, 0, &groups) || groups.size() < 2) continue;
      contact = Contact{groups[1], groups.size() > 2 ? groups[2] : std::string()};
    }
    if (contact->Number.empty()) {
      ++file.Skipped;
      continue;
    }
    file.AddName(std::move(contact->Name));
    if (!file.AddNumber(std::move(contact->Number))) break;
  }
  return file;
}

constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

// The code units after the byte-order mark; an odd last byte is no character and is dropped.
WideString Utf16Units(std::string_view bytes, bool bigEndian) {
  WideString wide;
  wide.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    wide += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return wide;
}

std::string_view BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

const char* ExportExtension(ExportFormat format) {
  switch (format) {
    case ExportFormat::Text: return ".txt";
    case ExportFormat::AddressBook: return ".abk";
    case ExportFormat::Csv: return ".csv";
    case ExportFormat::VCard: return ".vcf";
  }
  return "";
}

std::string ExportHeader(ExportFormat format, const std::string& storageName, uint32_t count) {
  switch (format) {
    case ExportFormat::Text: return "Phone Book: \"" + OneLine(storageName) + "\"\r\n";
    case ExportFormat::Csv: return "Name,Phone\r\n";
    case ExportFormat::AddressBook: {
      std::string header(kAddressBookSignature);
      AppendU32(header, 0);
      AppendU32(header, count);
      return header;
    }
    case ExportFormat::VCard: return {};
  }
  return {};
}

std::string ExportContact(ExportFormat format, const Contact& contact) {
  switch (format) {
    case ExportFormat::Text:
      return QuotedIfNeeded(OneLine(contact.Name), ":;,") + ":\t" + OneLine(contact.Number) +
             "\r\n";
    case ExportFormat::Csv:
      return QuotedIfNeeded(OneLine(contact.Name), ":;,") + "," +
             QuotedIfNeeded(OneLine(contact.Number), ",") + "\r\n";
    case ExportFormat::AddressBook: return AddressBookContact(contact);
    case ExportFormat::VCard: return VCardFromContact(contact);
  }
  return {};
}

void ContactFile::AddName(std::string name, std::u16string wideName) {
  m_names.push_back({std::move(name), std::move(wideName)});
}

bool ContactFile::AddNumber(std::string number, uint32_t ordinal) {
  if (m_names.empty()) m_names.emplace_back();
  if (m_numbers.size() >= kMostContactsPerFile) {
    m_tooMany = true;
    return false;
  }
  m_numbers.push_back({m_names.size() - 1, ordinal, std::move(number)});
  return true;
}

Contact ContactFile::At(size_t position) const {
  const SNumber& number = m_numbers[position];
  std::string name = m_names[number.name].oem;
  std::u16string wideName = m_names[number.name].wide;
  if (number.ordinal != 0) {
    const std::string suffix = " (" + std::to_string(number.ordinal) + ")";
    name += suffix;
    if (!wideName.empty()) wideName += std::u16string(suffix.begin(), suffix.end());
  }
  return {std::move(name), number.number, std::move(wideName)};
}

std::vector<Contact> ContactFile::Contacts() const {
  std::vector<Contact> contacts;
  contacts.reserve(m_numbers.size());
  for (size_t i = 0; i < m_numbers.size(); ++i) contacts.push_back(At(i));
  return contacts;
}

ContactFile ReadContactFile(std::string_view bytes, std::string_view fileName) {
  const bool littleEndian = bytes.starts_with(kUtf16LittleEndianMark);
  if (littleEndian || bytes.starts_with(kUtf16BigEndianMark)) {
    const WideString wide = Utf16Units(bytes.substr(2), !littleEndian);
    const std::string utf8 = WideToUtf8(wide);
    if (LooksLikeVCard(utf8)) return ReadVCards(utf8);
    return ReadTextLines(WideToOem(wide));
  }
  ContactFile file;
  if (bytes.starts_with(kAddressBookSignature)) {
    CByteReader reader(bytes.substr(kAddressBookSignature.size()));
    ReadGroup(reader, 0, file);
    return file;
  }
  if (bytes.starts_with(kSingleContactSignature)) {
    CByteReader reader(bytes.substr(kSingleContactSignature.size()));
    ReadFieldList(reader, NameUpToZero(BaseName(fileName)), file);
    return file;
  }
  if (LooksLikeVCard(bytes)) return ReadVCards(bytes);
  return ReadTextLines(bytes);
}
