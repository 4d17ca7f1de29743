#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace PhoneSim {

// Commands are counted from 1 in the order their lines arrive.

// A command line that starts with `command` (ignoring case) gets `reply` instead of an
// answer, the first `times` times it comes as command `from` or later.
struct Refusal {
  std::string command;
  int times = 1;
  std::string reply = "ERROR";
  int from = 1;
};

// An unsolicited line ("RING", "+CMTI: \"SM\",3") slipped in after the first line of the
// reply to command `command`, and again every `every` commands when `every` is not 0.
struct Unsolicited {
  int command = 1;
  int every = 0;
  std::string text;
};

// Line noise written before the reply to command `command`.
struct Garbage {
  int command = 1;
  std::string bytes;
};

// Phone-book writes (AT+CPBW that stores or erases) answered OK and not carried out, as by a
// phone that loses what it acknowledged: the first `times` (0: every one) that come as command
// `from` or later.
struct UnstoredWrites {
  int from = 1;
  int times = 0;
};

// How the line and the phone misbehave. Zero means "never" or "no limit".
struct Faults {
  int bytesPerSecond = 0;
  int latencyMs = 0;
  int latencyFrom = 1;                // the first command whose answer is delayed by latencyMs
  std::optional<uint32_t> splitSeed;  // replies go out in random pieces
  std::vector<Refusal> refusals;
  std::vector<Unsolicited> unsolicited;
  std::vector<Garbage> garbage;
  std::optional<UnstoredWrites> unstoredWrites;
  int silentAfter = 0;   // commands after this many get no answer and no echo
  int hangUpAfter = 0;   // the terminal closes after answering this command
  int hangUpDuring = 0;  // the terminal closes half-way through this command's reply
};

// A fault script: a JSON object with the fields above (bytes of garbage as hex). Throws
// std::runtime_error naming what is wrong.
Faults FaultsFromJson(const nlohmann::json& json);
Faults LoadFaults(const std::string& path);

}  // namespace PhoneSim
