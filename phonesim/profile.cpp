#include "phonesim/profile.h"

#include <array>

namespace PhoneSim {
namespace {

const std::vector<PhoneBookShape> kHandsetBooks = {{"SM", 250, 40, 18},
                                                   {"ME", 500, 40, 30},
                                                   {"DC", 10, 40, 18},
                                                   {"MC", 10, 40, 18},
                                                   {"RC", 10, 40, 18}};
const std::vector<MessageStorageShape> kHandsetStores = {{"SM", 40}, {"ME", 150}};
const std::vector<int> kAllStatuses = {0, 1, 2, 3, 4};

Profile Classic() {
  Profile p;
  p.name = "classic";
  p.manufacturer = "Zantel";
  p.model = "Classic 100";
  p.charsets = {"GSM", "IRA", "UCS2"};
  p.powerUpCharset = "GSM";
  p.phoneBooks = kHandsetBooks;
  p.messageStorages = kHandsetStores;
  p.statusList = "0,1,2,3,4";
  p.statuses = kAllStatuses;
  return p;
}

// Answers identity commands with the bare value, has no +CGSN (only +GSN), reports errors
// numerically at most, and writes international numbers without their plus.
Profile Bare() {
  Profile p = Classic();
  p.name = "bare";
  p.model = "Bare 200";
  p.identityStyle = IdentityStyle::Bare;
  p.answersCgsn = false;
  p.highestErrorMode = 1;
  p.phoneBookCounts = false;
  p.internationalWithoutPlus = true;
  return p;
}

Profile Ucs2Only() {
  Profile p = Classic();
  p.name = "ucs2";
  p.model = "Unicode 300";
  p.charsets = {"UCS2"};
  p.powerUpCharset = "UCS2";
  return p;
}

// A USB data modem of today: every character set, a range as its status list, the SIM's
// books only, call times in one field.
Profile Modem() {
  Profile p;
  p.name = "modem";
  p.manufacturer = "Zantel";
  p.model = "USB Stick 4G";
  p.identityStyle = IdentityStyle::Quoted;
  p.charsets = {"IRA", "GSM", "UCS2", "UTF-8", "HEX", "8859-1", "PCCP437"};
  p.powerUpCharset = "IRA";
  p.phoneBooks = {{"SM", 250, 40, 18}, {"ON", 4, 40, 18}, {"LD", 20, 40, 18}};
  p.callTimeStyle = CallTimeStyle::OneField;
  p.messageStorages = {{"SM", 40}, {"ME", 100}};
  p.statusList = "0-4";
  p.statuses = kAllStatuses;
  return p;
}

// Offers the four statuses one by one but no "all messages".
Profile FourStatuses() {
  Profile p = Classic();
  p.name = "four-statuses";
  p.model = "Four 400";
  p.statusList = "0,1,2,3";
  p.statuses = {0, 1, 2, 3};
  return p;
}

Profile MotorolaL() {
  Profile p = Classic();
  p.name = "motorola-l";
  p.manufacturer = "Motorola";
  p.model = "L Series";
  p.listsUnsentAsUnread = true;
  return p;
}

// Answers a read of one empty phone-book location with "not found", as many handsets do,
// instead of a bare OK; a range still passes over its empty locations.
Profile StrictReads() {
  Profile p = Classic();
  p.name = "strict-reads";
  p.model = "Strict 500";
  p.refusesEmptyRead = true;
  return p;
}

// Nokia's handsets give an entry without a number (a voice-mail box, a name kept alone) an
// empty number and no type at all.
Profile NokiaEntries() {
  Profile p = Classic();
  p.name = "nokia-entries";
  p.manufacturer = "Nokia";
  p.model = "6310i";
  p.typelessWithoutNumber = true;
  return p;
}

// Leaves an empty field after the index and dates an entry with the full year, to the minute.
Profile EmptyFieldEntries() {
  Profile p = Classic();
  p.name = "empty-field-entries";
  p.model = "Empty Field 600";
  p.emptyFieldAfterIndex = true;
  p.callTimeStyle = CallTimeStyle::FullYearToTheMinute;
  return p;
}

// Writes a name in UCS2 or HEX as bare hex, without quotes.
Profile HexTextEntries() {
  Profile p = Classic();
  p.name = "hex-text-entries";
  p.model = "Hex Text 700";
  p.charsets = {"GSM", "IRA", "UCS2", "HEX"};
  p.unquotedHexNames = true;
  return p;
}

// Offers MT, the SIM's and the phone's memories as one, before them, and BM for cell
// broadcasts after them, as many handsets do.
Profile CombinedMemory() {
  Profile p = Classic();
  p.name = "combined-memory";
  p.model = "Combined 800";
  p.messageStorages = {{"MT", 0, {"SM", "ME"}}, {"SM", 40}, {"ME", 150}, {"BM", 20}};
  return p;
}

const std::array<Profile, 11>& Profiles() {
  static const std::array<Profile, 11> profiles = {
      Classic(),           Bare(),           Ucs2Only(),      Modem(),
      FourStatuses(),      MotorolaL(),      StrictReads(),   NokiaEntries(),
      EmptyFieldEntries(), HexTextEntries(), CombinedMemory()};
  return profiles;
}

}  // namespace

const Profile* FindProfile(std::string_view name) {
  for (const Profile& profile : Profiles()) {
    if (profile.name == name) return &profile;
  }
  return nullptr;
}

std::vector<std::string> ProfileNames() {
  std::vector<std::string> names;
  for (const Profile& profile : Profiles()) names.push_back(profile.name);
  return names;
}

// Motorola's L Series (L6, L7, SLVR) lists a stored unsent message as "received unread".
int ListedStatus(const Profile& profile, int status) {
  if (profile.listsUnsentAsUnread && status == 2) return 0;
  return status;
}

}  // namespace PhoneSim
