#include "phonebook/phone_book_storage.h"

#include <array>
#include <string_view>

#include "farapi/far_constants.h"
#include "farlib/host.h"

namespace {

struct StorageKind {
  std::string_view names[2];
  int32_t descriptionMessage;
  bool writable;
  bool newestFirst;  // sorted by size, which holds the call's order, descending

  bool Names(std::string_view name) const {
    return name == names[0] || (!names[1].empty() && name == names[1]);
  }
};

constexpr std::array<StorageKind, 9> kKinds = {{
    {{"ME"}, 62, true, false},
    {{"SM"}, 63, true, false},
    {{"MT"}, 64, true, false},
    {{"FD"}, 65, true, false},
    {{"LD"}, 66, false, false},
    {{"DC", "MD"}, 67, false, true},
    {{"ON", "OW"}, 68, true, false},
    {{"MC", "MS"}, 69, false, true},
    {{"RC", "CD"}, 70, false, true},
}};
constexpr int32_t kOtherStorage = 71;  // "%s": the storage's name

}  // namespace

PhoneBookStorage::PhoneBookStorage(std::string name) : Name(std::move(name)) {
  DescriptionMessage = kOtherStorage;
  for (const StorageKind& kind : kKinds) {
    if (!kind.Names(Name)) continue;
    DescriptionMessage = kind.descriptionMessage;
    Writable = kind.writable;
    if (kind.newestFirst) {
      SortMode = SM_SIZE;
      SortOrder = 1;
    }
    break;
  }
}

std::string PhoneBookStorage::Description() const {
  if (DescriptionMessage == kOtherStorage) return FarLib::FormatMsg(kOtherStorage, Name.c_str());
  return FarLib::GetMsg(DescriptionMessage);
}
