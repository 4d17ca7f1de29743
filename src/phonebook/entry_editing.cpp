#include "phonebook/entry_editing.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "encoding/charset.h"
#include "link/at_engine.h"
#include "phonebook/storage_access.h"
#include "regex/regex.h"

namespace {

// The user's screen for the length of a scope.
class CSavedScreen {
 public:
  explicit CSavedScreen(CPhoneBookUser& user) : m_user(user) { m_user.SaveScreen(); }
  ~CSavedScreen() { m_user.RestoreScreen(); }
  CSavedScreen(const CSavedScreen&) = delete;
  CSavedScreen& operator=(const CSavedScreen&) = delete;

 private:
  CPhoneBookUser& m_user;
};

// A number no +CPBR line can yield (a reply line never holds a line feed): it marks a list
// entry that stands for a location whose contents are not known.
constexpr std::string_view kUnknownNumber = "\n";

// ---- Sending ----

// Runs a dialog until it is cancelled or gives an entry the phone can take: the user's input
// comes back for correction instead of being dropped or sent broken.
template <typename RunDialog>
bool AskForSendableEntry(const PhoneBookEntry& entry, const PhoneBookSession& session,
                         CPhoneBookUser& user, RunDialog runDialog) {
  while (runDialog()) {
    if (SendableName(entry, session.Profile.Charset)) return true;
    user.TellCannotSend(session.OfferedCharsets
                            ? CharsetThatCarries(entry, *session.OfferedCharsets)
                            : std::string());
  }
  return false;
}

bool EraseLocation(PhoneBookSession& session, int32_t index) {
  if (session.Profile.Flags & kProfileDeleteByIndexOnly) {
    return Execute(session.Connection, "AT+CPBW=%d", nullptr, static_cast<int>(index));
  }
  return Execute(session.Connection, "AT+CPBW=%d,\"\",,\"\"", nullptr, static_cast<int>(index));
}

void ReadAgainAndTell(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user) {
  storage.Loaded = false;
  LoadStorage(session, storage);
  user.TellChangedOnPhone();
}

// Before the first write or erase of an operation: the phone must still hold at `locations` what
// the list shows, or the list is out of date (entries changed with the phone's own keys, or
// another program's) and whatever the operation would write could land on an entry the user
// never saw. Then nothing is written: the storage is read again and the user told. From here
// until the operation saves the cache after reading back what it wrote, the cache does not vouch
// for the storage, so a link lost half-way has it read again at the next opening.
bool ReadyToWrite(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                  const std::vector<int32_t>& locations) {
  if (!SelectStorage(session, storage)) return false;
  if (!PhoneHoldsListed(session, storage, locations)) {
    ReadAgainAndTell(session, storage, user);
    return false;
  }
  session.Cache.Distrust(storage);
  return true;
}

// Brings the list in line with what the phone holds at `index`, whether or not the list has an
// entry there. `known` is what the location is believed to hold now, replacing the listed entry;
// it stays in the list when the phone refuses the read, while a location of unknown contents
// then stays out of it.
void ReadLocation(PhoneBookSession& session, PhoneBookStorage& storage, int32_t index,
                  const PhoneBookEntry* known) {
  int position = FindEntryPosition(storage, index);
  if (position >= 0 && known) {
    *storage.Entries[static_cast<size_t>(position)] = *known;
    storage.Entries[static_cast<size_t>(position)]->Index = index;
  } else if (position < 0) {
    auto entry = std::make_unique<PhoneBookEntry>();
    if (known) *entry = *known;
    else entry->Number = std::string(kUnknownNumber);
    entry->Index = index;
    storage.Entries.push_back(std::move(entry));
    position = static_cast<int>(storage.Entries.size()) - 1;
  }
  const auto at = static_cast<size_t>(position);
  RereadEntry(session, storage, at, false);
  if (at < storage.Entries.size() && storage.Entries[at]->Index == index &&
      storage.Entries[at]->Number == kUnknownNumber) {
    storage.Entries.erase(storage.Entries.begin() + position);
  }
}

// The first index of the storage that is neither listed nor among `taken`.
std::optional<int32_t> FirstFreeIndex(const PhoneBookStorage& storage,
                                      std::set<int32_t> taken = {}) {
  for (const auto& entry : storage.Entries) taken.insert(entry->Index);
  int64_t candidate = storage.MinIndex;
  for (const int32_t index : taken) {
    if (index > candidate) break;
    if (index == candidate) ++candidate;
  }
  if (candidate > storage.MaxIndex) return std::nullopt;
  return static_cast<int32_t>(candidate);
}

// Erases the entry's location and drops it from the list when the phone reports it empty, or
// took the erase and then refuses to read the location (shown to nobody).
void EraseEntry(PhoneBookSession& session, PhoneBookStorage& storage, size_t position) {
  const bool erased = EraseLocation(session, storage.Entries[position]->Index);
  RereadEntry(session, storage, position, false,
              erased ? RefusedRead::MeansEmpty : RefusedRead::KeepsTheEntry);
}

// ---- Renumbering ----

// Moves entries between locations so that none is ever held in memory alone: an entry's
// location is written over only after the entry was written elsewhere, a ring of moves goes
// through a free location, and old locations are erased only once every write went through.
// At a failed write the changes made so far are undone, latest first, as far as the phone
// lets them; then every location involved is read again.
class CRenumbering {
 public:
  enum class Outcome {
    Done,
    DoneWithCopies,  // an old location could not be erased and still holds a copy
    Failed,          // a write failed; the list shows where the entries now are
    NoSpare,         // a ring of moves but no free location; nothing was changed
    SpareTaken,      // the free location for a ring holds an entry the list does not show
  };

