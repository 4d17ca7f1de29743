#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace PhoneSim {

// How a phone answers the identity commands (+CGMI, +CGMM, +CGSN, +CGMR).
enum class IdentityStyle {
  Prefixed,  // +CGMI: Nokia
  Quoted,    // +CGMI: "huawei"
  Bare,      // Nokia
};

// How a call-list entry carries the time of the call after its name.
enum class CallTimeStyle {
  TwoFields,            // ,"05/12/31","23:59:00"
  OneField,             // ,"05/12/31,23:59:00"
  FullYearToTheMinute,  // ,"2005/12/31,23:59"
};

struct PhoneBookShape {
  std::string name;
  int size = 0;
  int numberLength = 0;
  int nameLength = 0;
};

struct MessageStorageShape {
  std::string name;
  int size = 0;
  // Memories this one shows together, their locations one after the other (MT: SM, then ME);
  // it holds no message of its own.
  std::vector<std::string> shows = {};
};

// One kind of phone: what it offers and how it words its answers. The state file picks one
// by name; quirks of a real model are switches here, each set only by the profile that
// names that model.
struct Profile {
  std::string name;
  std::string manufacturer;  // defaults for a state file without an identity
  std::string model;
  bool echoAtPowerUp = true;
  IdentityStyle identityStyle = IdentityStyle::Prefixed;
  bool answersCgsn = true;
  int highestErrorMode = 2;  // AT+CMEE=n above this is refused
  std::vector<std::string> charsets;
  std::string powerUpCharset;
  std::vector<PhoneBookShape> phoneBooks;
  bool phoneBookCounts = true;    // +CPBS? carries used and total
  bool refusesEmptyRead = false;  // AT+CPBR of one empty location is an error, not a bare OK
  bool internationalWithoutPlus = false;
  bool emptyFieldAfterIndex = false;   // +CPBR: 1,,"+44...",145,"Bob"
  bool typelessWithoutNumber = false;  // an entry without number has no type: 6,"",,"Mail"
  bool unquotedHexNames = false;       // in UCS2 and HEX the name is bare hex: 5,"1",129,0041
  CallTimeStyle callTimeStyle = CallTimeStyle::TwoFields;
  std::vector<MessageStorageShape> messageStorages;
  std::string statusList;     // the answer to AT+CMGL=?, inside the parentheses
  std::vector<int> statuses;  // the statuses AT+CMGL=n accepts
  bool listsUnsentAsUnread = false;
};

// nullptr when no profile has that name.
const Profile* FindProfile(std::string_view name);
std::vector<std::string> ProfileNames();

// The status a listing or a read shows for a message stored with `status`.
int ListedStatus(const Profile& profile, int status);

}  // namespace PhoneSim
