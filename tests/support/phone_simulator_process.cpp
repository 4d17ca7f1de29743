#include "phone_simulator_process.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "phone_port_link.h"
#include "platform/error.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kStartWait = std::chrono::seconds(10);
constexpr auto kPollPause = std::chrono::milliseconds(10);
constexpr uint32_t kKillWaitMs = 5000;
constexpr const char* kChangeFile = "change.json";
constexpr std::string_view kChangeNote = " -- change ";

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  return static_cast<bool>(file.flush());
}

// A new folder of this test's own: tests run in parallel processes.
std::string NewScratchFolder() {
  static std::atomic<unsigned> counter{0};
  std::error_code failure;
  const fs::path temp = fs::temp_directory_path(failure);
  if (failure) return {};
  const auto stamp = Clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path folder =
        temp / ("zantel-phonesim-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (fs::create_directory(folder, failure)) return folder.string();
  }
  return {};
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A transcript piece's bytes: \r, \n, \\ and \xHH stand for themselves.
std::string Unescaped(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes.push_back(text[i]);
      continue;
    }
    const char kind = text[++i];
    if (kind == 'r') {
      bytes.push_back('\r');
    } else if (kind == 'n') {
      bytes.push_back('\n');
    } else if (kind == 'x' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      bytes.push_back(kind);
    }
  }
  return bytes;
}

// What the simulator noted of each change it took, in order: "applied" or "refused: why".
std::vector<std::string> ChangeOutcomesOf(const std::string& transcript) {
  std::vector<std::string> outcomes;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    const size_t note = line.find(kChangeNote);
    if (note != std::string::npos && line.find(' ') == note) {
      outcomes.push_back(line.substr(note + kChangeNote.size()));
    }
  }
  return outcomes;
}

}  // namespace

std::vector<std::string> ReceivedCommandsOf(const std::string& transcript) {
  std::string received;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.find(' ');
    if (space == std::string::npos || line.compare(space, 4, " << ") != 0) continue;
    received += Unescaped(std::string_view(line).substr(space + 4));
  }
  // A command line ends with a carriage return, a PDU with Ctrl-Z or Escape.
  std::vector<std::string> commands;
  std::string current;
  for (const char c : received) {
    if (c == '\r' || c == '\x1A' || c == '\x1B') {
      if (!current.empty()) commands.push_back(current);
      current.clear();
    } else if (c != '\n') {
      current.push_back(c);
    }
  }
  if (!current.empty()) commands.push_back(current);
  return commands;
}

CPhoneSimulatorProcess::CPhoneSimulatorProcess(const PhoneSimulatorSetup& setup)
    : m_port(setup.port) {
  const std::string program = PhoneSimulatorProgram();
  if (program.empty()) {
    m_failure =
        "the phone simulator's program is not known: ZANTEL_PHONESIM_PROGRAM names the native "
        "zantel-phonesim (scripts/test-windows sets it)";
    return;
  }
  m_folder = NewScratchFolder();
  if (m_folder.empty()) {
    m_failure = "cannot make a scratch folder";
    return;
  }
  const std::string link = PreparePhonePortLink(m_port, m_folder, m_failure);
  if (!m_failure.empty()) return;

  std::vector<std::string> arguments{"--until-closed",
                                     "--max-seconds",
                                     std::to_string(setup.maxSeconds),
                                     "--link",
                                     link,
                                     "--ready",
                                     Native("ready"),
                                     "--transcript",
                                     Native("transcript.txt"),
                                     "--save",
                                     Native("saved.json"),
                                     "--changes",
                                     Native(kChangeFile)};
  const auto addFile = [&](const char* option, const std::string& name, const std::string& text) {
    if (text.empty()) return;
    if (!WriteText(Scratch(name), text)) m_failure = "cannot write " + Scratch(name);
    arguments.insert(arguments.end(), {option, Native(name)});
  };
  // Without a state or a profile the simulator plays its demo phone; tests start from empty.
  addFile("--state", "state.json",
          setup.stateJson.empty() && setup.profile.empty() ? "{}" : setup.stateJson);
  addFile("--faults", "faults.json", setup.faultsJson);
  if (!setup.profile.empty()) arguments.insert(arguments.end(), {"--profile", setup.profile});
  arguments.insert(arguments.end(), setup.options.begin(), setup.options.end());
  if (!m_failure.empty()) return;

  m_process = TestSupport::CChildProcess::Start(program, arguments, m_folder);
  if (!m_process.IsStarted()) {
    // The system's error tells a launch that failed from a path that could not be converted.
    m_failure =
        "cannot start " + program + " (error " + std::to_string(Platform::LastError()) + ")";
    return;
  }
  if (!WaitUntilServing()) Finish(0);
}

