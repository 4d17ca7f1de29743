#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "platform/registry.h"

// What differs between phone models that answer the same AT commands, per manufacturer and
// model, and the character set the phone was last found using.
struct ModelProfile {
  std::string Manufacturer;
  std::string Model;
  std::string Charset;            // empty: the next start chooses one
  int32_t SpecialCharacters = 1;  // 0 to 2, a choice kept for the user only
  uint32_t Flags = 7;

  bool operator==(const ModelProfile&) const = default;
};

// Bits of ModelProfile::Flags.
constexpr uint32_t kProfilePhoneChoosesIndex = 1;  // a new entry may be written without index
constexpr uint32_t kProfileDeleteByIndexOnly = 2;  // "AT+CPBW=%d" instead of empty fields
constexpr uint32_t kProfileOmitServiceCentre = 4;  // a single SMS goes without the SC address
constexpr uint32_t kProfileReadStorageAtOnce = 8;  // one "AT+CPBR=1,%d" for a whole storage

// The manufacturer the first profile of the list always carries in memory.
constexpr const char* kDefaultProfileName = "Default";

// The profiles in list order, the default profile first. Panels keep pointers to entries, so
// the list only grows at its end (which a deque does without moving the others).
using ModelProfileList = std::deque<ModelProfile>;

// A profile with every default, named kDefaultProfileName.
ModelProfile DefaultProfile();

// The five values of a profile key; each missing or malformed value gives its default, and a
// SpecialCharacters above 2 gives 1.
ModelProfile ReadProfile(const Platform::CRegKey& key);
// The registry's status of the first value that could not be written, 0 when all were.
uint32_t WriteProfile(Platform::CRegKey& key, const ModelProfile& profile);
