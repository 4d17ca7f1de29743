#pragma once
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "phonesim/state.h"
#include "phonesim/transcript.h"

namespace PhoneSim {

// What the phone's owner changes while a session runs, with the keypad or by swapping the SIM.
// A JSON object whose members are all optional:
//   {"imsi": "234159876543210",
//    "phoneBooks": {"SM": {"3": {"number": "+447700900003", "name": "Ann", "type": 145},
//                          "5": null}},
//    "messageStorages": {"SM": {"2": {"status": 1, "pdu": "0791..."}, "4": null}}}
// A memory is named as AT+CPBS or AT+CPMS names it, and holds its locations: each gets an
// entry or a message as the state file writes one (without "index"), or is emptied by null.
// "replace": true among the locations empties the memory first, as another SIM brings a book
// of its own. An empty "imsi" is a phone without a SIM.
// The whole change is checked before any of it is made: throws state_error naming the
// offending item and leaves the state as it was.
void ApplyChange(PhoneState& state, const nlohmann::json& change);

// The file --changes names. Whoever changes the phone writes it whole under another name and
// renames it into place; the session takes it before each command line and while the line is
// quiet, so a change written before a command is in place when that command is answered.
class CChangeFile {
 public:
  CChangeFile(std::string path, PhoneState& state, CTranscript* transcript = nullptr);

  // Applies the file when it is there, notes the outcome in the transcript ("change applied"
  // or "change refused: ...") and removes it. A file that cannot be read or applied changes
  // nothing and is reported on standard error as well.
  void Take();

 private:
  std::string m_path;
  PhoneState& m_state;
  CTranscript* m_transcript;
};

}  // namespace PhoneSim
