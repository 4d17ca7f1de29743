#include "phonebook/storage_access.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "encoding/charset.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "link/at_engine.h"
#include "platform/clock.h"
#include "regex/regex.h"

namespace {

// Five locations per AT+CPBR keep every reply short enough for the slowest phones.
constexpr int64_t kChunkSize = 5;

// The call-list view an entry with a time switches its storage to.
constexpr int32_t kTimesViewMode = 3;
constexpr int32_t kTimesSortMode = 4;

// A decimal number of the reply that must fit the field it goes to: anything longer is not
// wrapped into a different index or type but refused.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view digits) {
  Number value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// The phone's date text: "yy/mm/dd" (years before 80 are this century's) or a full year.
bool ParseDate(const std::string& text, Platform::SystemTime& time) {
  static CRegex date("^(\\d+)/(\\d+)/(\\d+)", kRegexCaseless);
  GroupList groups;
  if (!date.Match(text, 0, &groups)) return false;
  const std::optional<uint16_t> year = ParseNumber<uint16_t>(groups[1]);
  const std::optional<uint16_t> month = ParseNumber<uint16_t>(groups[2]);
  const std::optional<uint16_t> day = ParseNumber<uint16_t>(groups[3]);
  if (!year || !month || !day) return false;
  // Two digits are the phones' usual form; a year written out in full is taken as it stands
  // rather than pushed 1900 years into the future.
  if (*year < 80) time.year = static_cast<uint16_t>(*year + 2000);
  else if (*year < 100) time.year = static_cast<uint16_t>(*year + 1900);
  else time.year = *year;
  time.month = *month;
  time.day = *day;
  return true;
}

bool ParseClock(const std::string& text, Platform::SystemTime& time) {
  static CRegex clock("^(\\d+):(\\d+)(:(\\d+))?", kRegexCaseless);
  GroupList groups;
  if (!clock.Match(text, 0, &groups)) return false;
  const std::optional<uint16_t> hour = ParseNumber<uint16_t>(groups[1]);
  const std::optional<uint16_t> minute = ParseNumber<uint16_t>(groups[2]);
  std::optional<uint16_t> second = uint16_t{0};
  if (groups.size() > 4) second = ParseNumber<uint16_t>(groups[4]);
  if (!hour || !minute || !second) return false;
  time.hour = *hour;
  time.minute = *minute;
  time.second = *second;
  return true;
}

bool IsCalendarDate(const Platform::SystemTime& date) {
  Platform::FileTime ignored = 0;
  return Platform::SystemTimeToFileTime(date, ignored);
}

// The entry's FILETIME from the phone's date and time texts, taken as they stand (the phone's
// local time, no zone applied). A date the calendar does not have counts as no date, a clock
// time out of range as midnight: an entry that carried a date field always gets a time.
uint64_t EntryTime(const std::string& dateText, const std::string& timeText) {
  Platform::SystemTime date;
  if (!ParseDate(dateText, date) || !IsCalendarDate(date)) {
    date = {};
    date.year = 1980;
    date.month = 1;
    date.day = 1;
  }
  Platform::SystemTime time = date;
  Platform::FileTime fileTime = 0;
  if (ParseClock(timeText, time) && Platform::SystemTimeToFileTime(time, fileTime)) {
    return fileTime;
  }
  Platform::SystemTimeToFileTime(date, fileTime);
  return fileTime;
}

void AnnounceEntry(PhoneBookStorage& storage, const PhoneBookEntry& entry) {
  if (entry.Time == 0 || storage.HasTimes) return;
  storage.HasTimes = true;
  storage.ViewMode = kTimesViewMode;
  storage.SortMode = kTimesSortMode;
  storage.SortOrder = 0;
}

// The lines of a listing's answers that are no entry: the user hears of them once, when the
// listing is over, by the first of them and their count.
class CUnreadableLines {
 public:
  void Note(const std::string& line) {
    if (m_count++ == 0) m_first = line;
  }
  void Tell(CPhoneBookListingUser& user) const {
    if (m_count > 0) user.TellUnreadableEntries(m_first, m_count);
  }

