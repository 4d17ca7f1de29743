// The whole plug-in against what the serial line allows. The built module runs in the stand-in
// host against the phone simulator, which paces its line to a byte rate and pauses before each
// answer. For each step a user takes it prints the time beside the line's lower bound for the
// same exchange: every byte the simulator's transcript shows crossing the line, both ways, at
// the line rate, plus one pause per command, plus the settle wait where the phone is opened.
// Steps: opening the phone (the handshake), listing SM's 250 entries, a second opening that
// lists SM from the registry cache, and opening the messages (the handshake and 40 messages,
// some of them in two parts). A plain program, so that the Windows build runs it under Wine.
// It measures; nothing here checks timing.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The plug-in waits this long after opening the port before it greets the phone.
constexpr double kSettleSeconds = 1.0;
// A simulator may still be pacing out its last answer when the port closes.
constexpr uint32_t kFinishWaitMs = 60'000;
constexpr int kPhoneBookSize = 250;
constexpr int kSingleMessages = 30;
constexpr int kTwoPartMessages = 5;
constexpr int kStoredMessages = kSingleMessages + 2 * kTwoPartMessages;

const std::string kSettingsKey = std::string(Host::CStandInHost::kRootKey) + "\\Zantel";

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void SetDword(const std::string& subkey, const std::string& name, uint32_t value) {
  Platform::CRegKey key = Platform::CRegKey::Create(kSettingsKey + subkey);
  key.SetValue(name, Platform::kRegDword, {reinterpret_cast<const uint8_t*>(&value), sizeof value});
}

// A first opening: no settings and no cache. A pseudo-terminal knows no hardware handshake.
void ResetSettings() {
  Platform::CRegKey::Open(Host::CStandInHost::kRootKey).DeleteSubtree("Zantel");
  SetDword("\\FirstCOM", "Timeout", 1);
  SetDword("\\FirstCOM", "HwCtl", 0);
}

// ---- The phone: SM full with 250 entries, 40 messages in SM ----

std::string Hex(unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(value >> 4) & 15], kDigits[value & 15]};
}

std::string Two(int value) { return {char('0' + value / 10 % 10), char('0' + value % 10)}; }

// An SMS-DELIVER in UCS2 from +4477009001nn, without a service-centre address; `part` and
// `parts` give it a concatenation header.
std::string Deliver(int sender, const std::string& text, unsigned reference = 0, unsigned parts = 0,
                    unsigned part = 0) {
  std::string data;
  if (parts != 0) data = "050003" + Hex(reference) + Hex(parts) + Hex(part);
  for (const char c : text) data += "00" + Hex(static_cast<unsigned char>(c));
  const std::string digits = "4477009001" + Two(sender);
  std::string address;
  for (size_t i = 0; i < digits.size(); i += 2) address += std::string{digits[i + 1], digits[i]};
  const std::string stamp = "503012" + std::string{Two(sender)[1], Two(sender)[0]} + "000000";
  return std::string("00") + (parts != 0 ? "44" : "04") + "0C91" + address + "0008" + stamp +
         Hex(static_cast<unsigned>(data.size() / 2)) + data;
}

std::string PhoneState() {
  std::string json =
      R"({"profile": "classic", "identity": {"manufacturer": "Zantel", "model": "Classic 100",)"
      R"( "revision": "V 05.10", "serial": "351234567890123", "imsi": "234150123456789"},)"
      R"( "clock": "10/06/15,12:00:00+00", "serviceCentre": "+447700900000",)"
      R"( "nextReference": 0, "sent": [], "phoneBooks": [{"name": "SM", "size": 250,)"
      R"( "numberLength": 40, "nameLength": 18, "entries": [)";
  for (int i = 1; i <= kPhoneBookSize; ++i) {
    char entry[128];
    std::snprintf(entry, sizeof entry,
                  R"(%s{"index": %d, "number": "+447700900%03d", "type": 145, "name": "Bob %03d"})",
                  i == 1 ? "" : ", ", i, i, i);
    json += entry;
  }
  json += R"(]}], "messageStorages": [{"name": "SM", "size": 40, "messages": [)";
  int index = 0;
  const auto add = [&](int status, const std::string& pdu) {
    ++index;
    json += (index == 1 ? "" : ", ") + std::string(R"({"index": )") + std::to_string(index) +
            R"(, "status": )" + std::to_string(status) + R"(, "pdu": ")" + pdu + "\"}";
  };
  for (int i = 0; i < kSingleMessages; ++i) {
    std::string text = "Message " + std::to_string(i) + ":";
    for (int words = 0; words < i % 7 + 1; ++words) text += " see you at the station";
    add(i % 2, Deliver(i % 60, text.substr(0, 70)));
  }
  for (int i = 0; i < kTwoPartMessages; ++i) {
    const std::string text(67, static_cast<char>('a' + i));
    add(1, Deliver(60 + i, text, static_cast<unsigned>(i + 1), 2, 1));
    add(1, Deliver(60 + i, "and the rest", static_cast<unsigned>(i + 1), 2, 2));
  }
  return json + "]}, {\"name\": \"ME\", \"size\": 150, \"messages\": []}]}";
}

