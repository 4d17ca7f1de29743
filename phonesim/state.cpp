#include "phonesim/state.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

#include "phonesim/charset.h"
#include "phonesim/pdu.h"

namespace PhoneSim {
namespace {

using nlohmann::json;

// Sizes of a book or storage that neither the file nor the profile gives.
constexpr PhoneBookShape kUnknownBook = {"", 100, 40, 18};
constexpr int kUnknownStorageSize = 30;

template <typename T>
T Field(const json& object, const char* key, const T& fallback, const std::string& where) {
  const auto found = object.find(key);
  if (found == object.end()) return fallback;
  try {
    return found->get<T>();
  } catch (const json::exception&) {
    throw state_error(where + ": \"" + key + "\" has the wrong type");
  }
}

const json& Array(const json& object, const char* key, const std::string& where) {
  static const json kEmpty = json::array();
  const auto found = object.find(key);
  if (found == object.end()) return kEmpty;
  if (!found->is_array()) throw state_error(where + ": \"" + key + "\" must be an array");
  return *found;
}

int IndexIn(const json& item, int size, std::set<int>& seen, const std::string& where) {
  const int index = Field(item, "index", 0, where);
  if (index < 1 || index > size) throw state_error(where + ": index out of range");
  if (!seen.insert(index).second) throw state_error(where + ": index used twice");
  return index;
}

Direction DirectionOf(int status) {
  return status <= 1 ? Direction::ToPhone : Direction::FromPhone;
}

void RequireObject(const json& item, const std::string& where) {
  if (!item.is_object()) throw state_error(where + " must be a JSON object");
}

}  // namespace

PhoneBookEntry EntryFromJson(const json& item, const PhoneBook& book, const std::string& where) {
  RequireObject(item, where);
  PhoneBookEntry entry;
  entry.number = Field<std::string>(item, "number", "", where);
  entry.type = Field(item, "type", entry.number.starts_with('+') ? 145 : 129, where);
  entry.name = Field<std::string>(item, "name", "", where);
  entry.time = Field<std::string>(item, "time", "", where);
  if (!entry.number.empty() && !IsDialString(entry.number)) {
    throw state_error(where + ": number is not a dial string");
  }
  const size_t digits = entry.number.size() - (entry.number.starts_with('+') ? 1 : 0);
  if (static_cast<int>(digits) > book.numberLength) {
    throw state_error(where + ": number too long for the book");
  }
  if (static_cast<int>(CharacterCount(entry.name)) > book.nameLength) {
    throw state_error(where + ": name too long for the book");
  }
  if (!entry.time.empty() && !ParseCallTime(entry.time)) {
    throw state_error(where + ": time must read like 2005-12-31 23:59:00");
  }
  return entry;
}

StoredMessage MessageFromJson(const json& item, const std::string& where) {
  RequireObject(item, where);
  StoredMessage message;
  message.status = Field(item, "status", 1, where);
  message.pdu = Field<std::string>(item, "pdu", "", where);
  if (message.status < 0 || message.status > 3)
    throw state_error(where + ": status must be 0 to 3");
  if (!InspectPdu(message.pdu, DirectionOf(message.status))) {
    throw state_error(where + ": the PDU is not a whole message of its status's kind");
  }
  return message;
}

namespace {

const PhoneBookShape* BookShape(const Profile& profile, const std::string& name) {
  for (const PhoneBookShape& shape : profile.phoneBooks) {
    if (shape.name == name) return &shape;
  }
  return nullptr;
}

PhoneBook BookFromJson(const json& item, const Profile& profile) {
  PhoneBook book;
  book.name = Field<std::string>(item, "name", "", "phone book");
  const std::string where = "phone book " + book.name;
  if (book.name.empty()) throw state_error("a phone book without a name");
  const PhoneBookShape* shape = BookShape(profile, book.name);
  if (!shape) shape = &kUnknownBook;
  book.size = Field(item, "size", shape->size, where);
  book.numberLength = Field(item, "numberLength", shape->numberLength, where);
  book.nameLength = Field(item, "nameLength", shape->nameLength, where);
  if (book.size < 1) throw state_error(where + ": size must be positive");
  std::set<int> seen;
  for (const json& entry : Array(item, "entries", where)) {
    const std::string at = where + " entry " + std::to_string(entry.value("index", 0));
    const int index = IndexIn(entry, book.size, seen, at);
    book.entries[index] = EntryFromJson(entry, book, at);
  }
  return book;
}

MessageStorage StorageFromJson(const json& item, const Profile& profile) {
  MessageStorage storage;
  storage.name = Field<std::string>(item, "name", "", "message storage");
  const std::string where = "message storage " + storage.name;
  if (storage.name.empty()) throw state_error("a message storage without a name");
  storage.size = kUnknownStorageSize;
  bool showsOthers = false;
  for (const MessageStorageShape& shape : profile.messageStorages) {
    if (shape.name != storage.name) continue;
    storage.size = shape.size;
    showsOthers = !shape.shows.empty();
  }
  storage.size = Field(item, "size", storage.size, where);
  if (showsOthers && !Array(item, "messages", where).empty())
    throw state_error(where + ": shows the messages of other memories and holds none itself");
  std::set<int> seen;
  for (const json& message : Array(item, "messages", where)) {
    const std::string at = where + " message " + std::to_string(message.value("index", 0));
    const int index = IndexIn(message, storage.size, seen, at);
    storage.messages[index] = MessageFromJson(message, at);
  }
  return storage;
}

// The profile's books and storages come first, in its order, then those only the file has.
template <typename Item, typename Shape, typename Parse>
std::vector<Item> Merge(const json& items, const std::vector<Shape>& shapes, Parse parse,
                        const Profile& profile) {
  std::vector<Item> merged;
  for (const Shape& shape : shapes) {
    json named = {{"name", shape.name}};
    for (const json& item : items) {
      if (item.value("name", "") == shape.name) named = item;
    }
    merged.push_back(parse(named, profile));
  }
  for (const json& item : items) {
    bool known = false;
    for (const Item& existing : merged) known = known || existing.name == item.value("name", "");
    if (!known) merged.push_back(parse(item, profile));
  }
  return merged;
}

Identity IdentityFromJson(const json& item, const Profile& profile) {
  Identity identity;
  identity.manufacturer = Field(item, "manufacturer", profile.manufacturer, "identity");
  identity.model = Field(item, "model", profile.model, "identity");
  identity.revision = Field<std::string>(item, "revision", "1.00", "identity");
  identity.serial = Field<std::string>(item, "serial", "350000000000000", "identity");
  identity.imsi = Field<std::string>(item, "imsi", "001010000000000", "identity");
  identity.pin = Field<std::string>(item, "pin", "", "identity");
  return identity;
}

json BookToJson(const PhoneBook& book) {
  json entries = json::array();
  for (const auto& [index, entry] : book.entries) {
    json item = {
        {"index", index}, {"number", entry.number}, {"type", entry.type}, {"name", entry.name}};
    if (!entry.time.empty()) item["time"] = entry.time;
    entries.push_back(item);
  }
  return {{"name", book.name},
          {"size", book.size},
          {"numberLength", book.numberLength},
          {"nameLength", book.nameLength},
          {"entries", entries}};
}

json StorageToJson(const MessageStorage& storage) {
  json messages = json::array();
  for (const auto& [index, message] : storage.messages) {
    messages.push_back({{"index", index}, {"status", message.status}, {"pdu", message.pdu}});
  }
  return {{"name", storage.name}, {"size", storage.size}, {"messages", messages}};
}

}  // namespace

PhoneState StateFromJson(const json& root) {
  if (!root.is_object()) throw state_error("the state must be a JSON object");
  PhoneState state;
  state.profile = Field(root, "profile", state.profile, "state");
  const Profile* profile = FindProfile(state.profile);
  if (!profile) throw state_error("unknown profile \"" + state.profile + "\"");
  state.identity = IdentityFromJson(root.value("identity", json::object()), *profile);
  state.clock = Field(root, "clock", state.clock, "state");
  if (!ParseClock(state.clock)) throw state_error("clock must read like 05/03/07,09:05:02+04");
  state.serviceCentre = Field<std::string>(root, "serviceCentre", "", "state");
  state.phoneBooks = Merge<PhoneBook>(Array(root, "phoneBooks", "state"), profile->phoneBooks,
                                      BookFromJson, *profile);
  state.messageStorages = Merge<MessageStorage>(
      Array(root, "messageStorages", "state"), profile->messageStorages, StorageFromJson, *profile);
  state.nextReference = Field(root, "nextReference", 0, "state") & 0xFF;
  for (const json& item : Array(root, "sent", "state")) {
    state.sent.push_back(
        {Field(item, "reference", 0, "sent"), Field<std::string>(item, "pdu", "", "sent")});
  }
  return state;
}

PhoneState LoadState(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw state_error("cannot open " + path);
  try {
    return StateFromJson(json::parse(file));
  } catch (const json::parse_error& error) {
    throw state_error(path + ": " + error.what());
  }
}

json StateToJson(const PhoneState& state) {
  json books = json::array();
  for (const PhoneBook& book : state.phoneBooks) books.push_back(BookToJson(book));
  json storages = json::array();
  for (const MessageStorage& storage : state.messageStorages)
    storages.push_back(StorageToJson(storage));
  json sent = json::array();
  for (const SentMessage& message : state.sent) {
    sent.push_back({{"reference", message.reference}, {"pdu", message.pdu}});
  }
  const Identity& id = state.identity;
  json identity = {{"manufacturer", id.manufacturer},
                   {"model", id.model},
                   {"revision", id.revision},
                   {"serial", id.serial},
                   {"imsi", id.imsi}};
  if (!id.pin.empty()) identity["pin"] = id.pin;
  return {{"profile", state.profile},
          {"identity", identity},
          {"clock", state.clock},
          {"serviceCentre", state.serviceCentre},
          {"phoneBooks", books},
          {"messageStorages", storages},
          {"nextReference", state.nextReference},
          {"sent", sent}};
}

// Written beside the target and renamed, so a reader never sees half a file.
void SaveState(const PhoneState& state, const std::string& path) {
  const std::string temporary = path + ".partial";
  {
    std::ofstream file(temporary, std::ios::trunc);
    file << StateToJson(state).dump(2) << '\n';
    if (!file) throw state_error("cannot write " + temporary);
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) throw state_error("cannot write " + path + ": " + error.message());
}

const Profile& ProfileOf(const PhoneState& state) {
  const Profile* profile = FindProfile(state.profile);
  if (!profile) throw state_error("unknown profile \"" + state.profile + "\"");
  return *profile;
}

bool IsDialString(const std::string& number) {
  for (size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    const bool digit = (c >= '0' && c <= '9') || c == '*' || c == '#';
    if (!digit && !(c == '+' && i == 0)) return false;
  }
  return true;
}

namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool Valid(const DateTime& t) {
  return InRange(t.month, 1, 12) && InRange(t.day, 1, 31) && InRange(t.hour, 0, 23) &&
         InRange(t.minute, 0, 59) && InRange(t.second, 0, 59);
}

}  // namespace

