#include "phonesim/changes.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

#include <nlohmann/json.hpp>

namespace PhoneSim {
namespace {

using nlohmann::json;

constexpr size_t kLongestImsi = 15;

void RequireObject(const json& item, const std::string& where) {
  if (!item.is_object()) throw state_error(where + " must be a JSON object");
}

std::string Imsi(const json& value) {
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  const bool valid = value.is_string() &&
                     value.get_ref<const std::string&>().size() <= kLongestImsi &&
                     std::ranges::all_of(value.get_ref<const std::string&>(), digit);
  if (!valid) throw state_error("imsi must be a string of at most 15 digits");
  return value.get<std::string>();
}

template <typename Memory>
Memory& Named(std::vector<Memory>& memories, const std::string& name, const std::string& kind) {
  for (Memory& memory : memories) {
    if (memory.name == name) return memory;
  }
  throw state_error("the phone has no " + kind + " " + name);
}

std::optional<int> Location(const std::string& key, int size) {
  int location = 0;
  const char* end = key.data() + key.size();
  const auto [stop, failure] = std::from_chars(key.data(), end, location);
  if (failure != std::errc() || stop != end || location < 1 || location > size) return std::nullopt;
  return location;
}

// Empties the memory when the change says "replace", then fills or empties each location.
template <typename Item, typename Parse>
void ChangeLocations(std::map<int, Item>& items, int size, const json& change,
                     const std::string& where, Parse parse) {
  RequireObject(change, where);
  if (const auto replace = change.find("replace"); replace != change.end()) {
    if (!replace->is_boolean()) throw state_error(where + ": \"replace\" must be true or false");
    if (replace->get<bool>()) items.clear();
  }
  for (const auto& [key, value] : change.items()) {
    if (key == "replace") continue;
    const std::string at = where + " location " + key;
    const auto location = Location(key, size);
    if (!location) throw state_error(at + ": not a location from 1 to " + std::to_string(size));
    if (value.is_null()) {
      items.erase(*location);
    } else {
      items[*location] = parse(value, at);
    }
  }
}

void ChangeBooks(std::vector<PhoneBook>& books, const json& change) {
  RequireObject(change, "phoneBooks");
  for (const auto& [name, locations] : change.items()) {
    PhoneBook& book = Named(books, name, "phone book");
    ChangeLocations(
        book.entries, book.size, locations, "phone book " + name,
        [&book](const json& item, const std::string& at) { return EntryFromJson(item, book, at); });
  }
}

void ChangeStorages(std::vector<MessageStorage>& storages, const json& change) {
  RequireObject(change, "messageStorages");
  for (const auto& [name, locations] : change.items()) {
    MessageStorage& storage = Named(storages, name, "message storage");
    ChangeLocations(storage.messages, storage.size, locations, "message storage " + name,
                    MessageFromJson);
  }
}

}  // namespace

void ApplyChange(PhoneState& state, const json& change) {
  RequireObject(change, "a change");
  PhoneState changed = state;
  for (const auto& [key, value] : change.items()) {
    if (key == "imsi") {
      changed.identity.imsi = Imsi(value);
    } else if (key == "phoneBooks") {
      ChangeBooks(changed.phoneBooks, value);
    } else if (key == "messageStorages") {
      ChangeStorages(changed.messageStorages, value);
    } else {
      throw state_error("a change has no \"" + key + "\"");
    }
  }
  state = std::move(changed);
}

CChangeFile::CChangeFile(std::string path, PhoneState& state, CTranscript* transcript)
    : m_path(std::move(path)), m_state(state), m_transcript(transcript) {}

void CChangeFile::Take() {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(m_path, ignored)) return;
  std::string outcome = "change applied";
  try {
    std::ifstream file(m_path);
    ApplyChange(m_state, json::parse(file));
  } catch (const std::exception& failure) {  // whatever the file holds, the phone runs on
    outcome = std::string("change refused: ") + failure.what();
    std::cerr << "zantel-phonesim: " << m_path << ": " << failure.what() << "\n";
  }
  // Noted before the file goes, so whoever waits for it to go finds the outcome written.
  if (m_transcript) m_transcript->Note(outcome);
  std::filesystem::remove(m_path, ignored);
}

}  // namespace PhoneSim
