#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "phonebook/phone_book_storage.h"
#include "platform/registry.h"

// What the plug-in remembers of one phone between openings, in the registry below the
// plug-in's key: "\Devices\<identity>", one subkey per storage with its limits and view, and
// below a writable storage one subkey per entry ("%03d" of the index).
class CDeviceCache {
 public:
  // Opens the phone's key, creating it when missing. False (the cache stays closed and every
  // call below does nothing) when the identity gives no usable key.
  bool Open(const std::string& identity);
  void Close();
  bool IsOpen() const { return m_key.IsOpen(); }

  // Fills the limits, view and entries of every storage that has a key. A limit or view value
  // that is missing, of the wrong type or out of range keeps its default. Only a key that a
  // complete save left marks its storage loaded: every entry subkey sound (named by its index
  // as the save names it, with a text "Phone", a number "Type" and a wide text "Name", time
  // halves numbers if present) and as many of them as "EntryCount" says, which a save writes
  // last. Otherwise the sound entries are kept but the storage is read from the phone again.
  void Load(std::vector<std::unique_ptr<PhoneBookStorage>>& storages);

  // Writes the storage's view only (`viewOnly`, or a storage that is not writable or not
  // loaded), or replaces its whole key with its limits, view and entries, as one unit. False
  // when the cache is closed, the storage's name cannot name a key, or a write failed.
  bool Save(const PhoneBookStorage& storage, bool viewOnly);

  // The saved entries of the storage no longer count as complete: until the next full Save, a
  // Load keeps them but has the storage read from the phone again. False when the cache is
  // closed or the write failed.
  bool Distrust(const PhoneBookStorage& storage);

  // A REG_DWORD value of the phone's key itself; none when the cache is closed, or the value
  // is missing or of another type or size.
  std::optional<uint32_t> ReadDword(const std::string& name) const;
  // False when the cache is closed or the write failed.
  bool WriteDword(const std::string& name, uint32_t value);

 private:
  Platform::CRegKey m_key;
  std::string m_path;  // the phone's key, below HKEY_CURRENT_USER
};

// The name the phone's key gets from its identity: a registry key name that cannot escape the
// Devices key (backslashes and control characters become '_', and so does each dot of a name
// of dots alone) and is at most kMaxDeviceKeyName long: a longer identity keeps its start and
// ends in '~' and a hash of the whole identity, so two long identities still get keys of their
// own. Empty (no key at all) for an empty identity.
constexpr size_t kMaxDeviceKeyName = 80;
std::string DeviceKeyName(const std::string& identity);
