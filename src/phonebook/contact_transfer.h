#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "phonebook/contact_files.h"
#include "phonebook/entry_editing.h"
#include "phonebook/phone_book_session.h"
#include "phonebook/phone_book_storage.h"

// Taking entries out of a storage and bringing them in: where an export file goes, copying and
// moving entries between storages, and creating entries from what a contact file held. Nothing
// here opens files or shows more than the entry dialogs; the panel does that.

// The file an export writes. A destination ending in a path separator, or naming a folder
// (`destinationIsFolder`), receives `fileName` followed by `extension`; any other destination is
// the file itself. The file name is made safe first (FarLib::SafeFileName), so that no name,
// whether a panel item's or a storage's as the phone reports it, can lead out of the folder.
std::string ExportFilePath(const std::string& destination, const std::string& fileName,
                           const std::string& extension, bool destinationIsFolder);

// `folder` and `name` joined with the folder's own kind of separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The contact an export writes for the entry; its name as NameToWrite gives it, for a vCard.
Contact ContactOf(const PhoneBookEntry& entry);

struct TransferOutcome {
  size_t created = 0;    // entries now in the target
  size_t removed = 0;    // of those, the ones a move took out of the source
  size_t kept = 0;       // entries that stay only in the source: cancelled, refused or unverified
  bool stopped = false;  // a storage could not be selected; later entries were not tried
};

// Copies the entries of `source` at `positions` (panel order) into `target`, each through the
// create dialog. A move deletes a source entry only once the phone took it into the target and
// the target's list, read back from the phone, shows it: a cancelled, refused or unverifiable
// creation keeps the source entry. A move out of a storage that cannot be changed is a copy.
// Afterwards the source is the phone's selected storage again and both caches are saved.
TransferOutcome TransferEntries(PhoneBookSession& session, PhoneBookStorage& source,
                                PhoneBookStorage& target, CPhoneBookUser& user,
                                const std::vector<size_t>& positions, bool move);

struct ImportOutcome {
  // The file held at least one contact, passed over none, and every one became an entry: only
  // then may the file be deleted after a move.
  bool mayDelete = false;
  // The user stopped the import or the storage filled up; no further file is to be tried.
  bool stopped = false;
};

// Creates one entry from each contact of the file, each through the create dialog. A file with
// too many contacts is refused whole with one box. A cancelled dialog asks whether to stop the
// import; a full storage stops it after its one box.
ImportOutcome ImportContacts(PhoneBookSession& session, PhoneBookStorage& storage,
                             CPhoneBookUser& user, const ContactFile& file);
