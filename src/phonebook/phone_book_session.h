#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "link/connection.h"
#include "phone/progress.h"
#include "phonebook/device_cache.h"
#include "settings/model_profile.h"

// What a listing of a storage shows the user: its progress, and the lines of the phone's answers
// it could not read as entries, which it leaves out.
class CPhoneBookListingUser : public CProgress {
 public:
  // `count` lines were no entry that can be read, the first of them `first`; told once a listing.
  virtual void TellUnreadableEntries(const std::string& first, size_t count) = 0;
};

// What every phone-book operation works with: the panel's link to the phone, the phone's model
// profile (its character set and behaviour flags), the phone's cache, the user who sees a
// listing run, and which storage the phone has selected.
struct PhoneBookSession {
  CConnection& Connection;
  ModelProfile& Profile;
  CDeviceCache& Cache;
  CPhoneBookListingUser& Listing;
  // The name of the storage the plug-in itself selected last; empty when the phone's choice is
  // not known (nothing selected yet, a refused selection, or commands the plug-in did not
  // compose, such as the terminal's).
  std::string& SelectedStorage;
  // The character sets the phone offers, where known.
  const std::vector<std::string>* OfferedCharsets = nullptr;
};
