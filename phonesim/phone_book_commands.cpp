#include <cctype>
#include <cstdio>

#include "phonesim/charset.h"
#include "phonesim/phone.h"

namespace PhoneSim {
namespace {

using Form = AtCommand::Form;

constexpr int kErrNotAllowed = 3;
constexpr int kErrMemoryFull = 20;
constexpr int kErrInvalidIndex = 21;
constexpr int kErrNotFound = 22;
constexpr int kErrTextTooLong = 24;
constexpr int kErrBadText = 25;
constexpr int kErrDialStringTooLong = 26;
constexpr int kErrBadDialString = 27;

// Call lists and the emergency numbers are filled by the phone, never by the user.
bool IsReadOnly(const std::string& book) {
  return book == "DC" || book == "MC" || book == "RC" || book == "LD" || book == "EN";
}

bool IsInternational(int type) { return (type & 0x70) == 0x10; }

std::string CallTimeFields(const std::string& time, CallTimeStyle style) {
  const auto t = ParseCallTime(time);
  if (!t) return "";
  char date[16];
  char clock[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%02d", t->year % 100, t->month, t->day);
  std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", t->hour, t->minute, t->second);
  if (style == CallTimeStyle::FullYearToTheMinute) {
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", t->year, t->month, t->day);
    clock[5] = '\0';
  }
  if (style != CallTimeStyle::TwoFields) return std::string(",\"") + date + "," + clock + "\"";
  return std::string(",\"") + date + "\",\"" + clock + "\"";
}

}  // namespace

PhoneBook& CPhone::CurrentBook() { return m_state.phoneBooks.at(m_book); }

Reply CPhone::SelectBook(const AtCommand& c) {
  switch (c.form) {
    case Form::Test: {
      std::string list;
      for (const PhoneBook& book : m_state.phoneBooks)
        list += (list.empty() ? "" : ",") + Quoted(book.name, false);
      return Reply{{"+CPBS: (" + list + ")"}, "OK", false};
    }
    case Form::Query: {
      const PhoneBook& book = CurrentBook();
      std::string line = "+CPBS: " + Quoted(book.name, false);
      if (m_profile.phoneBookCounts) {
        line += "," + std::to_string(book.entries.size()) + "," + std::to_string(book.size);
      }
      return Reply{{line}, "OK", false};
    }
    case Form::Action: return Error();
    case Form::Set: break;
  }
  const auto args = ParseArguments(c.arguments);
  if (!args || args->empty() || !(*args)[0].present) return Error();
  for (size_t i = 0; i < m_state.phoneBooks.size(); ++i) {
    std::string wanted = (*args)[0].text;
    for (char& ch : wanted) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (m_state.phoneBooks[i].name == wanted) {
      m_book = i;
      return {};
    }
  }
  return MeError(kErrNotAllowed);
}

std::string CPhone::EntryLine(int index, const PhoneBookEntry& entry) const {
  std::string number = entry.number;
  if (m_profile.internationalWithoutPlus && number.starts_with('+')) number.erase(0, 1);
  const bool typeless = number.empty() && m_profile.typelessWithoutNumber;
  return "+CPBR: " + std::to_string(index) + (m_profile.emptyFieldAfterIndex ? ",," : ",") +
         Quoted(number, false) + "," + (typeless ? "" : std::to_string(entry.type)) + "," +
         NameField(entry.name) + CallTimeFields(entry.time, m_profile.callTimeStyle);
}

std::string CPhone::NameField(const std::string& name) const {
  const std::string text = EncodeTextLossy(name, m_charset);
  if (m_profile.unquotedHexNames && (m_charset == "UCS2" || m_charset == "HEX")) return text;
  return Quoted(text, NeedsEscapes(m_charset));
}

// Empty locations in the range are passed over in silence; a profile may refuse to read one
// empty location.
Reply CPhone::ReadBook(const AtCommand& c) {
  const PhoneBook& book = CurrentBook();
  if (c.form == Form::Test) {
    return Reply{{"+CPBR: (1-" + std::to_string(book.size) + ")," +
                  std::to_string(book.numberLength) + "," + std::to_string(book.nameLength)},
                 "OK",
                 false};
  }
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  if (!args || args->empty() || args->size() > 2) return Error();
  const auto first = NumberArgument(*args, 0, 1, book.size);
  if (!first) return MeError(kErrInvalidIndex);
  auto last = first;
  if (args->size() == 2) last = NumberArgument(*args, 1, *first, book.size);
  if (!last) return MeError(kErrInvalidIndex);
  Reply reply;
  for (auto it = book.entries.lower_bound(*first); it != book.entries.end() && it->first <= *last;
       ++it) {
    reply.lines.push_back(EntryLine(it->first, it->second));
  }
  if (m_profile.refusesEmptyRead && args->size() == 1 && reply.lines.empty())
    return MeError(kErrNotFound);
  return reply;
}

Reply CPhone::WriteBook(const AtCommand& c) {
  PhoneBook& book = CurrentBook();
  if (c.form == Form::Test) {
    return Reply{
        {"+CPBW: (1-" + std::to_string(book.size) + ")," + std::to_string(book.numberLength) +
         ",(129,145)," + std::to_string(book.nameLength)},
        "OK",
        false};
  }
  if (c.form != Form::Set) return Error();
  const auto args = ParseArguments(c.arguments);
  if (!args || args->empty() || args->size() > 4) return Error();
  if (IsReadOnly(book.name)) return MeError(kErrNotAllowed);
  std::optional<int> index;
  if ((*args)[0].present) {
    index = NumberArgument(*args, 0, 1, book.size);
    if (!index) return MeError(kErrInvalidIndex);
  }
  const auto text = [&](size_t at) { return at < args->size() ? (*args)[at].text : std::string(); };
  if (text(1).empty() && text(3).empty()) {
    return index ? Erase(book, *index) : MeError(kErrInvalidIndex);
  }
  return Store(book, index, *args);
}

Reply CPhone::Erase(PhoneBook& book, int index) {
  book.entries.erase(index);
  return {};
}

// GSM 07.07 leaves the checks to the phone; these are the errors handsets give for them.
Reply CPhone::Store(PhoneBook& book, std::optional<int> index, const std::vector<Argument>& args) {
  PhoneBookEntry entry;
  entry.number = args.size() > 1 ? args[1].text : "";
  if (!IsDialString(entry.number)) return MeError(kErrBadDialString);
  const size_t digits = entry.number.size() - (entry.number.starts_with('+') ? 1 : 0);
  if (static_cast<int>(digits) > book.numberLength) return MeError(kErrDialStringTooLong);
  entry.type = entry.number.starts_with('+') ? 145 : 129;
  if (args.size() > 2 && args[2].present) {
    const auto type = NumberArgument(args, 2, 128, 255);
    if (!type) return Error();
    entry.type = *type;
  }
  if (entry.number.starts_with('+')) entry.type = (entry.type & 0x8F) | 0x10;
  if (IsInternational(entry.type) && !entry.number.starts_with('+')) entry.number.insert(0, "+");
  const auto name = DecodeText(args.size() > 3 ? args[3].text : "", m_charset);
  if (!name) return MeError(kErrBadText);
  if (static_cast<int>(CharacterCount(*name)) > book.nameLength) return MeError(kErrTextTooLong);
  entry.name = *name;
  if (!index) {
    for (int free = 1; free <= book.size && !index; ++free) {
      if (!book.entries.contains(free)) index = free;
    }
    if (!index) return MeError(kErrMemoryFull);
  }
  book.entries[*index] = entry;
  return {};
}

}  // namespace PhoneSim