 private:
  size_t m_count = 0;
  std::string m_first;
};

// The entries of a successful AT+CPBR reply; a line that is no entry is noted.
void AppendReplyEntries(PhoneBookStorage& storage, const ResponseList& lines,
                        const std::string& charset, CUnreadableLines& unreadable) {
  for (const std::string& line : lines) {
    std::optional<PhoneBookEntry> entry = ParseEntryLine(line, charset);
    if (entry) {
      AppendEntry(storage, std::make_unique<PhoneBookEntry>(std::move(*entry)));
    } else {
      unreadable.Note(line);
    }
  }
}

// Reads the locations `first` to `last` with one command, the entries the phone holds there
// in `lines`; false when the phone refuses. `quiet` keeps a refusal from the user.
bool ReadRange(CConnection& connection, int first, int last, ResponseList& lines, bool quiet) {
  if (first == last) {
    return quiet ? ExecuteQuiet(connection, "AT+CPBR=%d", &lines, first)
                 : Execute(connection, "AT+CPBR=%d", &lines, first);
  }
  return quiet ? ExecuteQuiet(connection, "AT+CPBR=%d,%d", &lines, first, last)
               : Execute(connection, "AT+CPBR=%d,%d", &lines, first, last);
}

void ShowReading(CProgressScope& progress, int first, int last, int32_t maxIndex) {
  progress.Show(first == last ? FarLib::FormatMsg(Msg::kReadingEntryOf, first, maxIndex)
                              : FarLib::FormatMsg(Msg::kReadingEntries, first, last, maxIndex));
}

// What the phone counts beyond the list once the storage is read whole: a phone that counts
// hidden entries, or lists fewer than it counts, keeps that difference from read to read.
void NoteCountOffset(PhoneBookStorage& storage, std::optional<int32_t> used) {
  storage.CountOffset.reset();
  if (used) storage.CountOffset = *used - static_cast<int32_t>(storage.Entries.size());
}

void ReadInChunks(PhoneBookSession& session, PhoneBookStorage& storage, CProgressScope& progress,
                  CUnreadableLines& unreadable) {
  const std::optional<int32_t> used = AskUsedCount(session);
  const auto expected = static_cast<size_t>(std::max(used.value_or(RangeSize(storage)), 0));
  ResponseList lines;
  // 64 bits: a phone that reports the largest index must not make the loop wrap round.
  for (int64_t first = storage.MinIndex; first <= storage.MaxIndex;) {
    if (storage.Entries.size() >= expected) break;
    const int64_t last = std::min<int64_t>(first + kChunkSize - 1, storage.MaxIndex);
    ShowReading(progress, static_cast<int>(first), static_cast<int>(last), storage.MaxIndex);
    if (ReadRange(session.Connection, static_cast<int>(first), static_cast<int>(last), lines,
                  false)) {
      AppendReplyEntries(storage, lines, session.Profile.Charset, unreadable);
    }
    if (EscapePressed()) break;
    first = last + 1;
  }
  NoteCountOffset(storage, used);
}

void ReadAtOnce(PhoneBookSession& session, PhoneBookStorage& storage, CProgressScope& progress,
                CUnreadableLines& unreadable) {
  progress.Show(FarLib::GetMsg(Msg::kReadingAllEntries));
  ResponseList lines;
  if (Execute(session.Connection, "AT+CPBR=1,%d", &lines, static_cast<int>(storage.MaxIndex))) {
    AppendReplyEntries(storage, lines, session.Profile.Charset, unreadable);
  }
  // The count is learnt at the next look.
  storage.CountOffset.reset();
}

// Whether the list of a storage read before (from the cache, or earlier in this session) still
// stands for what the phone holds, as far as its count tells: entries added or deleted with the
// phone's own keys change it. A phone that gives no count cannot tell.
bool CountStillMatches(PhoneBookStorage& storage, std::optional<int32_t> used) {
  if (!used) return true;
  const int32_t offset = *used - static_cast<int32_t>(storage.Entries.size());
  if (!storage.CountOffset) storage.CountOffset = offset;
  return offset == *storage.CountOffset;
}

}  // namespace

