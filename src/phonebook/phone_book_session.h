#pragma once
#include "link/connection.h"
#include "phonebook/device_cache.h"
#include "settings/model_profile.h"

// What every phone-book operation works with: the panel's link to the phone, the phone's model
// profile (its character set and behaviour flags) and the phone's cache.
struct PhoneBookSession {
  CConnection& Connection;
  ModelProfile& Profile;
  CDeviceCache& Cache;
};
