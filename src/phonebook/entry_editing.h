#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "phonebook/phone_book_session.h"
#include "phonebook/phone_book_storage.h"

// What the editing operations need from the panel that shows the storage.
class CPhoneBookView {
 public:
  virtual ~CPhoneBookView() = default;
  // The number of items the panel shows, ".." included.
  virtual int ItemCount() = 0;
  // The list positions of the entries the user selected, in panel order (the entry under the
  // cursor when nothing is selected; never "..").
  virtual std::vector<size_t> SelectedPositions() = 0;
  // Shows the storage again, keeping the selection.
  virtual void Refresh() = 0;
};

// Creating, editing, renumbering and deleting entries of a writable storage. Every change is
// written with AT+CPBW and read back, so the list shows what the phone stored; the cache is
// saved afterwards.

// The create dialog with the name and number given, then the write. Returns whether an entry
// was written.
bool CreateEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookView& view,
                 const std::string& name, const std::string& number, bool refresh);

// The edit dialog on the entry at `position`, then the write.
void EditEntry(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookView& view,
               size_t position);

// Moves the entry at index `from` to index `to`, asking when `to` is taken. False when the
// user cancels or a write fails; no entry is ever left only in memory.
bool RenumberEntry(PhoneBookSession& session, PhoneBookStorage& storage, int32_t from, int32_t to);

// Erases the entry's location and drops it from the list when the phone reports it empty.
void DeleteEntry(PhoneBookSession& session, PhoneBookStorage& storage, size_t position);

// Asks, then deletes every selected entry once.
void DeleteSelected(PhoneBookSession& session, PhoneBookStorage& storage, CPhoneBookView& view);