  CRenumbering(PhoneBookSession& session, PhoneBookStorage& storage)
      : m_session(session), m_storage(storage) {}

  // The entry at `origin` is to end at `target`. Moves are made in the order added as far as
  // none stands in the way of another.
  void Move(int32_t origin, int32_t target) {
    const PhoneBookEntry& entry = *m_storage.Entries[static_cast<size_t>(Position(origin))];
    Believe(origin);
    Believe(target);
    m_steps.push_back({entry, origin, target, origin, false});
  }

  // The entry at `index` may be written over. It leaves the list now; the phone keeps it until
  // then, and it is written back if the operation is undone.
  void GiveUp(int32_t index) {
    Believe(index);
    m_storage.Entries.erase(m_storage.Entries.begin() + Position(index));
  }

  Outcome Run() {
    while (Step* step = NextPending()) {
      Step* ready = NextReady();
      if (!ready) {
        // Every move waits for another: the entry in the first one's way goes to a free
        // location first.
        Step* blocker = PendingAt(step->target);
        const std::optional<int32_t> spare = FindSpare();
        if (!blocker || !spare) {
          if (m_journal.empty()) return Outcome::NoSpare;
          return Fail();
        }
        if (!PhoneHoldsListed(m_session, m_storage, {*spare})) {
          if (!m_journal.empty()) Fail();
          return Outcome::SpareTaken;
        }
        m_phone[*spare] = std::nullopt;
        m_spares.push_back(*spare);
        if (!Write(*blocker, *spare)) return Fail();
        continue;
      }
      if (!Write(*ready, ready->target)) return Fail();
      ready->done = true;
    }
    const std::vector<int32_t> vacated = Vacated();
    for (size_t i = 0; i < vacated.size(); ++i) {
      if (!EraseLocation(m_session, vacated[i])) {
        Sync(std::set<int32_t>(vacated.begin() + static_cast<std::ptrdiff_t>(i), vacated.end()));
        return Outcome::DoneWithCopies;
      }
      m_phone[vacated[i]] = std::nullopt;
    }
    return Outcome::Done;
  }

 private:
  struct Step {
    PhoneBookEntry entry;  // as it was before the operation
    int32_t origin;
    int32_t target;
    int32_t at;  // where the list's entry for it stands now
    bool done;
  };
  // One write that went through and what the location held before it.
  struct Change {
    int32_t location;
    std::optional<PhoneBookEntry> before;
  };

  std::ptrdiff_t Position(int32_t index) const { return FindEntryPosition(m_storage, index); }

  void Believe(int32_t index) {
    if (m_phone.count(index)) return;
    const int position = FindEntryPosition(m_storage, index);
    if (position < 0) m_phone[index] = std::nullopt;
    else m_phone[index] = *m_storage.Entries[static_cast<size_t>(position)];
  }

