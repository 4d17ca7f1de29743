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

// Where a notice goes in the answer it rides on.
enum class NoticePlace {
  AfterFirstLine,  // after the first line of the answer (before the result code of a bare one)
  BeforeReply,     // right after the echo, before anything of the answer
  BeforePrompt,    // before the "> " of AT+CMGS or AT+CMGW; no other answer carries it
};

// An unsolicited line ("RING", "+CMTI: \"SM\",3") slipped into the answer to command
// `command`, and again every `every` commands when `every` is not 0. A notice of two lines
// (+CMT and its PDU) has "\r\n" between them in `text`.
struct Unsolicited {
  int command = 1;
  int every = 0;
  std::string text;
  NoticePlace at = NoticePlace::AfterFirstLine;
};

// What ends each line the phone sends: CR LF, or CR alone as with line feeds off (ATS4=0).
enum class LineEnd { CrLf, Cr };

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
  LineEnd lineEnd = LineEnd::CrLf;
  int silentAfter = 0;   // commands after this many get no answer and no echo
  int hangUpAfter = 0;   // the terminal closes after answering this command
  int hangUpDuring = 0;  // the terminal closes half-way through this command's reply
};

// A fault script: a JSON object with the fields above (bytes of garbage as hex; a notice's
// place as "afterFirstLine", "beforeReply" or "beforePrompt"; the line end as "crlf" or "cr").
// Throws
// std::runtime_error naming what is wrong.
Faults FaultsFromJson(const nlohmann::json& json);
Faults LoadFaults(const std::string& path);

}  // namespace PhoneSim
