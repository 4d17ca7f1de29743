#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "encoding/charset.h"
#include "link/connection.h"
#include "phonebook/phone_book_session.h"
#include "phonebook/phone_book_storage.h"

// Reading and writing one phone-book memory of the phone with the GSM 07.07 commands.

// Reply parsers, pure functions of one reply line.

// One entry of a +CPBR reply; none for a line that is not one, and none when the index or the
// type does not fit 32 bits. Number and name must be quoted (an unquoted name could hold the
// commas that separate the fields), save a name of bare hex digits in a set written in hex. The
// shapes real phones send are read too: an empty field after the index, and no type (145 for a
// number that starts with '+', else 129), as for a name without number. The name is decoded
// from the phone's character set; a date and time in further quoted fields become the entry's
// time (a field that is no date gives 1980-01-01), and fields after the name that are not
// quoted are ignored.
//   +CPBR: <index>,[,]"<number>",[<type>],"<name>"|<hex name>[,"<date>"[,"<time>"]]
//   e.g. +CPBR: 1,"+447700900123",145,"Ann"    +CPBR: 6,"",,"00530074"
std::optional<PhoneBookEntry> ParseEntryLine(const std::string& line, const std::string& charset);

struct StorageLimits {
  int32_t MinIndex = 1;
  int32_t MaxIndex = 255;
  int32_t MaxPhoneLength = 16;
  int32_t MaxNameLength = 16;
};
// The limits of the selected storage.
//   +CPBR: (<first>-<last>),<number length>,<name length>
//   e.g. +CPBR: (1-250),40,18
std::optional<StorageLimits> ParseLimits(const std::string& line);

// The name of the selected storage; empty for a line that names none.
//   +CPBS: "<storage>"[,<used>,<total>]
//   e.g. +CPBS: "SM",12,250
std::string ParseSelectedName(const std::string& line);

// The number of used locations of the selected storage.
//   +CPBS: "<storage>",<used>,<total>
//   e.g. +CPBS: "SM",12,250
std::optional<int32_t> ParseUsedCount(const std::string& line);

// Operations on the phone. Each selects its storage first (see SelectStorage) and does nothing
// when the phone refuses it. The reads below leave out a line of the phone's answer that is no
// entry, and tell the user once, when they end (session.Listing).

// How many entries the phone says the selected storage holds; none when it does not say.
std::optional<int32_t> AskUsedCount(PhoneBookSession& session);

// The number of locations of the storage's index range.
int32_t RangeSize(const PhoneBookStorage& storage);

// Makes the storage the phone's selected one with AT+CPBS, unless the plug-in selected it last
// itself (session.SelectedStorage). False when the phone refuses, which leaves its choice
// unknown.
bool SelectStorage(PhoneBookSession& session, const PhoneBookStorage& storage);

// Reads the storage's limits and entries (in chunks of five locations, or at once with profile
// flag 8) and saves the cache, unless it is writable, loaded already and the phone still counts
// the entries it counted when they were read. A storage served so costs one AT+CPBS?, which also
// shows whether the phone has it selected already.
void LoadStorage(PhoneBookSession& session, PhoneBookStorage& storage);

// Reads the locations not yet in the list and appends what it finds (after the phone chose
// the index of a new entry); `stopAtFirst` ends at the first run of locations that held one.
void ReadNewEntries(PhoneBookSession& session, PhoneBookStorage& storage, bool stopAtFirst);

// What a refused read of a location tells. Right after the phone took an erase of it, many
// phones refuse to read the now empty location: that is no error to show, and the entry is gone.
enum class RefusedRead { KeepsTheEntry, MeansEmpty };

// Reads the location of the entry at `position` again: the entry is replaced by what the phone
// holds, or removed from the list when the location is empty. A refused read changes nothing,
// unless `refused` says it means empty.
void RereadEntry(PhoneBookSession& session, PhoneBookStorage& storage, size_t position, bool save,
                 RefusedRead refused = RefusedRead::KeepsTheEntry);

// The same entry as far as a +CPBR line tells: number, type and name.
bool SameEntry(const PhoneBookEntry& a, const PhoneBookEntry& b);

// Whether the phone holds at each of `locations` what the list shows: the listed entry (its
// number, type and name), or nothing where the list has none. Nearby locations are read with
// one command, up to five at a time.
bool PhoneHoldsListed(PhoneBookSession& session, const PhoneBookStorage& storage,
                      std::vector<int32_t> locations);

// The name the phone gets: the UTF-16 name that came from the phone or a file, as long as the
// host text still reads as it did, so that letters the host's code page lacks are kept; a name
// the user typed goes as typed.
WideString NameToWrite(const PhoneBookEntry& entry);

// The entry's name in the phone's character set as AT+CPBW carries it; none when the set cannot
// hold it, or the name or the number holds a quote (which would end the field early) or a byte
// the command line must not carry (FitsOnCommandLine).
std::optional<std::string> SendableName(const PhoneBookEntry& entry, const std::string& charset);

// The first of the sets the phone offers that can carry the entry where `charset` cannot:
// UCS2, then UTF-8; empty when neither is offered or neither helps.
std::string CharsetThatCarries(const PhoneBookEntry& entry,
                               const std::vector<std::string>& offered);

// Writes the entry with AT+CPBW, the name as NameToWrite gives it (kept in WideName); false
// when SendableName gives none (nothing is sent then) or the phone refuses.
bool WriteEntry(PhoneBookEntry& entry, CConnection& connection, const std::string& charset);

// The position in the list of the entry with that index, or -1.
int FindEntryPosition(const PhoneBookStorage& storage, int32_t index);

// Appends an entry read from the phone; the first one with a time turns the storage's view to
// the call-list view. A location already in the list keeps the entry first read for it.
void AppendEntry(PhoneBookStorage& storage, std::unique_ptr<PhoneBookEntry> entry);
