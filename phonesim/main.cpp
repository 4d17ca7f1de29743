#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "phonesim/changes.h"
#include "phonesim/demo_state.h"
#include "phonesim/options.h"
#include "phonesim/phone.h"
#include "phonesim/pty_port.h"
#include "phonesim/session.h"
#include "phonesim/state.h"

namespace {

using namespace PhoneSim;

PhoneState InitialState(const Options& options) {
  // Neither a state nor a profile: the demo phone, for a person trying the plug-in out.
  nlohmann::json root = options.profile.empty() ? DemoStateJson() : nlohmann::json::object();
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

// Written whole under another name first, so a program waiting for it never reads half.
void WriteReadyFile(const std::string& path, const std::string& terminal) {
  const std::string partial = path + ".part";
  {
    std::ofstream file(partial, std::ios::trunc);
    file << terminal << '\n';
    if (!file.flush()) throw std::runtime_error("cannot write " + partial);
  }
  std::filesystem::rename(partial, path);
}

// A session blocked in a write that its client never reads would not see its time limit:
// a while after the limit the process ends anyway, without saving, rather than live on.
constexpr auto kGraceAfterTimeLimit = std::chrono::seconds(5);

void StartWatchdog(const Options& options) {
  if (options.maxSeconds <= 0) return;
  std::thread([options] {
    std::this_thread::sleep_for(std::chrono::seconds(options.maxSeconds) + kGraceAfterTimeLimit);
    std::cerr << "zantel-phonesim: the session did not end at its time limit; state not saved\n";
    std::error_code ignored;
    if (!options.linkPath.empty()) std::filesystem::remove(options.linkPath, ignored);
    std::_Exit(kExitTimeLimit);
  }).detach();
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
    auto terminal = std::make_unique<CPseudoTerminalPort>(
        options.untilClosed ? ClientPolicy::UntilClosed : ClientPolicy::Reopenable);
    if (!options.linkPath.empty()) MakeLink(options.linkPath, terminal->SlavePath());
    std::cout << terminal->SlavePath() << std::endl;
    if (!options.readyPath.empty()) WriteReadyFile(options.readyPath, terminal->SlavePath());
    port = std::move(terminal);
  }
  StartWatchdog(options);
  CPhone phone(state);
  std::unique_ptr<CChangeFile> changes;
  if (!options.changesPath.empty())
    changes = std::make_unique<CChangeFile>(options.changesPath, state, transcript.get());
  CSession session(*port, phone, faults, transcript.get(), changes.get());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.maxSeconds);
  bool outOfTime = false;
  session.Run([&] {
    outOfTime = options.maxSeconds > 0 && std::chrono::steady_clock::now() >= deadline;
    return outOfTime || StopSignalled();
  });
  if (outOfTime && transcript) transcript->Note("time limit");
  port.reset();
  if (!options.linkPath.empty()) {
    std::error_code ignored;
    std::filesystem::remove(options.linkPath, ignored);
  }
  if (!options.savePath.empty()) SaveState(state, options.savePath);
  return outOfTime ? kExitTimeLimit : 0;
}

}  // namespace

constexpr const char* kVersionUsage = "  --version             print the version and exit\n";

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments == std::vector<std::string>{"--version"}) {
    std::cout << "zantel-phonesim " << ZANTEL_VERSION << "\n";
    return 0;
  }
  std::string error;
  const auto options = ParseOptions(arguments, error);
  if (!options) {
    std::cerr << "zantel-phonesim: " << error << "\n" << kUsage << kVersionUsage;
    return 2;
  }
  if (options->help) {
    std::cout << kUsage << kVersionUsage;
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
