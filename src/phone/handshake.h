#pragma once
#include <string>
#include <vector>

#include "link/connection.h"
#include "phone/progress.h"
#include "settings/model_profile.h"

// Who the phone is and what it offers, as the start-up handshake found it.
struct PhoneIdentity {
  ModelProfile* Profile = nullptr;        // an entry of the settings' profile list
  std::string Identity;                   // the serial number, else manufacturer and model
  std::string Subscriber;                 // the SIM's IMSI; empty when the phone does not tell
  std::vector<std::string> StorageNames;  // the phone-book memories, in the phone's order
  std::vector<std::string> Charsets;      // the character sets, in the phone's order
};

// What the handshake shows: its progress, and a save of the settings it changed that failed
// (`reason` is the system's words, empty when it gave none).
class CHandshakeUser : public CProgress {
 public:
  virtual void SettingsNotSaved(const std::string& reason) = 0;
};

// Brings a freshly opened phone into the modes the rest of the plug-in assumes (no echo,
// stored-message indications, error reports), identifies it, finds its model profile (creating
// and saving one for a model seen for the first time) and settles its character set. A refused
// command only leaves its item empty; a link failure propagates as io_error.
PhoneIdentity RunHandshake(CConnection& connection, ModelProfileList& profiles,
                           CHandshakeUser& user);

// Asks the phone for `request` (when empty: the first of UTF8, UTF-8, UCS2, UCS-2 that the
// phone offers, written back into `request`), then records in the profile the set the phone
// reports using, and saves the settings.
void SelectCharset(CConnection& connection, ModelProfile& profile,
                   const std::vector<std::string>& charsets, std::string& request,
                   CHandshakeUser& user);

// Reply parsers, pure functions of one reply line.

// The value of an identity reply; a bare value comes back unchanged.
//   +CGMI: "<manufacturer>" | +GMI: <manufacturer> | <manufacturer>
//   e.g. +CGMI: "Nokia"
std::string ParseManufacturer(const std::string& line);
//   +CGMM: "<model>" | +GMM: <model> | <model>          e.g. +CGMM: "Nokia 6310i"
std::string ParseModel(const std::string& line);
//   +CGSN: "<serial>" | +GSN: <serial> | <serial>       e.g. 350123451234560
std::string ParseSerialNumber(const std::string& line);
// The SIM's subscriber identity: 5 to 15 digits; empty for anything else.
//   +CIMI: <imsi> | <imsi>                               e.g. 234150123456789
std::string ParseSubscriber(const std::string& line);

// What the phone's cache is kept under: the phone, and the SIM in it where the phone tells, so
// that another SIM's phone book is never shown or written through the first one's.
std::string CacheIdentity(const PhoneIdentity& phone);
// Every storage name of two word characters between double quotes.
//   +CPBS: ("<name>",...)                               e.g. +CPBS: ("SM","ME","DC","MC","RC")
std::vector<std::string> ParseStorageNames(const std::string& line);
// Every double-quoted name.
//   +CSCS: ("<set>",...)                                e.g. +CSCS: ("GSM","IRA","UCS2")
std::vector<std::string> ParseCharsetNames(const std::string& line);
//   +CSCS: "<set>" | <set>                              e.g. +CSCS: "UCS2"
std::string ParseCurrentCharset(const std::string& line);