  Step* NextPending() {
    for (Step& step : m_steps) {
      if (!step.done) return &step;
    }
    return nullptr;
  }

  Step* PendingAt(int32_t location) {
    for (Step& step : m_steps) {
      if (!step.done && step.at == location) return &step;
    }
    return nullptr;
  }

  Step* NextReady() {
    for (Step& step : m_steps) {
      if (step.done) continue;
      const Step* inTheWay = PendingAt(step.target);
      if (!inTheWay || inTheWay == &step) return &step;
    }
    return nullptr;
  }

  // A location the list shows empty and the operation does not involve.
  std::optional<int32_t> FindSpare() const {
    std::set<int32_t> involved;
    for (const auto& [index, contents] : m_phone) involved.insert(index);
    return FirstFreeIndex(m_storage, std::move(involved));
  }

  // The list's entry follows the write and is read back from the phone.
  bool Write(Step& step, int32_t location) {
    PhoneBookEntry copy = step.entry;
    copy.Index = location;
    m_touched.insert(location);
    if (!WriteEntry(copy, m_session.Connection, m_session.Profile.Charset)) return false;
    m_journal.push_back({location, m_phone[location]});
    m_phone[location] = copy;
    const int position = FindEntryPosition(m_storage, step.at);
    step.at = location;
    if (position >= 0) {
      m_storage.Entries[static_cast<size_t>(position)]->Index = location;
      RereadEntry(m_session, m_storage, static_cast<size_t>(position), false);
    } else {
      ReadLocation(m_session, m_storage, location, &copy);
    }
    // A phone that accepted the write but reports the location empty, or holding something
    // else, has not stored it: the entry is still only where it came from.
    const int stored = FindEntryPosition(m_storage, location);
    if (stored >= 0 && SameEntry(*m_storage.Entries[static_cast<size_t>(stored)], copy)) {
      return true;
    }
    m_phone[location] =
        stored >= 0 ? std::optional(*m_storage.Entries[static_cast<size_t>(stored)]) : std::nullopt;
    return false;
  }

  // The locations that held a moving entry and end up holding none, and the spares.
  std::vector<int32_t> Vacated() const {
    std::vector<int32_t> vacated;
    for (const Step& step : m_steps) {
      const bool refilled = std::any_of(m_steps.begin(), m_steps.end(),
                                        [&](const Step& s) { return s.target == step.origin; });
      if (!refilled) vacated.push_back(step.origin);
    }
    vacated.insert(vacated.end(), m_spares.begin(), m_spares.end());
    return vacated;
  }

  Outcome Fail() {
    Undo();
    std::set<int32_t> involved = m_touched;
    for (const Step& step : m_steps) {
      involved.insert(step.origin);
      involved.insert(step.target);
    }
    for (const auto& [index, contents] : m_phone) involved.insert(index);
    Sync(involved);
    return Outcome::Failed;
  }

  // Each change is undone only while every earlier one stands, so the entry written over is
  // still held where it came from.
  void Undo() {
    while (!m_journal.empty()) {
      const Change& change = m_journal.back();
      bool undone = false;
      if (change.before) {
        PhoneBookEntry copy = *change.before;
        copy.Index = change.location;
        undone = WriteEntry(copy, m_session.Connection, m_session.Profile.Charset);
      } else {
        undone = EraseLocation(m_session, change.location);
      }
      if (!undone) return;
      m_phone[change.location] = change.before;
      m_journal.pop_back();
    }
  }

  // The list's entries for these locations are replaced by what the phone holds there now.
  void Sync(const std::set<int32_t>& locations) {
    std::erase_if(m_storage.Entries, [&](const std::unique_ptr<PhoneBookEntry>& entry) {
      return locations.count(entry->Index) > 0;
    });
    for (const int32_t location : locations) {
      const auto belief = m_phone.find(location);
      const bool known = belief != m_phone.end() && belief->second;
      ReadLocation(m_session, m_storage, location, known ? &*belief->second : nullptr);
    }
  }

