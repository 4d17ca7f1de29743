#include "phonebook/contact_transfer.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <tuple>

#include "farlib/panel_items.h"
#include "link/at_engine.h"
#include "phonebook/storage_access.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

using EntryKey = std::tuple<int32_t, std::string, std::string>;

std::set<EntryKey> ListedEntries(const PhoneBookStorage& storage) {
  std::set<EntryKey> listed;
  for (const auto& entry : storage.Entries)
    listed.emplace(entry->Index, entry->Name, entry->Number);
  return listed;
}

// CreateEntry reads the new location back, so an entry the phone really holds shows up in the
// list as one that was not there before.
bool CreateVerified(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                    const PhoneBookEntry& proposal, bool refresh) {
  const std::set<EntryKey> before = ListedEntries(storage);
  if (!CreateEntry(session, storage, user, proposal, refresh)) return false;
  return std::any_of(storage.Entries.begin(), storage.Entries.end(), [&](const auto& entry) {
    return !entry->Number.empty() &&
           !before.contains(EntryKey(entry->Index, entry->Name, entry->Number));
  });
}

int PositionOf(const PhoneBookStorage& storage, const PhoneBookEntry* entry) {
  for (size_t i = 0; i < storage.Entries.size(); ++i) {
    if (storage.Entries[i].get() == entry) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsSeparator(folder.back())) return folder + name;
  const bool slashes =
      folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
  return folder + (slashes ? '/' : '\\') + name;
}

std::string ExportFilePath(const std::string& destination, const std::string& fileName,
                           const std::string& extension, bool destinationIsFolder) {
  const bool endsInSeparator = !destination.empty() && IsSeparator(destination.back());
  if (!endsInSeparator && !destinationIsFolder) return destination;
  return JoinPath(destination, FarLib::SafeFileName(fileName) + extension);
}

Contact ContactOf(const PhoneBookEntry& entry) {
  return {entry.Name, entry.Number, NameToWrite(entry)};
}

TransferOutcome TransferEntries(PhoneBookSession& session, PhoneBookStorage& source,
                                PhoneBookStorage& target, CPhoneBookUser& user,
                                const std::vector<size_t>& positions, bool move) {
  TransferOutcome outcome;
  move = move && source.Writable;
  // A deletion moves the later entries up, so the chosen ones are known by their objects.
  std::vector<const PhoneBookEntry*> chosen;
  for (const size_t position : positions) {
    if (position >= source.Entries.size()) continue;
    const PhoneBookEntry* entry = source.Entries[position].get();
    if (std::find(chosen.begin(), chosen.end(), entry) == chosen.end()) chosen.push_back(entry);
  }
  if (chosen.empty() || &source == &target || !target.Writable) return outcome;

  LoadStorage(session, target);
  for (const PhoneBookEntry* entry : chosen) {
    if (move && !SelectStorage(session, target)) {
      outcome.stopped = true;
      break;
    }
    // A copy: the source entry's object may be replaced while the target is written.
    const PhoneBookEntry proposal = *entry;
    if (!CreateVerified(session, target, user, proposal, false)) {
      ++outcome.kept;
      continue;
    }
    ++outcome.created;
    if (!move) continue;
    if (!SelectStorage(session, source)) {
      outcome.stopped = true;
      break;
    }
    const int position = PositionOf(source, entry);
    if (position < 0) continue;
    // The re-read after the erase replaces the entry's object when the location still holds it.
    const int32_t index = entry->Index;
    if (!DeleteEntry(session, source, user, static_cast<size_t>(position))) {
      // The source was read again: the chosen entries are gone from memory with its old list.
      outcome.stopped = true;
      break;
    }
    if (FindEntryPosition(source, index) < 0) ++outcome.removed;
  }
  session.Cache.Save(target, false);
  LoadStorage(session, source);
  session.Cache.Save(source, false);
  return outcome;
}

namespace {

// The user as the import sees it: passes everything on, and notes why the last creation came
// to nothing, so that a cancel or a full storage can end the import instead of repeating.
class CImportingUser : public CPhoneBookUser {
 public:
  explicit CImportingUser(CPhoneBookUser& user) : m_user(user) {}

  bool Cancelled() const { return m_cancelled; }
  bool StorageFull() const { return m_storageFull; }
  void Forget() { m_cancelled = false; }

  int ItemCount() override { return m_user.ItemCount(); }
  std::vector<size_t> SelectedPositions() override { return m_user.SelectedPositions(); }
  void Refresh() override { m_user.Refresh(); }
  bool AskNewEntry(PhoneBookEntry& entry, int32_t& index, bool* giveIndex,
                   const PhoneBookStorage& storage) override {
    m_cancelled = !m_user.AskNewEntry(entry, index, giveIndex, storage);
    return !m_cancelled;
  }
  bool AskEditedEntry(PhoneBookEntry& entry, const PhoneBookStorage& storage) override {
    return m_user.AskEditedEntry(entry, storage);
  }
  void TellCannotSend(const std::string& carrier) override { m_user.TellCannotSend(carrier); }
  void TellStorageFull() override {
    m_storageFull = true;
    m_user.TellStorageFull();
  }
  void TellOutOfRange(const PhoneBookStorage& storage) override { m_user.TellOutOfRange(storage); }
  TakenIndexChoice AskWhenTaken(int32_t index) override { return m_user.AskWhenTaken(index); }
  void TellRenumberProblem(RenumberProblem problem) override {
    m_user.TellRenumberProblem(problem);
  }
  void TellChangedOnPhone() override { m_user.TellChangedOnPhone(); }
  bool ConfirmDelete(size_t count) override { return m_user.ConfirmDelete(count); }
  bool AskStopImport() override { return m_user.AskStopImport(); }
  void TellTooManyContacts(size_t limit) override { m_user.TellTooManyContacts(limit); }
  void SaveScreen() override { m_user.SaveScreen(); }
  void RestoreScreen() override { m_user.RestoreScreen(); }

 private:
  CPhoneBookUser& m_user;
  bool m_cancelled = false;
  bool m_storageFull = false;
};

}  // namespace

ImportOutcome ImportContacts(PhoneBookSession& session, PhoneBookStorage& storage,
                             CPhoneBookUser& user, const ContactFile& file) {
  ImportOutcome outcome;
  if (file.TooMany()) {
    user.TellTooManyContacts(kMostContactsPerFile);
    return outcome;
  }
  bool everyOne = file.Size() > 0 && file.Skipped == 0;
  CImportingUser importing(user);
  for (size_t i = 0; i < file.Size(); ++i) {
    const Contact contact = file.At(i);
    PhoneBookEntry proposal;
    proposal.Name = contact.Name;
    proposal.WideName = contact.WideName;
    proposal.Number = contact.Number;
    importing.Forget();
    if (CreateVerified(session, storage, importing, proposal, true)) continue;
    everyOne = false;
    if (importing.StorageFull() || (importing.Cancelled() && user.AskStopImport())) {
      outcome.stopped = true;
      break;
    }
  }
  outcome.mayDelete = everyOne;
  return outcome;
}
