#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "encoding/charset.h"
#include "phone_book_fixture.h"
#include "phonebook/storage_access.h"

namespace {

enum class Reply { Entry, Limits, Used };

struct ReplyCase {
  Reply reply;
  const char* line;
  const char* expected;  // what was read, as Render shows it; "" for no match
  const char* charset = "IRA";
};

std::string Render(const ReplyCase& c) {
  if (c.reply == Reply::Limits) {
    const auto limits = ParseLimits(c.line);
    if (!limits) return "";
    return std::to_string(limits->MinIndex) + "-" + std::to_string(limits->MaxIndex) + " " +
           std::to_string(limits->MaxPhoneLength) + " " + std::to_string(limits->MaxNameLength);
  }
  if (c.reply == Reply::Used) {
    const auto used = ParseUsedCount(c.line);
    return used ? std::to_string(*used) : "";
  }
  const auto entry = ParseEntryLine(c.line, c.charset);
  if (!entry) return "";
  EXPECT_EQ(entry->Name, WideToOem(entry->WideName)) << c.line;
  return std::to_string(entry->Index) + " " + entry->Number + " " + std::to_string(entry->Type) +
         " [" + WideToUtf8(entry->WideName) + "] " + TimeText(entry->Time);
}

TEST(PhoneBookReplies, ReadsWhatPhonesAnswer) {
  const ReplyCase cases[] = {
      // International type 145 gets its '+' once; 161 (national) and 129 (unknown) none.
      {Reply::Entry, R"(+CPBR: 1,"12345",145,"Ann")", "1 +12345 145 [Ann] -"},
      {Reply::Entry, R"(+CPBR: 2,"+447700900123",145,"Bob")", "2 +447700900123 145 [Bob] -"},
      {Reply::Entry, R"(+CPBR: 3,"0123456",161,"Carl")", "3 0123456 161 [Carl] -"},
      {Reply::Entry, R"(+cpbr:4,"07700900123",129,"Smith, J")", "4 07700900123 129 [Smith, J] -"},
      {Reply::Entry, R"(+CPBR: 5,"",145,"")", "5  145 [] -"},
      {Reply::Entry, R"(+CPBR: 6,"+79161234567",145,"041C0430043C0430")",
       "6 +79161234567 145 [Мама] -", "UCS2"},
      // A hidden flag and a group after the name (later GSM 07.07 phones) are no time.
      {Reply::Entry, R"(+CPBR: 7,"+4612345",145,"Eve",0,"Work")", "7 +4612345 145 [Eve] -"},
      // Call lists: a date and a time field, both in one field, or something else.
      {Reply::Entry, R"(+CPBR: 3,"0123",129,"","05/12/31","23:59")",
       "3 0123 129 [] 2005-12-31 23:59:00"},
      {Reply::Entry, R"(+CPBR: 8,"0123",129,"Fay","85/01/02,10:11:12")",
       "8 0123 129 [Fay] 1985-01-02 10:11:12"},
      {Reply::Entry, R"(+CPBR: 9,"0123",129,"Gil","Family")",
       "9 0123 129 [Gil] 1980-01-01 00:00:00"},
      {Reply::Entry, R"(+CPBR: 9,"0123",129,"Gil","2005/12/31","23:59:58")",
       "9 0123 129 [Gil] 2005-12-31 23:59:58"},
      {Reply::Entry, R"(+CPBR: 9,"0123",129,"Gil","05/13/01","10:00")",
       "9 0123 129 [Gil] 1980-01-01 10:00:00"},
      {Reply::Entry, R"(+CPBR: 9,"0123",129,"Gil","05/12/31","25:00")",
       "9 0123 129 [Gil] 2005-12-31 00:00:00"},
      {Reply::Entry, R"(+CPBR: 9,"0123",129,"Gil","99999/12/31","99999999999:00")",
       "9 0123 129 [Gil] 1980-01-01 00:00:00"},
      {Reply::Entry, R"(+CPBR: 2147483647,"1",4294967295,"x")", "2147483647 1 4294967295 [x] -"},
      // What real phones send besides: no type (a name without number), an empty field after
      // the index, a name of bare hex in a set written in hex.
      {Reply::Entry, R"(+CPBR: 6,"",,"00530074")", "6  129 [St] -", "UCS2"},
      {Reply::Entry, R"(+CPBR: 7,"+4470001",,"Ann")", "7 +4470001 145 [Ann] -"},
      {Reply::Entry, R"(+CPBR: 1,,"+31234657899",145,"Mama GSM","2007/11/02,09:27")",
       "1 +31234657899 145 [Mama GSM] 2007-11-02 09:27:00"},
      {Reply::Entry, R"(+CPBR: 5,"+4470001",145,0041006E006E)", "5 +4470001 145 [Ann] -", "UCS2"},
      {Reply::Entry, R"(+CPBR: 5,"+4470001",145,416E6E)", "5 +4470001 145 [Ann] -", "HEX"},
      {Reply::Entry, R"(+CPBR: 5,"+4470001",145,414E)", "", "IRA"},
      // Not entries: numbers past 32 bits, unquoted fields, other replies, cut lines.
      {Reply::Entry, R"(+CPBR: 2147483648,"1",129,"x")", ""},
      {Reply::Entry, R"(+CPBR: 1,"1",4294967296,"x")", ""},
      {Reply::Entry, R"(+CPBR: 1,"0123",129,Ann)", ""},
      {Reply::Entry, R"(+CPBR: 1,0123,129,"Ann")", ""},
      {Reply::Entry, R"(+CPBR: (1-250),40,18)", ""},
      {Reply::Entry, R"(+CPBR: 1,"0123",12)", ""},
      {Reply::Entry, "", ""},
      {Reply::Entry, "OK", ""},
      {Reply::Limits, "+CPBR: (1-250),40,18", "1-250 40 18"},
      {Reply::Limits, "+CPBR: (1 - 100), 20, 14", "1-100 20 14"},
      {Reply::Limits, "+CPBR: (1-250),40,18,10,40,30", "1-250 40 18"},
      {Reply::Limits, "+CPBR: (0-2147483648),40,18", ""},
      {Reply::Limits, "+CPBR: (1-250),,18", ""},
      {Reply::Limits, "+CPBR: (1,2),40,18", ""},
      {Reply::Used, R"(+CPBS: "SM",12,250)", "12"},
      {Reply::Used, R"(+CPBS: "ME",0,500)", "0"},
      {Reply::Used, R"(+CPBS: "SM")", ""},
      {Reply::Used, R"(+CPBS: "SM",4294967308,250)", ""},
  };
  for (const ReplyCase& c : cases) EXPECT_EQ(Render(c), c.expected) << c.line;
}

// What AT+CPBW carries for a name in each character set: letters the host's code page lacks are
// kept while the name reads as it was read, and nothing below 0x20 reaches the command line but
// the GSM set's escape in front of an extension character.
TEST(PhoneBookWrites, NameAsTheCommandCarriesIt) {
  const struct {
    std::u16string read;  // the name as the phone or a file gave it
    const char* typed;    // the host text the user left, or null for the name as read
    const char* charset;
    const char* number;
    std::optional<std::string> sent;  // none: refused
  } cases[] = {
      {u"Ann", nullptr, "GSM", "+1", "Ann"},
      {u"\u20acuro", nullptr, "GSM", "+1",
       "\x1b"
       "euro"},
      {u"Niccol\u00f2", nullptr, "GSM", "+1", std::nullopt},
      {u"Niccol\u00f2", nullptr, "UTF-8", "+1", "Niccol\xc3\xb2"},
      {u"Jos\u00e9", nullptr, "GSM", "+1", std::nullopt},
      {u"A\u001b", nullptr, "GSM", "+1", std::nullopt},
      {u"Tab\tName", nullptr, "IRA", "+1", std::nullopt},
      {u"Back\bspace", nullptr, "UTF-8", "+1", std::nullopt},
      {u"Back\bspace", nullptr, "UCS2", "+1", "004200610063006B000800730070006100630065"},
      {u"A\"B", nullptr, "UCS2", "+1", "004100220042"},
      {u"A\"B", nullptr, "IRA", "+1", std::nullopt},
      {u"Ann", nullptr, "IRA",
       "+1\x08"
       "2",
       std::nullopt},
      {u"Ann", nullptr, "GSM",
       "+1\x1b"
       "e",
       std::nullopt},
      {u"\u0418\u0432\u0430\u043d", nullptr, "UCS2", "+1", "041804320430043D"},
      {u"\u0418\u0432\u0430\u043d", "Ivan", "UCS2", "+1", "004900760061006E"},
  };
  for (const auto& c : cases) {
    PhoneBookEntry entry;
    entry.WideName = c.read;
    entry.Name = c.typed ? c.typed : WideToOem(c.read);
    entry.Number = c.number;
    EXPECT_EQ(SendableName(entry, c.charset), c.sent) << WideToUtf8(c.read) << " in " << c.charset;
  }
}

TEST(PhoneBookWrites, OffersTheSetThatCarriesAName) {
  const struct {
    std::u16string name;
    std::vector<std::string> offered;
    const char* carrier;
  } cases[] = {
      {u"Niccol\u00f2", {"GSM", "IRA", "UCS2", "UTF-8"}, "UCS2"},
      {u"Niccol\u00f2", {"GSM", "UTF-8"}, "UTF-8"},
      {u"Niccol\u00f2", {"GSM", "IRA"}, ""},
      {u"Back\bspace", {"UTF-8"}, ""},
  };
  for (const auto& c : cases) {
    PhoneBookEntry entry;
    entry.WideName = c.name;
    entry.Name = WideToOem(c.name);
    entry.Number = "+1";
    EXPECT_EQ(CharsetThatCarries(entry, c.offered), c.carrier) << WideToUtf8(c.name);
  }
}

}  // namespace
