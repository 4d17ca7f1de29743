#include "phonesim/faults.h"

#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "phonesim/hex.h"

namespace PhoneSim {
namespace {

using nlohmann::json;

std::string FromHex(const std::string& hex) {
  if (hex.size() % 2 != 0) throw std::runtime_error("garbage bytes must be whole hex pairs");
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) throw std::runtime_error("garbage bytes must be hex");
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

int Count(const json& object, const char* key) {
  const int value = object.value(key, 0);
  if (value < 0) throw std::runtime_error(std::string(key) + " must not be negative");
  return value;
}

NoticePlace PlaceOf(const json& item) {
  const std::string place = item.value("at", std::string("afterFirstLine"));
  if (place == "afterFirstLine") return NoticePlace::AfterFirstLine;
  if (place == "beforeReply") return NoticePlace::BeforeReply;
  if (place == "beforePrompt") return NoticePlace::BeforePrompt;
  throw std::runtime_error("unsolicited at must be afterFirstLine, beforeReply or beforePrompt");
}

LineEnd LineEndOf(const json& root) {
  const std::string end = root.value("lineEnd", std::string("crlf"));
  if (end == "crlf") return LineEnd::CrLf;
  if (end == "cr") return LineEnd::Cr;
  throw std::runtime_error("lineEnd must be crlf or cr");
}

}  // namespace

Faults FaultsFromJson(const json& root) {
  if (!root.is_object()) throw std::runtime_error("a fault script is a JSON object");
  try {
    Faults faults;
    faults.bytesPerSecond = Count(root, "bytesPerSecond");
    faults.latencyMs = Count(root, "latencyMs");
    faults.latencyFrom = root.value("latencyFrom", 1);
    if (faults.latencyFrom < 1) throw std::runtime_error("latencyFrom counts commands from 1");
    if (root.contains("splitSeed")) faults.splitSeed = root.at("splitSeed").get<uint32_t>();
    for (const json& item : root.value("refusals", json::array())) {
      faults.refusals.push_back({item.at("command").get<std::string>(), item.value("times", 1),
                                 item.value("reply", std::string("ERROR")), item.value("from", 1)});
    }
    for (const json& item : root.value("unsolicited", json::array())) {
      faults.unsolicited.push_back({item.value("command", 1), item.value("every", 0),
                                    item.at("text").get<std::string>(), PlaceOf(item)});
    }
    for (const json& item : root.value("garbage", json::array())) {
      faults.garbage.push_back(
          {item.value("command", 1), FromHex(item.at("bytes").get<std::string>())});
    }
    if (root.contains("unstoredWrites")) {
      const json& item = root.at("unstoredWrites");
      faults.unstoredWrites = UnstoredWrites{item.value("from", 1), Count(item, "times")};
      if (faults.unstoredWrites->from < 1) {
        throw std::runtime_error("unstoredWrites counts commands from 1");
      }
    }
    faults.lineEnd = LineEndOf(root);
    faults.silentAfter = Count(root, "silentAfter");
    faults.hangUpAfter = Count(root, "hangUpAfter");
    faults.hangUpDuring = Count(root, "hangUpDuring");
    return faults;
  } catch (const json::exception& error) {
    throw std::runtime_error(std::string("fault script: ") + error.what());
  }
}

Faults LoadFaults(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot open " + path);
  try {
    return FaultsFromJson(json::parse(file));
  } catch (const json::parse_error& error) {
    throw std::runtime_error(path + ": " + error.what());
  }
}

}  // namespace PhoneSim