// ---- The line's lower bound, from the transcript ----

using Bench::ByteCount;

struct Traffic {
  size_t bytes = 0;  // both ways
  size_t commands = 0;
  size_t listedMessages = 0;  // "+CMGL:" lines the phone sent

  double Bound(int rate, int latencyMs) const {
    return static_cast<double>(bytes) / rate + static_cast<double>(commands) * latencyMs / 1000.0;
  }
};

// The part of a transcript from the first received piece that starts with `from` (from the
// start when empty) up to the first that starts with `until` (to the end when empty).
Traffic TrafficOf(const std::string& transcript, std::string_view from, std::string_view until) {
  std::istringstream lines(transcript);
  std::string window;
  std::string sent;
  bool inside = from.empty();
  Traffic traffic;
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.find(' ');
    if (space == std::string::npos || line.size() < space + 4) continue;
    const std::string_view direction = std::string_view(line).substr(space + 1, 2);
    const std::string_view bytes = std::string_view(line).substr(space + 4);
    if (direction == "<<" && !inside && bytes.starts_with(from)) inside = true;
    if (direction == "<<" && inside && !until.empty() && bytes.starts_with(until)) break;
    if (!inside) continue;
    traffic.bytes += ByteCount(bytes);
    // An answer goes over the line in pieces, which may cut a header line.
    if (direction == ">>") sent += bytes;
    window += line + '\n';
  }
  // A message's header line; the answer to "AT+CMGL=?" lists the statuses in brackets.
  for (size_t at = sent.find("+CMGL: "); at != std::string::npos;
       at = sent.find("+CMGL: ", at + 1)) {
    if (at + 7 < sent.size() && sent[at + 7] >= '0' && sent[at + 7] <= '9')
      ++traffic.listedMessages;
  }
  traffic.commands = ReceivedCommandsOf(window).size();
  return traffic;
}

// ---- The steps ----

struct Line {
  int rate;  // bytes per second: 11520 for 115200 baud, 960 for 9600
  int latencyMs;
  std::string Name() const {
    return std::to_string(rate * 10) + " baud, " + std::to_string(latencyMs) + " ms";
  }
};

struct Step {
  std::string name;
  double seconds = 0;
  double bound = 0;
  Traffic traffic;
};

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

PhoneSimulatorSetup Phone(const std::string& state, const Line& line) {
  PhoneSimulatorSetup setup;
  setup.stateJson = state;
  setup.options = {"--rate", std::to_string(line.rate), "--latency",
                   std::to_string(line.latencyMs)};
  setup.maxSeconds = 180;
  return setup;
}

