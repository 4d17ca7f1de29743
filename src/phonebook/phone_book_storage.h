#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One record of a phone-book memory.
struct PhoneBookEntry {
  int32_t Index = 0;
  std::string Number;
  uint32_t Type = 145;
  std::string Name;         // host text
  std::u16string WideName;  // the same name in UTF-16
  uint64_t Time = 0;        // FILETIME of a call-list entry; 0 when none
};

// One phone-book memory of the phone (SM, ME, ...), its limits and how its panel is shown.
struct PhoneBookStorage {
  // The kind of memory follows from its two-letter name: what describes it, whether the user
  // may change it, and which sorting suits it (call lists newest first).
  explicit PhoneBookStorage(std::string name);

  // The description message's text, the storage name filled in for an unknown kind.
  std::string Description() const;

  std::string Name;
  int32_t DescriptionMessage = 0;
  bool Writable = true;
  bool HasTimes = false;
  int32_t MinIndex = 1;
  int32_t MaxIndex = 255;
  int32_t MaxNameLength = 16;
  int32_t MaxPhoneLength = 16;
  bool Loaded = false;
  // How many more entries the phone counts than the list holds, as seen when the list was read
  // whole (0 for a phone that counts what it lists); none until the phone is next asked.
  std::optional<int32_t> CountOffset = 0;
  std::vector<std::unique_ptr<PhoneBookEntry>> Entries;
  int32_t ViewMode = 2;
  int32_t SortMode = 2;
  int32_t SortOrder = 0;
};
