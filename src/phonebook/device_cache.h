#pragma once
#include <memory>
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

  // Fills the limits, view and entries of every storage that has a key, and marks those loaded.
  // Whatever is unsound in a key (a value missing or of the wrong type, a bad entry name) is
  // left at its default or skipped.
  void Load(std::vector<std::unique_ptr<PhoneBookStorage>>& storages);

  // Writes the storage's view only (`viewOnly`, or a storage that is not writable or not
  // loaded), or replaces its whole key with its limits, view and entries.
  void Save(const PhoneBookStorage& storage, bool viewOnly);

 private:
  Platform::CRegKey m_key;
  std::string m_path;  // the phone's key, below HKEY_CURRENT_USER
};

// The name the phone's key gets from its identity: a registry key name that cannot escape the
// Devices key (no backslashes, no control characters) and fits the settings' longest path.
std::string DeviceKeyName(const std::string& identity);