CPhoneSimulatorProcess::~CPhoneSimulatorProcess() {
  m_process.Kill();
  ReleasePhonePortLink(m_port);
  if (!m_folder.empty()) {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }
}

std::string CPhoneSimulatorProcess::Scratch(const std::string& name) const {
  return (fs::path(m_folder) / name).string();
}

// A scratch path as the native simulator names it; a failure to convert is kept for later.
std::string CPhoneSimulatorProcess::Native(const std::string& name) {
  const std::string path = TestSupport::NativeSystemPath(Scratch(name));
  if (path.empty() && m_failure.empty()) m_failure = "cannot convert " + Scratch(name);
  return path;
}

// The simulator writes the ready file after it made the link. The link itself is no sign
// under Wine, which cannot see a link to a terminal without opening it.
bool CPhoneSimulatorProcess::WaitUntilServing() {
  const auto deadline = Clock::now() + kStartWait;
  for (;;) {
    std::error_code ignored;
    if (fs::exists(Scratch("ready"), ignored)) return true;
    if (!m_process.IsRunning()) {
      m_failure = "the simulator ended before it served the port; see its standard error";
      return false;
    }
    if (Clock::now() > deadline) {
      m_failure = "the simulator did not start serving the port";
      return false;
    }
    std::this_thread::sleep_for(kPollPause);
  }
}

bool CPhoneSimulatorProcess::Fail(const std::string& why) {
  if (m_failure.empty()) m_failure = why;
  return false;
}

// Written whole under another name and renamed, so the simulator never reads half a change.
bool CPhoneSimulatorProcess::ChangePhone(const std::string& changeJson) {
  if (!IsReady()) return false;
  const std::string partial = Scratch(std::string(kChangeFile) + ".part");
  if (!WriteText(partial, changeJson)) return Fail("cannot write " + partial);
  std::error_code failure;
  fs::rename(partial, Scratch(kChangeFile), failure);
  if (failure) return Fail("cannot write " + Scratch(kChangeFile) + ": " + failure.message());
  ++m_changes;
  if (!WaitUntilChangeTaken()) return false;
  const std::vector<std::string> outcomes = ChangeOutcomesOf(Transcript());
  if (outcomes.size() != m_changes) return Fail("the simulator noted no outcome of a change");
  if (outcomes.back() != "applied") return Fail("the simulator's change " + outcomes.back());
  return true;
}

// The simulator removes the change file once it has noted the outcome in its transcript.
bool CPhoneSimulatorProcess::WaitUntilChangeTaken() {
  const auto deadline = Clock::now() + kStartWait;
  for (;;) {
    std::error_code ignored;
    if (!fs::exists(Scratch(kChangeFile), ignored)) return true;
    if (!m_process.IsRunning()) return Fail("the simulator ended before it took a change");
    if (Clock::now() > deadline) return Fail("the simulator did not take a change");
    std::this_thread::sleep_for(kPollPause);
  }
}

bool CPhoneSimulatorProcess::Finish(uint32_t waitMs) {
  if (!m_process.IsStarted()) return false;
  m_exitStatus = m_process.Wait(waitMs);
  if (!m_exitStatus) {
    m_exitStatus = m_process.Kill();
    if (m_failure.empty()) {
      m_failure = "the simulator had not ended " + std::to_string(waitMs) +
                  " ms after the port was closed and was killed";
    }
    return false;
  }
  if (*m_exitStatus != 0 && m_failure.empty()) {
    m_failure = "the simulator ended with status " + std::to_string(*m_exitStatus) +
                (*m_exitStatus == 3 ? " (its --max-seconds ran out)" : "");
  }
  return m_failure.empty();
}

std::vector<std::string> CPhoneSimulatorProcess::ReceivedCommands() const {
  return ReceivedCommandsOf(Transcript());
}

std::string CPhoneSimulatorProcess::Transcript() const {
  return m_folder.empty() ? std::string() : Slurp(Scratch("transcript.txt"));
}

std::string CPhoneSimulatorProcess::SavedState() const {
  return m_folder.empty() ? std::string() : Slurp(Scratch("saved.json"));
}