  PhoneBookSession& m_session;
  PhoneBookStorage& m_storage;
  std::vector<Step> m_steps;
  std::vector<int32_t> m_spares;
  // What each location involved holds as far as this operation knows.
  std::map<int32_t, std::optional<PhoneBookEntry>> m_phone;
  std::vector<Change> m_journal;
  std::set<int32_t> m_touched;
};

// The entries strictly between `from` and `to`, and the one at `to`, nearest to `from` first.
std::vector<int32_t> EntriesToShift(const PhoneBookStorage& storage, int32_t from, int32_t to) {
  std::vector<int32_t> indexes;
  for (const auto& entry : storage.Entries) {
    const int32_t index = entry->Index;
    if (to < from ? (index >= to && index < from) : (index > from && index <= to)) {
      indexes.push_back(index);
    }
  }
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  if (to < from) std::reverse(indexes.begin(), indexes.end());
  return indexes;
}

// Writes the new entry at its chosen index, renumbering first when the index is taken.
bool WriteAtIndex(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                  PhoneBookEntry& entry, int32_t proposed, int32_t chosen) {
  const bool taken = FindEntryPosition(storage, chosen) >= 0;
  if (taken ? !RenumberEntry(session, storage, user, proposed, chosen)
            : !ReadyToWrite(session, storage, user, {chosen})) {
    return false;
  }
  entry.Index = chosen;
  const bool written = WriteEntry(entry, session.Connection, session.Profile.Charset);
  // Unwritten, the entry stays out of the list, which keeps whatever the location holds.
  ReadLocation(session, storage, chosen, written ? &entry : nullptr);
  session.Cache.Save(storage, false);
  return written;
}

bool WriteWhereThePhoneChooses(PhoneBookSession& session, PhoneBookStorage& storage,
                               CPhoneBookUser& user, const PhoneBookEntry& entry) {
  const std::optional<std::string> phoneName = SendableName(entry, session.Profile.Charset);
  if (!phoneName || !ReadyToWrite(session, storage, user, {})) return false;
  if (!Execute(session.Connection, "AT+CPBW=,\"%s\",%d,\"%s\"", nullptr, entry.Number.c_str(),
               static_cast<int>(entry.Type), phoneName->c_str())) {
    return false;
  }
  ReadNewEntries(session, storage, true);
  return true;
}

}  // namespace

bool CreateEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                 const PhoneBookEntry& proposal, bool refresh) {
  const std::optional<int32_t> proposed = FirstFreeIndex(storage);
  if (!proposed) {
    user.TellStorageFull();
    return false;
  }
  PhoneBookEntry entry;
  entry.Name = proposal.Name;
  entry.WideName = proposal.WideName;
  entry.Number = proposal.Number;
  RegexReplace(entry.Number, "[^0-9+*#]", "", true, 0, 0);

  int32_t index = *proposed;
  bool giveIndex = false;
  const bool phoneMayChoose = (session.Profile.Flags & kProfilePhoneChoosesIndex) != 0;
  const bool confirmed = AskForSendableEntry(entry, session, user, [&] {
    return user.AskNewEntry(entry, index, phoneMayChoose ? &giveIndex : nullptr, storage);
  });
  if (!confirmed) return false;
  entry.Type = AddressType(entry.Number);

  bool written = false;
  {
    CSavedScreen screen(user);
    if (!phoneMayChoose || giveIndex) {
      written = WriteAtIndex(session, storage, user, entry, *proposed, index);
    } else {
      written = WriteWhereThePhoneChooses(session, storage, user, entry);
    }
  }
  if (refresh) user.Refresh();
  return written;
}

void EditEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
               size_t position) {
  if (position >= storage.Entries.size()) return;
  PhoneBookEntry edited = *storage.Entries[position];
  const bool confirmed = AskForSendableEntry(edited, session, user,
                                             [&] { return user.AskEditedEntry(edited, storage); });
  if (!confirmed) return;
  edited.Type = AddressType(edited.Number);
  if (ReadyToWrite(session, storage, user, {edited.Index})) {
    // The list takes the edit only once the phone has it; the re-read then shows what it stored.
    if (WriteEntry(edited, session.Connection, session.Profile.Charset)) {
      *storage.Entries[position] = edited;
    }
    RereadEntry(session, storage, position, false);
    session.Cache.Save(storage, false);
  }
  user.Refresh();
}

