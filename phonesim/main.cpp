#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "phonesim/options.h"
#include "phonesim/phone.h"
#include "phonesim/pty_port.h"
#include "phonesim/session.h"
#include "phonesim/state.h"

namespace {

using namespace PhoneSim;

PhoneState InitialState(const Options& options) {
  nlohmann::json root = nlohmann::json::object();
  if (!options.statePath.empty()) {
    root = StateToJson(LoadState(options.statePath));
  }
  if (!options.profile.empty()) root["profile"] = options.profile;
  return StateFromJson(root);
}

// A link left over from an earlier run is replaced; anything else in the way is an error.
void MakeLink(const std::string& linkPath, const std::string& target) {
  std::error_code ignored;
  if (std::filesystem::is_symlink(linkPath, ignored)) std::filesystem::remove(linkPath, ignored);
  std::filesystem::create_symlink(target, linkPath);
}

int Serve(const Options& options) {
  PhoneState state = InitialState(options);
  Faults faults = options.faultsPath.empty() ? Faults{} : LoadFaults(options.faultsPath);
  faults = MergeFaults(faults, options.faults);
  std::unique_ptr<CTranscript> transcript;
  if (!options.transcriptPath.empty())
    transcript = std::make_unique<CTranscript>(options.transcriptPath);
  CatchStopSignals();
  std::unique_ptr<CPort> port;
  if (options.standardStreams) {
    port = std::make_unique<CStandardStreamsPort>();
  } else {
    auto terminal = std::make_unique<CPseudoTerminalPort>();
    if (!options.linkPath.empty()) MakeLink(options.linkPath, terminal->SlavePath());
    std::cout << terminal->SlavePath() << std::endl;
    port = std::move(terminal);
  }
  CPhone phone(state);
  CSession session(*port, phone, faults, transcript.get());
  session.Run(StopSignalled);
  port.reset();
  if (!options.linkPath.empty()) {
    std::error_code ignored;
    std::filesystem::remove(options.linkPath, ignored);
  }
  if (!options.savePath.empty()) SaveState(state, options.savePath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "zantel-phonesim: " << error << "\n" << kUsage;
    return 2;
  }
  if (options->help) {
    std::cout << kUsage;
    return 0;
  }
  if (options->listProfiles) {
    for (const std::string& name : ProfileNames()) std::cout << name << "\n";
    return 0;
  }
  try {
    return Serve(*options);
  } catch (const std::exception& failure) {
    std::cerr << "zantel-phonesim: " << failure.what() << "\n";
    return 1;
  }
}
