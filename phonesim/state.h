#pragma once
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "phonesim/profile.h"

namespace PhoneSim {

struct Identity {
  std::string manufacturer;
  std::string model;
  std::string revision;
  std::string serial;
  std::string imsi;
  std::string pin;  // the SIM's PIN, asked for at power-up; empty: the SIM is not locked
};

struct PhoneBookEntry {
  std::string number;  // an international number keeps its leading plus
  int type = 129;
  std::string name;  // UTF-8
  std::string time;  // "2005-12-31 23:59:00" for a call-list entry, else empty
};

// Locations run from 1 to size.
struct PhoneBook {
  std::string name;
  int size = 0;
  int numberLength = 0;
  int nameLength = 0;
  std::map<int, PhoneBookEntry> entries;
};

struct StoredMessage {
  int status = 0;   // GSM 07.05: 0 received unread, 1 received read, 2 stored unsent, 3 stored sent
  std::string pdu;  // service-centre address and TPDU, upper-case hex
};

struct MessageStorage {
  std::string name;
  int size = 0;
  std::map<int, StoredMessage> messages;  // by location, from 1
};

// What the phone handed to the network with AT+CMGS.
struct SentMessage {
  int reference = 0;
  std::string pdu;
};

// Everything a phone keeps across power cycles. The modes a session sets (echo, character
// set, selected memories) start afresh every time, from the profile.
struct PhoneState {
  std::string profile = "classic";
  Identity identity;
  std::string clock = "00/01/01,00:00:00+00";  // as AT+CCLK shows it
  std::string serviceCentre;
  std::vector<PhoneBook> phoneBooks;
  std::vector<MessageStorage> messageStorages;
  int nextReference = 0;
  std::vector<SentMessage> sent;
};

class state_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a state file; what it leaves out comes from its profile. Throws state_error naming
// the offending item.
PhoneState StateFromJson(const nlohmann::json& json);
PhoneState LoadState(const std::string& path);
// One item of a state file's "entries" or "messages", checked against the memory that is to
// hold it ("index" is left to the caller). Throw state_error naming `where`.
PhoneBookEntry EntryFromJson(const nlohmann::json& item, const PhoneBook& book,
                             const std::string& where);
StoredMessage MessageFromJson(const nlohmann::json& item, const std::string& where);
// Every field is written, so a state that went through a session unchanged reads back equal.
nlohmann::json StateToJson(const PhoneState& state);
void SaveState(const PhoneState& state, const std::string& path);

const Profile& ProfileOf(const PhoneState& state);

struct DateTime {
  int year = 2000;  // four digits
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct ClockSetting {
  DateTime time;
  std::string zone;  // "+04" in quarters of an hour as GSM 07.07 has it, or empty
};

// Whether `number` is a dial string a phone book takes: digits, *, # and a leading plus.
bool IsDialString(const std::string& number);
// "2005-12-31 23:59:00"
std::optional<DateTime> ParseCallTime(const std::string& text);
// "yy/MM/dd,hh:mm:ss" with an optional zone: a sign and two digits.
std::optional<ClockSetting> ParseClock(const std::string& text);
std::string FormatClock(const ClockSetting& clock);

}  // namespace PhoneSim