std::optional<PhoneBookEntry> ParseEntryLine(const std::string& line, const std::string& charset) {
  // 1 index, 2 number, 3 type, 4 quoted name or 5 bare hex name, 7 date, 9 time.
  static CRegex entryLine(
      R"re(^\+CPBR:\s*(\d+),,?"(.*?)",(\d*),(?:"(.*?)"|([0-9A-Fa-f]+))(,"(.*?)")?(,"(.*?)")?)re",
      kRegexCaseless);
  GroupList groups;
  if (!entryLine.Match(line, 0, &groups)) return std::nullopt;
  const bool bareHex = groups.size() > 5 && !groups[5].empty();
  // Only a set that is hex already may go without quotes.
  if (bareHex && !IsHexCharset(charset)) return std::nullopt;
  const std::optional<int32_t> index = ParseNumber<int32_t>(groups[1]);
  // A phone that leaves the type out (as for a name without number) means the usual one.
  const bool international = groups[2].starts_with('+');
  const std::optional<uint32_t> type = groups[3].empty()
                                           ? std::optional<uint32_t>(international ? 145 : 129)
                                           : ParseNumber<uint32_t>(groups[3]);
  if (!index || !type) return std::nullopt;

  PhoneBookEntry entry;
  entry.Index = *index;
  entry.Number = std::move(groups[2]);
  entry.Type = *type;
  constexpr uint32_t kNumberingPlanBits = 0x70;
  constexpr uint32_t kInternational = 0x10;
  if ((entry.Type & kNumberingPlanBits) == kInternational && !entry.Number.empty() &&
      entry.Number.front() != '+') {
    entry.Number.insert(entry.Number.begin(), '+');
  }
  // A name the character set cannot decode keeps what decoded before the fault.
  PhoneToWide(bareHex ? groups[5] : groups[4], charset, entry.WideName);
  entry.Name = WideToOem(entry.WideName);

  if (groups.size() > 7) {
    std::string dateText = groups[7];
    std::string timeText;
    if (groups.size() > 9) {
      timeText = groups[9];
    } else {
      static CRegex dateAndTime("(.*),(.*)", kRegexCaseless);
      GroupList parts;
      if (dateAndTime.Match(dateText, 0, &parts)) {
        timeText = parts[2];
        dateText = parts[1];
      }
    }
    entry.Time = EntryTime(dateText, timeText);
  }
  return entry;
}

std::optional<StorageLimits> ParseLimits(const std::string& line) {
  static CRegex limits(R"re(\((\d+)\s*-\s*(\d+)\),\s*(\d+),\s*(\d+))re", kRegexCaseless);
  GroupList groups;
  if (!limits.Match(line, 0, &groups)) return std::nullopt;
  const std::optional<int32_t> first = ParseNumber<int32_t>(groups[1]);
  const std::optional<int32_t> last = ParseNumber<int32_t>(groups[2]);
  const std::optional<int32_t> phoneLength = ParseNumber<int32_t>(groups[3]);
  const std::optional<int32_t> nameLength = ParseNumber<int32_t>(groups[4]);
  if (!first || !last || !phoneLength || !nameLength) return std::nullopt;
  return StorageLimits{*first, *last, *phoneLength, *nameLength};
}

