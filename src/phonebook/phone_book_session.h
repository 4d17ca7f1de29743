#pragma once
#include <string>
#include <vector>

#include "link/connection.h"
#include "phone/progress.h"
#include "phonebook/device_cache.h"
#include "settings/model_profile.h"

// What every phone-book operation works with: the panel's link to the phone, the phone's model
// profile (its character set and behaviour flags), the phone's cache, where a listing shows its
// progress, and which storage the phone has selected.
struct PhoneBookSession {
  CConnection& Connection;
  ModelProfile& Profile;
  CDeviceCache& Cache;
  CProgress& Progress;
  // The name of the storage the plug-in itself selected last; empty when the phone's choice is
  // not known (nothing selected yet, a refused selection, or commands the plug-in did not
  // compose, such as the terminal's).
  std::string& SelectedStorage;
  // The character sets the phone offers, where known.
  const std::vector<std::string>* OfferedCharsets = nullptr;
};