std::optional<DateTime> ParseCallTime(const std::string& text) {
  DateTime t;
  int consumed = 0;
  const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &t.year, &t.month,
                                 &t.day, &t.hour, &t.minute, &t.second, &consumed);
  if (fields != 6 || consumed != static_cast<int>(text.size()) || !Valid(t)) return std::nullopt;
  return t;
}

std::optional<ClockSetting> ParseClock(const std::string& text) {
  ClockSetting clock;
  DateTime& t = clock.time;
  int consumed = 0;
  const int fields = std::sscanf(text.c_str(), "%2d/%2d/%2d,%2d:%2d:%2d%n", &t.year, &t.month,
                                 &t.day, &t.hour, &t.minute, &t.second, &consumed);
  if (fields != 6 || consumed != 17 || !Valid(t) || t.year < 0) return std::nullopt;
  t.year += 2000;
  const std::string zone = text.substr(17);
  const bool zoneWellFormed = zone.size() == 3 && (zone[0] == '+' || zone[0] == '-') &&
                              std::isdigit(static_cast<unsigned char>(zone[1])) &&
                              std::isdigit(static_cast<unsigned char>(zone[2]));
  if (!zone.empty() && !zoneWellFormed) return std::nullopt;
  clock.zone = zone;
  return clock;
}

std::string FormatClock(const ClockSetting& clock) {
  char text[32];
  const DateTime& t = clock.time;
  std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d", t.year % 100, t.month, t.day,
                t.hour, t.minute, t.second);
  return text + clock.zone;
}

}  // namespace PhoneSim