std::string ParseSelectedName(const std::string& line) {
  static CRegex selected(R"re(^\+CPBS:\s*"([^"]*)")re", kRegexCaseless);
  GroupList groups;
  if (!selected.Match(line, 0, &groups)) return {};
  return groups[1];
}

std::optional<int32_t> ParseUsedCount(const std::string& line) {
  static CRegex used(R"re(".*",\s*(\d+))re", kRegexCaseless);
  GroupList groups;
  if (!used.Match(line, 0, &groups)) return std::nullopt;
  return ParseNumber<int32_t>(groups[1]);
}

std::optional<int32_t> AskUsedCount(PhoneBookSession& session) {
  ResponseList lines;
  if (!Execute(session.Connection, "AT+CPBS?", &lines) || lines.empty()) return std::nullopt;
  return ParseUsedCount(lines.front());
}

int32_t RangeSize(const PhoneBookStorage& storage) {
  const int64_t range = int64_t{storage.MaxIndex} - storage.MinIndex + 1;
  return static_cast<int32_t>(std::clamp<int64_t>(range, 0, std::numeric_limits<int32_t>::max()));
}

bool SelectStorage(PhoneBookSession& session, const PhoneBookStorage& storage) {
  if (!storage.Name.empty() && session.SelectedStorage == storage.Name) return true;
  session.SelectedStorage.clear();
  if (!FitsInQuotes(storage.Name) ||
      !Execute(session.Connection, "AT+CPBS=\"%s\"", nullptr, storage.Name.c_str())) {
    return false;
  }
  session.SelectedStorage = storage.Name;
  return true;
}

namespace {

// The phone's answer to AT+CPBS?: the storage it has selected and, where it says, its count.
struct SelectedOnPhone {
  std::string Name;
  std::optional<int32_t> Used;
};

SelectedOnPhone AskSelected(PhoneBookSession& session) {
  ResponseList lines;
  if (!Execute(session.Connection, "AT+CPBS?", &lines) || lines.empty()) return {};
  return {ParseSelectedName(lines.front()), ParseUsedCount(lines.front())};
}

}  // namespace

void LoadStorage(PhoneBookSession& session, PhoneBookStorage& storage) {
  const bool cached = storage.Writable && storage.Loaded;
  // A storage served from the cache needs only the phone's count. Where the plug-in does not know
  // what the phone has selected, the same question tells, and a phone just opened usually has
  // the storage the panel enters selected already.
  std::optional<SelectedOnPhone> seen;
  if (cached && session.SelectedStorage != storage.Name) {
    seen = AskSelected(session);
    if (!seen->Name.empty() && seen->Name == storage.Name) session.SelectedStorage = storage.Name;
  }
  if (!SelectStorage(session, storage)) return;
  if (cached) {
    if (!seen || seen->Name != storage.Name) seen = AskSelected(session);
    if (CountStillMatches(storage, seen->Used)) return;
  }

  ResponseList lines;
  if (Execute(session.Connection, "AT+CPBR=?", &lines) && !lines.empty()) {
    const std::optional<StorageLimits> limits = ParseLimits(lines.front());
    if (!limits) return;
    storage.MinIndex = limits->MinIndex;
    storage.MaxIndex = limits->MaxIndex;
    storage.MaxPhoneLength = limits->MaxPhoneLength;
    storage.MaxNameLength = limits->MaxNameLength;
  }

  storage.Entries.clear();
  CUnreadableLines unreadable;
  {
    CProgressScope progress(session.Listing);
    if (session.Profile.Flags & kProfileReadStorageAtOnce) {
      ReadAtOnce(session, storage, progress, unreadable);
    } else {
      ReadInChunks(session, storage, progress, unreadable);
    }
  }
  storage.Loaded = true;
  session.Cache.Save(storage, false);
  unreadable.Tell(session.Listing);
}

void ReadNewEntries(PhoneBookSession& session, PhoneBookStorage& storage, bool stopAtFirst) {
  if (!SelectStorage(session, storage)) return;
  CUnreadableLines unreadable;
  {
    CProgressScope progress(session.Listing);
    ResponseList lines;
    // Every location the list does not have is read, in runs of up to a chunk of them: the
    // phone's count cannot say where to stop, as entries may have gone elsewhere meanwhile.
    for (int64_t first = storage.MinIndex; first <= storage.MaxIndex; ++first) {
      if (FindEntryPosition(storage, static_cast<int32_t>(first)) >= 0) continue;
      int64_t last = first;
      while (last + 1 <= storage.MaxIndex && last + 1 < first + kChunkSize &&
             FindEntryPosition(storage, static_cast<int32_t>(last + 1)) < 0) {
        ++last;
      }
      ShowReading(progress, static_cast<int>(first), static_cast<int>(last), storage.MaxIndex);
      const size_t before = storage.Entries.size();
      if (ReadRange(session.Connection, static_cast<int>(first), static_cast<int>(last), lines,
                    true)) {
        AppendReplyEntries(storage, lines, session.Profile.Charset, unreadable);
      }
      if ((stopAtFirst && storage.Entries.size() > before) || EscapePressed()) break;
      first = last;
    }
  }
  session.Cache.Save(storage, false);
  unreadable.Tell(session.Listing);
}

void RereadEntry(PhoneBookSession& session, PhoneBookStorage& storage, size_t position, bool save,
                 RefusedRead refused) {
  if (position >= storage.Entries.size() || !SelectStorage(session, storage)) return;
  const int index = storage.Entries[position]->Index;
  CUnreadableLines unreadable;
  {
    CProgressScope progress(session.Listing);
    progress.Show(FarLib::FormatMsg(Msg::kReadingEntry, index));
    ResponseList lines;
    const bool answered =
        ReadRange(session.Connection, index, index, lines, refused == RefusedRead::MeansEmpty);
    if (!answered && refused == RefusedRead::KeepsTheEntry) return;
    std::optional<PhoneBookEntry> entry;
    if (answered && !lines.empty()) {
      entry = ParseEntryLine(lines.front(), session.Profile.Charset);
      if (!entry) unreadable.Note(lines.front());
    }
    if (entry) {
      storage.Entries[position] = std::make_unique<PhoneBookEntry>(std::move(*entry));
      AnnounceEntry(storage, *storage.Entries[position]);
    } else {
      storage.Entries.erase(storage.Entries.begin() + static_cast<std::ptrdiff_t>(position));
    }
  }
  if (save) session.Cache.Save(storage, false);
  unreadable.Tell(session.Listing);
}

bool PhoneHoldsListed(PhoneBookSession& session, const PhoneBookStorage& storage,
                      std::vector<int32_t> locations) {
  std::sort(locations.begin(), locations.end());
  locations.erase(std::unique(locations.begin(), locations.end()), locations.end());
  ResponseList lines;
  for (auto run = locations.begin(); run != locations.end();) {
    const int32_t first = *run;
    const auto end = std::find_if(run, locations.end(), [first](int32_t location) {
      return int64_t{location} - first >= kChunkSize;
    });
    const int32_t last = *(end - 1);
    // Many phones refuse to read an empty location: a refusal shows nothing there.
    std::vector<PhoneBookEntry> held;
    if (ReadRange(session.Connection, first, last, lines, true)) {
      for (const std::string& line : lines) {
        std::optional<PhoneBookEntry> entry = ParseEntryLine(line, session.Profile.Charset);
        if (entry) held.push_back(std::move(*entry));
      }
    }
    for (; run != end; ++run) {
      const int position = FindEntryPosition(storage, *run);
      const auto found = std::find_if(held.begin(), held.end(), [&](const PhoneBookEntry& entry) {
        return entry.Index == *run;
      });
      const bool phoneHasOne = found != held.end();
      if (phoneHasOne != (position >= 0)) return false;
      if (phoneHasOne && !SameEntry(*found, *storage.Entries[static_cast<size_t>(position)])) {
        return false;
      }
    }
  }
  return true;
}

bool SameEntry(const PhoneBookEntry& a, const PhoneBookEntry& b) {
  return a.Number == b.Number && a.Type == b.Type && a.WideName == b.WideName;
}

WideString NameToWrite(const PhoneBookEntry& entry) {
  if (WideToOem(entry.WideName) == entry.Name) return entry.WideName;
  return OemToWide(entry.Name);
}

std::optional<std::string> SendableName(const PhoneBookEntry& entry, const std::string& charset) {
  std::string phoneName;
  if (!WideToPhone(NameToWrite(entry), charset, phoneName)) return std::nullopt;
  // The number is never in the phone's set, so no escape code may stand in it.
  if (!FitsInQuotes(phoneName) || !FitsOnCommandLine(phoneName, charset) ||
      !FitsInQuotes(entry.Number) || !FitsOnCommandLine(entry.Number, {})) {
    return std::nullopt;
  }
  return phoneName;
}

std::string CharsetThatCarries(const PhoneBookEntry& entry,
                               const std::vector<std::string>& offered) {
  for (const char* charset : {"UCS2", "UCS-2", "UTF-8", "UTF8"}) {
    if (std::find(offered.begin(), offered.end(), charset) != offered.end() &&
        SendableName(entry, charset)) {
      return charset;
    }
  }
  return {};
}

bool WriteEntry(PhoneBookEntry& entry, CConnection& connection, const std::string& charset) {
  const std::optional<std::string> phoneName = SendableName(entry, charset);
  if (!phoneName) return false;
  entry.WideName = NameToWrite(entry);
  return Execute(connection, "AT+CPBW=%d,\"%s\",%u,\"%s\"", nullptr, static_cast<int>(entry.Index),
                 entry.Number.c_str(), entry.Type, phoneName->c_str());
}

int FindEntryPosition(const PhoneBookStorage& storage, int32_t index) {
  const auto found =
      std::find_if(storage.Entries.begin(), storage.Entries.end(),
                   [index](const std::unique_ptr<PhoneBookEntry>& e) { return e->Index == index; });
  if (found == storage.Entries.end()) return -1;
  return static_cast<int>(found - storage.Entries.begin());
}

// A phone may list a location twice (again in the next chunk, or in answer to another
// location): two entries of one location would both stand for it on the panel and in the cache.
void AppendEntry(PhoneBookStorage& storage, std::unique_ptr<PhoneBookEntry> entry) {
  if (FindEntryPosition(storage, entry->Index) >= 0) return;
  AnnounceEntry(storage, *entry);
  storage.Entries.push_back(std::move(entry));
}
