#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "phonebook/phone_book_session.h"
#include "phonebook/phone_book_storage.h"

// What the editing operations need from the panel that shows the storage and from the person
// at it: the plug-in answers with the host's panel, dialogs and boxes.
class CPhoneBookUser {
 public:
  // What to do when the index an entry is to move to is taken.
  enum class TakenIndexChoice { Exchange, Shift, Overwrite, Cancel };
  // Why a renumbering did not go as asked.
  enum class RenumberProblem {
    EntriesKept,  // a write or an erase failed; every entry is kept, some perhaps twice
    NoSpare,      // a ring of moves needs a free location and there is none
  };

  virtual ~CPhoneBookUser() = default;

  // The number of items the panel shows, ".." included.
  virtual int ItemCount() = 0;
  // The list positions of the entries the user selected, in panel order (the entry under the
  // cursor when nothing is selected; never "..").
  virtual std::vector<size_t> SelectedPositions() = 0;
  // Shows the storage again, keeping the selection.
  virtual void Refresh() = 0;

  // The create dialog on `entry` and `index`, which the user may change; `giveIndex` is null
  // when the phone cannot choose an index, which is then always given. False when cancelled.
  virtual bool AskNewEntry(PhoneBookEntry& entry, int32_t& index, bool* giveIndex,
                           const PhoneBookStorage& storage) = 0;
  // The edit dialog on `entry`. False when cancelled.
  virtual bool AskEditedEntry(PhoneBookEntry& entry, const PhoneBookStorage& storage) = 0;
  // The entry as typed cannot be sent to the phone; its dialog comes back for correction.
  // `carrier` names a character set the phone offers that could carry it; empty when none.
  virtual void TellCannotSend(const std::string& carrier) = 0;
  // No location of the storage is free.
  virtual void TellStorageFull() = 0;
  // `index` lies outside the storage's range.
  virtual void TellOutOfRange(const PhoneBookStorage& storage) = 0;
  virtual TakenIndexChoice AskWhenTaken(int32_t index) = 0;
  virtual void TellRenumberProblem(RenumberProblem problem) = 0;
  // The phone no longer held what the panel showed where an operation was to write or erase:
  // nothing was written, and the storage was read again.
  virtual void TellChangedOnPhone() = 0;
  // Whether to delete the `count` chosen entries.
  virtual bool ConfirmDelete(size_t count) = 0;
  // The create dialog for one contact of an imported file was cancelled: whether to stop the
  // whole import rather than go on with the next contact.
  virtual bool AskStopImport() = 0;
  // A contact file holds more than `limit` contacts and is refused whole.
  virtual void TellTooManyContacts(size_t limit) = 0;
  // The screen as it is now comes back at the matching RestoreScreen: the writes and reads
  // between them leave nothing behind.
  virtual void SaveScreen() = 0;
  virtual void RestoreScreen() = 0;
};

// Creating, editing, renumbering and deleting entries of a writable storage. Before the first
// write the locations it touches are read, and the operation goes ahead only while the phone
// holds there what the list shows. Every change is written with AT+CPBW and read back, so the
// list shows what the phone stored; the cache is saved afterwards.

// The create dialog with the proposal's name (both forms) and number, then the write. Returns
// whether an entry was written.
bool CreateEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                 const PhoneBookEntry& proposal, bool refresh);

// The edit dialog on the entry at `position`, then the write.
void EditEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
               size_t position);

// Moves the entry at index `from` to index `to`, asking when `to` is taken. False when the
// user cancels or a write fails; no entry is ever left only in memory.
bool RenumberEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                   int32_t from, int32_t to);

// Erases the entry's location and drops it from the list when the phone reports it empty, or
// took the erase and then refuses to read the location (shown to nobody). False when the phone no
// longer held the listed entry: nothing was erased, and the storage was read again (every
// position and entry of the list is new).
bool DeleteEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user,
                 size_t position);

// Asks, then deletes every selected entry once.
void DeleteSelected(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookUser& user);
