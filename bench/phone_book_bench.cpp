// How close listing a phone-book storage comes to what the serial line allows. The built module
// runs in the stand-in host against the phone simulator, which paces its line to a byte rate and
// pauses before each answer. For each listing this prints the time from SetDirectory("SM") until
// it returns beside the line's lower bound for the same exchange: every byte that crossed the
// line (the simulator's transcript, both directions) at the line rate, plus one pause for each
// command. It measures; nothing here checks timing.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "temp_registry.h"
#include "farapi/far_api.h"
#include "host/stand_in_host.h"
#include "transcript_bytes.h"
#include "phone_simulator_process.h"
#include "platform/registry.h"

namespace {

using Clock = std::chrono::steady_clock;

// A simulator may still be pacing out its last answer when the port closes.
constexpr uint32_t kFinishWaitMs = 60'000;

enum class Reading { Chunks, AtOnce, Cache };

struct ListingCase {
  int used;       // entries in the 250 locations of SM
  int rate;       // bytes per second: 11520 for 115200 baud, 960 for 9600
  int latencyMs;  // the phone's pause before each answer
  Reading reading;
};

const std::string kSettingsKey = std::string(Host::CStandInHost::kRootKey) + "\\Zantel";

void SetDword(const std::string& subkey, const std::string& name, uint32_t value) {
  Platform::CRegKey key = Platform::CRegKey::Create(kSettingsKey + subkey);
  key.SetValue(name, Platform::kRegDword, {reinterpret_cast<const uint8_t*>(&value), sizeof value});
}

// Every listing but the cached one starts from no settings and no cache, as a first opening.
// A pseudo-terminal knows no hardware handshake; profile flag 8 reads the storage with one
// AT+CPBR, and a new model's profile copies the flags of the default one.
void ResetSettings(bool readAtOnce) {
  Platform::CRegKey::Open(Host::CStandInHost::kRootKey).DeleteSubtree("Zantel");
  SetDword("\\FirstCOM", "Timeout", 1);
  SetDword("\\FirstCOM", "HwCtl", 0);
  if (readAtOnce) SetDword("\\Models", "Flags", 15);
}

// tests/data/phonesim/large.json: SM full with 250 entries; with fewer, every fifth location
// is kept, so that reading in chunks finds one entry in each chunk and reads them all.
std::string PhoneState(int used) {
  std::ifstream file(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/large.json");
  nlohmann::json state = nlohmann::json::parse(file);
  for (nlohmann::json& book : state["phoneBooks"]) {
    if (book["name"] != "SM" || used >= static_cast<int>(book["entries"].size())) continue;
    const int step = static_cast<int>(book["entries"].size()) / used;
    nlohmann::json kept = nlohmann::json::array();
    for (const nlohmann::json& entry : book["entries"]) {
      if ((entry["index"].get<int>() - 1) % step == 0 && static_cast<int>(kept.size()) < used)
        kept.push_back(entry);
    }
    book["entries"] = kept;
  }
  return state.dump();
}

PhoneSimulatorSetup Phone(const std::string& state, const ListingCase& listing, bool paced) {
  PhoneSimulatorSetup setup;
  setup.stateJson = state;
  if (paced) {
    setup.options = {"--rate", std::to_string(listing.rate), "--latency",
                     std::to_string(listing.latencyMs)};
  }
  setup.maxSeconds = 180;
  return setup;
}

using Bench::ByteCount;

struct Traffic {
  size_t toPhone = 0;
  size_t fromPhone = 0;
  size_t commands = 0;
};

// The listing's part of a session: from the storage's selection to the end, since the opening
// before it only greets the phone and closing sends nothing.
std::optional<Traffic> ListingTraffic(const std::string& transcript) {
  std::istringstream lines(transcript);
  std::string window;
  bool listing = false;
  Traffic traffic;
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.find(' ');
    if (space == std::string::npos || line.size() < space + 4) continue;
    const std::string_view direction = std::string_view(line).substr(space + 1, 2);
    const std::string_view bytes = std::string_view(line).substr(space + 4);
    if (!listing && direction == "<<" && bytes.starts_with("AT+CPBS=\"SM\"")) listing = true;
    if (!listing) continue;
    if (direction == "<<") traffic.toPhone += ByteCount(bytes);
    if (direction == ">>") traffic.fromPhone += ByteCount(bytes);
    window += line + '\n';
  }
  if (!listing) return std::nullopt;
  traffic.commands = ReceivedCommandsOf(window).size();
  return traffic;
}

// ZANTEL_BENCH_MODULE names another build of the module, to set two builds side by side.
std::string ModulePath() {
  const char* other = std::getenv("ZANTEL_BENCH_MODULE");
  return other != nullptr && *other != '\0' ? other : ZANTEL_MODULE_PATH;
}

size_t ListedEntries(const Host::CStandInHost& host) {
  size_t entries = 0;
  for (const Host::CPanelItem& item : host.Panel(Host::EPanel::Plugin).Items()) {
    if (!item.IsFolder()) ++entries;
  }
  return entries;
}

// One opening of the phone that lists SM; the measured part is SetDirectory("SM") alone.
struct Listing {
  double seconds = 0;
  size_t entries = 0;
  std::optional<Traffic> traffic;
  std::string failure;
};

Listing ListOnce(Host::CStandInHost& host, const PhoneSimulatorSetup& setup) {
  Listing result;
  CPhoneSimulatorProcess phone(setup);
  if (!phone.IsReady()) {
    result.failure = phone.Failure();
    return result;
  }
  if (!host.Open(OPEN_DISKMENU, 0)) {
    result.failure = "the phone did not open";
    return result;
  }
  const Clock::time_point start = Clock::now();
  const bool listed = host.SetDirectory("SM");
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  result.entries = ListedEntries(host);
  host.Close();
  if (!phone.Finish(kFinishWaitMs)) result.failure = phone.Failure();
  if (!listed) result.failure = "SetDirectory(\"SM\") failed";
  result.traffic = ListingTraffic(phone.Transcript());
  if (!result.traffic && result.failure.empty()) result.failure = "no listing in the transcript";
  return result;
}

void ListStorage(benchmark::State& state, ListingCase listing) {
  CTempRegistry registry;
  const std::string phoneState = PhoneState(listing.used);
  double bound = 0;
  double measured = 0;
  Traffic total;
  for (auto _ : state) {
    std::string hostFailure;
    ResetSettings(listing.reading == Reading::AtOnce);
    Host::CStandInHost host;
    host.OnFailure([&](const std::string& failure) { hostFailure += failure + "; "; });
    if (!host.Load(ModulePath())) {
      state.SkipWithError("the module did not load");
      break;
    }
    if (listing.reading == Reading::Cache) {
      // The first opening fills the phone's cache over an unpaced line.
      const Listing filling = ListOnce(host, Phone(phoneState, listing, false));
      if (!filling.failure.empty()) {
        state.SkipWithError(("filling the cache: " + filling.failure).c_str());
        break;
      }
    }
    const Listing result = ListOnce(host, Phone(phoneState, listing, true));
    host.Exit();
    if (!result.failure.empty() || !hostFailure.empty()) {
      state.SkipWithError((result.failure + " " + hostFailure).c_str());
      break;
    }
    if (result.entries != static_cast<size_t>(listing.used)) {
      state.SkipWithError(("listed " + std::to_string(result.entries) + " entries").c_str());
      break;
    }
    state.SetIterationTime(result.seconds);
    measured += result.seconds;
    const Traffic& traffic = *result.traffic;
    bound += static_cast<double>(traffic.toPhone + traffic.fromPhone) / listing.rate +
             static_cast<double>(traffic.commands) * listing.latencyMs / 1000.0;
    total.toPhone += traffic.toPhone;
    total.fromPhone += traffic.fromPhone;
    total.commands += traffic.commands;
  }
  const auto perIteration = [&](double value) {
    return benchmark::Counter(value, benchmark::Counter::kAvgIterations);
  };
  state.counters["bound_ms"] = perIteration(bound * 1000);
  state.counters["ratio"] = bound > 0 ? measured / bound : 0;
  state.counters["commands"] = perIteration(static_cast<double>(total.commands));
  state.counters["to_phone"] = perIteration(static_cast<double>(total.toPhone));
  state.counters["from_phone"] = perIteration(static_cast<double>(total.fromPhone));
}

const char* ReadingName(Reading reading) {
  switch (reading) {
    case Reading::Chunks: return "chunks";
    case Reading::AtOnce: return "flag8";
    case Reading::Cache: return "cache";
  }
  return "";
}

// The slow line's listings take seconds each, so they run once; the fast line's three times.
void RegisterListings() {
  for (const int rate : {11520, 960}) {
    for (const int latencyMs : {20, 100}) {
      for (const int used : {250, 50}) {
        for (const Reading reading : {Reading::Chunks, Reading::AtOnce, Reading::Cache}) {
          const std::string name = "ListSM/" + std::to_string(used) + "of250/" +
                                   std::to_string(rate * 10) + "baud/" + std::to_string(latencyMs) +
                                   "ms/" + ReadingName(reading);
          benchmark::RegisterBenchmark(name.c_str(), ListStorage,
                                       ListingCase{used, rate, latencyMs, reading})
              ->UseManualTime()
              ->Unit(benchmark::kMillisecond)
              ->Iterations(rate > 1000 ? 3 : 1);
        }
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterListings();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
