#include "phonebook/contact_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "scoped_environment.h"
#include "encoding/charset.h"
#include "phonebook/vcard.h"

// Failures show names and numbers, not bytes.
void PrintTo(const Contact& contact, std::ostream* os) {
  *os << '{' << contact.Name << " / " << contact.Number << '}';
}

namespace {

using namespace std::string_literals;

std::string U16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string U32(uint32_t v) { return U16(v & 0xFFFF) + U16(static_cast<uint16_t>(v >> 16)); }
std::string Field(uint32_t tag, const std::string& data) {
  return U32(tag) + U32(data.size()) + data;
}
std::string Record(const std::string& name, const std::vector<std::string>& fields) {
  std::string out = U16(static_cast<uint16_t>(name.size())) + name + U32(fields.size());
  for (const std::string& f : fields) out += f;
  return out;
}
std::string Nested(int depth) {
  std::string body = U32(0) + U32(1) + Record("Deep", {Field(0x10201, "1"s + '\0')});
  for (int i = 0; i < depth; ++i) body = U32(1) + U32(0) + U16(1) + "g" + body;
  return "ABZT" + body;
}

// The Linux build takes the OEM page from here at every call; the Windows suite runs once with
// 437 and once with 866, which is why names read from UTF-8 are expected through WideToOem.
class ContactFiles : public testing::Test {
 protected:
  CScopedEnvironment m_oem{"ZANTEL_OEMCP", "866"};
};

struct ExportCase {
  ExportFormat format;
  std::vector<Contact> contacts;
  std::string bytes;
};

TEST_F(ContactFiles, ExportWritesEachFormatsBytes) {
  const std::vector<Contact> annBob = {{"Ann", "+12345"}, {"Bob", "555"}};
  const std::string longName(80, 'A');
  const ExportCase cases[] = {
      {ExportFormat::Text, annBob, "Phone Book: \"SM\"\r\nAnn:\t+12345\r\nBob:\t555\r\n"},
      {ExportFormat::Csv, annBob, "Name,Phone\r\nAnn,+12345\r\nBob,555\r\n"},
      {ExportFormat::AddressBook, annBob,
       "ABZT"s + U32(0) + U32(2) + U16(3) + "Ann" + U32(1) + U32(0x10209) + U32(7) + "+12345" +
           '\0' + U16(3) + "Bob" + U32(1) + U32(0x10209) + U32(4) + "555" + '\0'},
      {ExportFormat::Csv,
       {{"Smith, John", "+1"}, {"Say \"hi\"", "12,34"}},
       "Name,Phone\r\n\"Smith, John\",+1\r\n\"Say \"\"hi\"\"\",\"12,34\"\r\n"},
      {ExportFormat::Text, {{"a:b", "1"}}, "Phone Book: \"SM\"\r\n\"a:b\":\t1\r\n"},
      {ExportFormat::VCard,
       {{"?????", "+7495", u"\u0418\u0432\u0430\u043d"}, {"Ann", "1", u"Anna"}},
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\r\n"
       "N:\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd;;;;\r\nTEL;TYPE=CELL:+7495\r\nEND:VCARD\r\n"
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nN:Anna;;;;\r\nTEL;TYPE=CELL:1\r\n"
       "END:VCARD\r\n"},
      {ExportFormat::VCard,
       {{"Ann", "+12345"}},
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nN:Ann;;;;\r\nTEL;TYPE=CELL:+12345\r\n"
       "END:VCARD\r\n"},
      {ExportFormat::VCard,
       {{"Doe, J; A\\B", "*100#"}},
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Doe\\, J\\; A\\\\B\r\nN:Doe\\, J\\; A\\\\B;;;;\r\n"
       "TEL;TYPE=VOICE:*100#\r\nEND:VCARD\r\n"},
      {ExportFormat::VCard,
       {{longName, "1"}},
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + longName.substr(0, 72) + "\r\n " +
           longName.substr(72) + "\r\nN:" + longName.substr(0, 73) + "\r\n " + longName.substr(73) +
           ";;;;\r\nTEL;TYPE=CELL:1\r\nEND:VCARD\r\n"},
  };
  for (const ExportCase& c : cases) {
    std::string bytes = ExportHeader(c.format, "SM", static_cast<uint32_t>(c.contacts.size()));
    for (const Contact& contact : c.contacts) bytes += ExportContact(c.format, contact);
    EXPECT_EQ(bytes, c.bytes) << ExportExtension(c.format) << " " << c.contacts[0].Name;
  }
}

struct ReadCase {
  const char* label;
  std::string bytes;
  std::vector<Contact> contacts;  // names in UTF-8, compared in the OEM page
  size_t skipped;
  std::string fileName = "C:\\in\\Ann.vcf";
};

TEST_F(ContactFiles, ReadTakesWhatEachKindOfFileHolds) {
  const std::string ann = Record("Ann", {Field(0x10201, "111\0"s), Field(7, "x"),
                                         Field(0, "Anna\0junk"s), Field(0x102FF, "222")});
  const ReadCase cases[] = {
      {"text lines",
       "Ann;+1 234\nAnn\n\n\"Bob\" , 555 \r\nCy:\t7  ",
       {{"Ann", "+1 234"}, {"Bob", "555"}, {"Cy", "7"}},
       0},
      {"a huge line of white space is looked at only in part",
       std::string(300000, ' ') + "x;1\nAnn;2",
       {{"Ann", "2"}},
       0},
      {"own text header", "Phone Book: \"SM\"\r\nAnn:\t1\r\n", {{"Ann", "1"}}, 0},
      {"own CSV header and a line without a number",
       "Name,Phone\r\nAnn,1\r\nBob,\r\n",
       {{"Ann", "1"}},
       1},
      {"quoted name",
       "\"Smith, John\",\"12,34\"\r\n\"a \"\"b\"\"\";5",
       {{"Smith, John", "12,34"}, {"a \"b\"", "5"}},
       0},
      {"address book: name field, unknown tag, two numbers",
       "ABZT" + U32(0) + U32(1) + ann,
       {{"Ann", "111"}, {"Anna", "222"}},
       0},
      {"address book: subgroup before own contacts",
       "ABZT" + U32(1) + U32(1) + U16(2) + "G1" + U32(0) + U32(1) +
           Record("Sub", {Field(0x10200, "9")}) + Record("Top", {Field(0x10209, "8")}),
       {{"Sub", "9"}, {"Top", "8"}},
       0},
      {"address book: contact without a number",
       "ABZT" + U32(0) + U32(2) + Record("No", {Field(5, "x"), Field(0x10201, "\0"s)}) +
           Record("Yes", {Field(0x10201, "3")}),
       {{"Yes", "3"}},
       1},
      {"address book: truncated second contact",
       "ABZT" + U32(0) + U32(2) + ann + U16(3) + "Bo",
       {{"Ann", "111"}, {"Anna", "222"}},
       0},
      {"address book: huge counts",
       "ABZT" + U32(0) + U32(0xFFFFFFFF) + U16(1) + "A" + U32(0xFFFFFFFF) + Field(0x10201, "1"),
       {{"A", "1"}},
       0},
      {"address book: huge lengths", "ABZT" + U32(0xFFFFFFFF) + U32(1) + U16(0xFFFF) + "G", {}, 0},
      {"address book: field longer than the file",
       "ABZT" + U32(0) + U32(1) + U16(1) + "A" + U32(1) + U32(0x10201) + U32(0xFFFFFFF0) + "12",
       {},
       1},
      {"address book: nesting within the limit", Nested(30), {{"Deep", "1"}}, 0},
      {"address book: nesting beyond the limit", Nested(1000), {}, 0},
      {"single contact named after the file",
       "TZBA" + U32(2) + Field(0x10201, "1\0"s) + Field(9, "zz"),
       {{"Ann.vcf", "1"}},
       0},
      {"single contact, damaged",
       "TZBA" + U32(3) + Field(0x10201, "1") + U32(0x10201),
       {{"Ann.vcf", "1"}},
       0},
      {"vCard 2.1 quoted-printable UTF-8, soft line break",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=D0=9F=D0=B5=D1=82=D1=80=D0=BE=D0=B2;=D0=98=D0=B2=\r\n=D0=B0=D0=BD;;;\r\n"
       "TEL;CELL;PREF:+7 912 000\r\nTEL;HOME:8495\r\nEND:VCARD\r\n",
       {{"Иван Петров", "+7 912 000"}, {"Иван Петров (2)", "8495"}},
       0},
      {"vCard 2.1 in windows-1251, bare QUOTED-PRINTABLE",
       "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=WINDOWS-1251;QUOTED-PRINTABLE:=C8=E2=E0=ED\nTEL:1\nEND:VCARD\n",
       {{"Иван", "1"}},
       0},
      {"vCard 3.0 with groups, types, a folded line and a card without a number, after a BOM",
       "\xEF\xBB\xBF"
       "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iOS 17//EN\r\nN:Appleseed;Johnny;;;\r\n"
       "FN:Johnny Apple\r\n seed\r\nitem1.TEL;type=pref;type=CELL;type=VOICE:(408) 555-5270\r\n"
       "TEL;TYPE=WORK,VOICE:+1 408 555 1212\r\nitem1.X-ABLabel:_$!<Mobile>!$_\r\nEND:VCARD\r\n"
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nobody\r\nEMAIL:a@b.c\r\nEND:VCARD\r\n"
       "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe\\, Jr;Jane;;;\r\nTEL;VALUE=uri:tel:+33 1\r\nEND:VCARD\r\n",
       {{"Johnny Appleseed", "(408) 555-5270"},
        {"Johnny Appleseed (2)", "+1 408 555 1212"},
        {"Jane Doe, Jr", "+33 1"}},
       1},
      {"vCard in UTF-8 with letters no code page holds together",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ayşe Öztürk Ωμέγα Иван\r\nTEL:+90\r\nTEL:+30\r\n"
       "END:VCARD\r\n",
       {{"Ayşe Öztürk Ωμέγα Иван", "+90"}, {"Ayşe Öztürk Ωμέγα Иван (2)", "+30"}},
       0},
      {"vCard in KOI8-R",
       "BEGIN:VCARD\nFN;CHARSET=KOI8-R:\xE9\xD7\xC1\xCE\nTEL:1\nEND:VCARD\n",
       {{"Иван", "1"}},
       0},
      {"a name longer than any phone holds, for two numbers",
       "BEGIN:VCARD\nFN:" + std::string(5000, 'A') + "\nTEL:1\nTEL:2\nEND:VCARD\n",
       {{std::string(1023, 'A'), "1"}, {std::string(1023, 'A') + " (2)", "2"}},
       0},
      {"address book: a name field longer than any phone holds",
       "ABZT" + U32(0) + U32(1) +
           Record("B", {Field(0, std::string(5000, 'B')), Field(0x10201, "3")}),
       {{std::string(1023, 'B'), "3"}},
       0},
      {"a line continued a hundred thousand times",
       [] {
         std::string card = "BEGIN:VCARD\nX";
         for (int i = 0; i < 100000; ++i) card += "\n =";
         return card + "\nFN:A\nTEL:1\nEND:VCARD\n";
       }(),
       {{"A", "1"}},
       0},
      {"lower-case vCard left open at the end",
       "begin:vcard\nfn:Ann\ntel:5\nbegin:vcard\nfn:Bob\ntel:6",
       {{"Ann", "5"}, {"Bob", "6"}},
       0},
  };
  for (const ReadCase& c : cases) {
    const ContactFile file = ReadContactFile(c.bytes, c.fileName);
    std::vector<Contact> expected;
    for (const Contact& contact : c.contacts) {
      // The UTF-16 name comes along where the host's code page loses letters of it.
      const std::u16string wide = Utf8ToWide(contact.Name);
      const std::string oem = WideToOem(wide);
      expected.push_back({oem, contact.Number, OemToWide(oem) == wide ? u"" : wide});
    }
    EXPECT_EQ(file.Contacts(), expected) << c.label;
    EXPECT_EQ(file.Skipped, c.skipped) << c.label;
  }
}

// Every format gives back what it was given, whatever separators and quotes the names hold.
TEST_F(ContactFiles, EachFormatReadsBackWhatItWrote) {
  const std::string cyrillic = "\x88\xa2\xa0\xad \x8f\xa5\xe2\xe0\xae\xa2";  // in 866
  const std::vector<Contact> contacts = {
      {"Smith, John", "+12345"}, {"Say \"hi\"", "555"}, {"a:b;c", "*100#"},
      {"Back\\slash", "1,2"},    {cyrillic, "+7495"},   {std::string(30, '\xa8') + cyrillic, "2"},
      {"Ann", "p12w3"},
  };
  for (const ExportFormat format :
       {ExportFormat::Text, ExportFormat::AddressBook, ExportFormat::Csv, ExportFormat::VCard}) {
    std::string bytes = ExportHeader(format, "SM", static_cast<uint32_t>(contacts.size()));
    for (const Contact& contact : contacts) bytes += ExportContact(format, contact);
    const ContactFile file = ReadContactFile(bytes, "SM.x");
    EXPECT_EQ(file.Contacts(), contacts) << ExportExtension(format);
    EXPECT_EQ(file.Skipped, 0u) << ExportExtension(format);
    if (format != ExportFormat::VCard) continue;
    // Folded lines keep to 75 octets and never start inside a UTF-8 sequence.
    for (size_t at = 0; at < bytes.size();) {
      const size_t end = bytes.find("\r\n", at);
      ASSERT_NE(end, std::string::npos);
      EXPECT_LE(end - at, 75u) << bytes.substr(at, end - at);
      if (bytes[at] == ' ') {
        EXPECT_NE(static_cast<unsigned char>(bytes[at + 1]) & 0xC0, 0x80);
      }
      at = end + 2;
    }
  }
}

// UTF-16 in the given byte order, byte-order mark first; the text is ASCII or 866 Cyrillic.
std::string Utf16(const std::string& utf8, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : Utf8ToWide(utf8)) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST_F(ContactFiles, RecognisesACardHoweverItsTextBegins) {
  const std::string card =
      "BEGIN:VCARD\r\nFN:\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\r\nTEL:+7495\r\nEND:VCARD\r\n";
  const std::u16string wide = u"\u0418\u0432\u0430\u043d";
  const std::string oem = WideToOem(wide);
  // A card keeps the UTF-16 name where the host's code page lacks its letters; text lines are
  // read in that page alone.
  const std::vector<Contact> ivan = {{oem, "+7495", OemToWide(oem) == wide ? u"" : wide}};
  const std::vector<Contact> ivanInText = {{oem, "+7495"}};
  const struct {
    const char* label;
    std::string bytes;
    std::vector<Contact> contacts;
  } cases[] = {
      {"after blank lines", "\r\n  \r\n\n" + card, ivan},
      {"after a UTF-8 byte-order mark and a blank line", "\xEF\xBB\xBF\r\n" + card, ivan},
      {"in UTF-16, low byte first", Utf16(card, false), ivan},
      {"in UTF-16, high byte first", Utf16("\r\n" + card, true), ivan},
      {"text lines in UTF-16", Utf16("\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd: +7495\r\n", false),
       ivanInText},
      {"plain text naming the properties", "FN: Ann\nTEL: 5\n", {{"FN", "Ann"}, {"TEL", "5"}}},
  };
  for (const auto& c : cases) {
    const ContactFile file = ReadContactFile(c.bytes, "x.vcf");
    EXPECT_EQ(file.Contacts(), c.contacts) << c.label;
    EXPECT_EQ(file.Skipped, 0u) << c.label;
  }
}

// One name over thousands of numbers: the most a file may hold are read with the name shared,
// one more stops the reading and refuses the file.
TEST_F(ContactFiles, StopsAtTheMostContactsAFileMayHold) {
  const std::string name(kLongestImportedName, 'N');
  const struct {
    const char* label;
    size_t numbers;
    bool vCard;
    bool tooMany;
  } cases[] = {
      {"vCard at the limit", kMostContactsPerFile, true, false},
      {"vCard over it", 3 * kMostContactsPerFile, true, true},
      {"text at the limit", kMostContactsPerFile, false, false},
      {"text one over", kMostContactsPerFile + 1, false, true},
  };
  for (const auto& c : cases) {
    std::string bytes = c.vCard ? "BEGIN:VCARD\nFN:" + name + "\n" : "";
    for (size_t i = 0; i < c.numbers; ++i) bytes += c.vCard ? "TEL:5\n" : name + ":5\n";
    const ContactFile file = ReadContactFile(bytes + (c.vCard ? "END:VCARD\n" : ""), "x");
    EXPECT_EQ(file.TooMany(), c.tooMany) << c.label;
    EXPECT_EQ(file.Size(), std::min(c.numbers, kMostContactsPerFile)) << c.label;
    const std::string last = c.vCard ? name + " (5000)" : name;
    EXPECT_EQ(file.At(file.Size() - 1), (Contact{last, "5"})) << c.label;
  }
}

}  // namespace