// One round of every step on one line; an empty failure when all went as a user expects.
std::string RunRound(const std::string& state, const Line& line, std::vector<Step>& steps) {
  std::string hostFailure;
  Host::CStandInHost host;
  host.OnFailure([&](const std::string& failure) { hostFailure += failure + "; "; });
  if (!host.Load(ModulePath())) return "the module did not load from " + ModulePath();
  ResetSettings();
  std::string failure;

  {  // The first opening, then SM listed from the phone, which fills the cache.
    CPhoneSimulatorProcess phone(Phone(state, line));
    if (!phone.IsReady()) return phone.Failure();
    Clock::time_point start = Clock::now();
    if (!host.Open(OPEN_DISKMENU, 0)) return "the phone did not open: " + hostFailure;
    const double opening = Seconds(start);
    start = Clock::now();
    const bool listed = host.SetDirectory("SM");
    const double listing = Seconds(start);
    const size_t entries = ListedEntries(host);
    host.Close();
    if (!phone.Finish(kFinishWaitMs)) return phone.Failure();
    if (!listed || entries != kPhoneBookSize)
      return "SM listed " + std::to_string(entries) + " entries";
    const std::string transcript = phone.Transcript();
    const Traffic greeting = TrafficOf(transcript, "", "AT+CPBS=\"SM\"");
    const Traffic list = TrafficOf(transcript, "AT+CPBS=\"SM\"", "");
    steps.push_back({"opening (handshake)", opening,
                     kSettleSeconds + greeting.Bound(line.rate, line.latencyMs), greeting});
    steps.push_back({"SM, 250 entries", listing, list.Bound(line.rate, line.latencyMs), list});
  }
  {  // The second opening: the handshake again, then SM from the registry cache.
    CPhoneSimulatorProcess phone(Phone(state, line));
    if (!phone.IsReady()) return phone.Failure();
    const Clock::time_point start = Clock::now();
    const bool opened = host.Open(OPEN_DISKMENU, 0);
    const bool listed = opened && host.SetDirectory("SM");
    const double seconds = Seconds(start);
    const size_t entries = ListedEntries(host);
    host.Close();
    if (!phone.Finish(kFinishWaitMs)) return phone.Failure();
    if (!listed || entries != kPhoneBookSize)
      return "SM from the cache listed " + std::to_string(entries) + " entries";
    const Traffic all = TrafficOf(phone.Transcript(), "", "");
    steps.push_back({"second opening + SM cached", seconds,
                     kSettleSeconds + all.Bound(line.rate, line.latencyMs), all});
  }
  {  // The messages, from the plug-ins menu: the handshake, then every storage listed.
    CPhoneSimulatorProcess phone(Phone(state, line));
    if (!phone.IsReady()) return phone.Failure();
    const Clock::time_point start = Clock::now();
    const bool opened = host.Open(OPEN_PLUGINSMENU, 0);
    const double seconds = Seconds(start);
    host.Close();
    if (!phone.Finish(kFinishWaitMs)) return phone.Failure();
    const Traffic all = TrafficOf(phone.Transcript(), "", "");
    if (!opened || all.listedMessages != kStoredMessages)
      return "the messages listed " + std::to_string(all.listedMessages) + " of " +
             std::to_string(kStoredMessages) + "; " + hostFailure;
    steps.push_back({"messages opened, 40 listed", seconds,
                     kSettleSeconds + all.Bound(line.rate, line.latencyMs), all});
  }
  host.Exit();
  if (!hostFailure.empty()) failure = hostFailure;
  return failure;
}

void Print(const Line& line, const std::vector<std::vector<Step>>& rounds) {
  for (size_t s = 0; s < rounds.front().size(); ++s) {
    std::vector<double> ratios;
    double seconds = 0;
    double bound = 0;
    for (const std::vector<Step>& round : rounds) {
      seconds += round[s].seconds;
      bound += round[s].bound;
      ratios.push_back(round[s].seconds / round[s].bound);
    }
    const double count = static_cast<double>(rounds.size());
    const Step& first = rounds.front()[s];
    std::printf("%-22s %-28s %9.1f %9.1f %6.3f %6.3f %5zu %7zu\n", line.Name().c_str(),
                first.name.c_str(), seconds / count * 1000, bound / count * 1000,
                *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), first.traffic.commands,
                first.traffic.bytes);
  }
  std::fflush(stdout);
}

}  // namespace

// plugin_bench [ROUNDS [FILTER]]: each line's steps ROUNDS times (2 by default), only the lines
// whose name contains FILTER ("9600", "115200 baud, 20").
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
  const std::string filter = argc > 2 ? argv[2] : "";
  CTempRegistry registry;
  const std::string state = PhoneState();
  std::printf("%-22s %-28s %9s %9s %6s %6s %5s %7s\n", "line", "step", "ms", "bound ms", "min/b",
              "max/b", "cmds", "bytes");
  int status = 0;
  for (const int rate : {11520, 960}) {
    for (const int latencyMs : {20, 100}) {
      const Line line{rate, latencyMs};
      if (line.Name().find(filter) == std::string::npos) continue;
      std::vector<std::vector<Step>> results;
      for (int round = 0; round < rounds; ++round) {
        std::vector<Step> steps;
        const std::string failure = RunRound(state, line, steps);
        if (!failure.empty()) {
          std::fprintf(stderr, "%s: %s\n", line.Name().c_str(), failure.c_str());
          status = 1;
          break;
        }
        results.push_back(std::move(steps));
      }
      if (!results.empty()) Print(line, results);
    }
  }
  return status;
}
