#pragma once
#include <string>
#include <vector>

#include "link/connection.h"
#include "phone/progress.h"
#include "phonebook/device_cache.h"
#include "settings/model_profile.h"

// What every phone-book operation works with: the panel's link to the phone, the phone's model
// profile (its character set and behaviour flags), the phone's cache, and where a listing shows
// its progress.
struct PhoneBookSession {
  CConnection& Connection;
  ModelProfile& Profile;
  CDeviceCache& Cache;
  CProgress& Progress;
  // The character sets the phone offers, where known.
  const std::vector<std::string>* OfferedCharsets = nullptr;
};