bool RenumberEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                   int32_t from, int32_t to) {
  if (from == to) return true;
  if (to < storage.MinIndex || to > storage.MaxIndex) {
    user.TellOutOfRange(storage);
    return false;
  }
  const bool moving = FindEntryPosition(storage, from) >= 0;
  const bool taken = FindEntryPosition(storage, to) >= 0;
  if (!taken && !moving) return true;
  const auto choice = taken ? user.AskWhenTaken(to) : CPhoneBookUser::TakenIndexChoice::Overwrite;
  if (choice == CPhoneBookUser::TakenIndexChoice::Cancel) return false;
  // Every location a move leaves or fills is read first, a shifted entry's new one included.
  std::vector<int32_t> shifted;
  if (choice == CPhoneBookUser::TakenIndexChoice::Shift)
    shifted = EntriesToShift(storage, from, to);
  const auto shiftedTo = [&](int32_t index) { return to < from ? index + 1 : index - 1; };
  std::vector<int32_t> involved = {from, to};
  for (const int32_t index : shifted) {
    involved.push_back(index);
    involved.push_back(shiftedTo(index));
  }
  if (!ReadyToWrite(session, storage, user, involved)) return false;

  CRenumbering renumbering(session, storage);
  switch (choice) {
    case CPhoneBookUser::TakenIndexChoice::Exchange: renumbering.Move(to, from); break;
    case CPhoneBookUser::TakenIndexChoice::Shift:
      for (const int32_t index : shifted) renumbering.Move(index, shiftedTo(index));
      break;
    case CPhoneBookUser::TakenIndexChoice::Overwrite:
      // Without a moving entry the caller writes over the occupant itself; until then it
      // stays listed, as the phone still holds it.
      if (!moving) return true;
      if (taken) renumbering.GiveUp(to);
      break;
    case CPhoneBookUser::TakenIndexChoice::Cancel: return false;
  }
  if (moving) renumbering.Move(from, to);

  const CRenumbering::Outcome outcome = renumbering.Run();
  session.Cache.Save(storage, false);
  switch (outcome) {
    case CRenumbering::Outcome::Done: return true;
    case CRenumbering::Outcome::DoneWithCopies:
      user.TellRenumberProblem(CPhoneBookUser::RenumberProblem::EntriesKept);
      return true;
    case CRenumbering::Outcome::Failed:
      user.TellRenumberProblem(CPhoneBookUser::RenumberProblem::EntriesKept);
      return false;
    case CRenumbering::Outcome::NoSpare:
      user.TellRenumberProblem(CPhoneBookUser::RenumberProblem::NoSpare);
      return false;
    case CRenumbering::Outcome::SpareTaken: ReadAgainAndTell(session, storage, user); return false;
  }
  return false;
}

bool DeleteEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                 size_t position) {
  if (position >= storage.Entries.size()) return true;
  if (!ReadyToWrite(session, storage, user, {storage.Entries[position]->Index})) return false;
  EraseEntry(session, storage, position);
  return true;
}

void DeleteSelected(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user) {
  if (user.ItemCount() <= 0) return;
  // Deleting removes entries and moves the later ones up, so the chosen ones are known by
  // their objects rather than by positions that go stale.
  std::vector<const PhoneBookEntry*> chosen;
  std::vector<int32_t> locations;
  for (const size_t position : user.SelectedPositions()) {
    if (position >= storage.Entries.size()) continue;
    const PhoneBookEntry* entry = storage.Entries[position].get();
    if (std::find(chosen.begin(), chosen.end(), entry) != chosen.end()) continue;
    chosen.push_back(entry);
    locations.push_back(entry->Index);
  }
  if (chosen.empty()) return;
  if (!user.ConfirmDelete(chosen.size())) return;
  if (!ReadyToWrite(session, storage, user, locations)) {
    user.Refresh();
    return;
  }
  for (const PhoneBookEntry* entry : chosen) {
    const auto found = std::find_if(
        storage.Entries.begin(), storage.Entries.end(),
        [entry](const std::unique_ptr<PhoneBookEntry>& e) { return e.get() == entry; });
    if (found == storage.Entries.end()) continue;
    EraseEntry(session, storage, static_cast<size_t>(found - storage.Entries.begin()));
  }
  session.Cache.Save(storage, false);
  user.Refresh();
}
