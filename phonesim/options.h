#pragma once
#include <optional>
#include <string>
#include <vector>

#include "phonesim/faults.h"

namespace PhoneSim {

struct Options {
  std::string statePath;
  std::string savePath;
  std::string profile;  // overrides the state file's
  bool standardStreams = false;
  std::string linkPath;
  std::string transcriptPath;
  std::string faultsPath;
  std::string readyPath;
  std::string changesPath;
  Faults faults;  // the single-valued faults given as options; they win over the script
  // End the session when the client closes the terminal after having opened it.
  bool untilClosed = false;
  // End the session after this long whatever happens (0: no limit).
  int maxSeconds = 0;
  bool listProfiles = false;
  bool help = false;
};

// nullopt with `error` set when the arguments make no sense.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);
// The script's faults with the options' single-valued ones laid over them.
Faults MergeFaults(Faults script, const Faults& options);

extern const char* const kUsage;

// The exit status of a session that ran into --max-seconds (its state is still saved).
constexpr int kExitTimeLimit = 3;

}  // namespace PhoneSim
