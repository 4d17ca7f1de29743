#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "phone_port_link.h"

// How to start a phone simulator for one end-to-end test.
struct PhoneSimulatorSetup {
  std::string stateJson;             // the phone as JSON text (see phonesim/state.h); empty: none
  std::string profile;               // overrides the state's profile; alone, an empty phone of it
  std::string faultsJson;            // a fault script as JSON text; empty: none
  std::vector<std::string> options;  // further zantel-phonesim options, such as --latency 20
  int port = TestPhonePort();        // the COM port the plug-in opens
  int maxSeconds = 60;               // the simulator's own safety limit
};

// zantel-phonesim as a separate process serving one test: started with the test's phone and
// faults, a transcript, --save, --changes (see ChangePhone), --until-closed and --max-seconds,
// behind a link that the plug-in finds as COMn. Natively the link is private and ZANTEL_COMn
// names it; under Wine it is the fixed path scripts/test-windows maps the port to, so tests take
// turns on each port. Once the constructor returns, the simulator serves the port (or Failure()
// says why not).
class CPhoneSimulatorProcess {
 public:
  explicit CPhoneSimulatorProcess(const PhoneSimulatorSetup& setup);
  ~CPhoneSimulatorProcess();
  CPhoneSimulatorProcess(const CPhoneSimulatorProcess&) = delete;
  CPhoneSimulatorProcess& operator=(const CPhoneSimulatorProcess&) = delete;

  bool IsReady() const { return m_failure.empty() && m_process.IsStarted(); }
  // Why the simulator is not ready or did not end well; empty when all went right.
  const std::string& Failure() const { return m_failure; }

  // After the plug-in closed the port: waits up to `waitMs` for the simulator to end by
  // itself, else kills it. True when it ended by itself with status 0.
  bool Finish(uint32_t waitMs = 10000);
  std::optional<int> ExitStatus() const { return m_exitStatus; }

  // Changes the phone as its owner would while the plug-in has it open (JSON text, see
  // phonesim/changes.h), and waits until the simulator has taken the change: it does so between
  // commands, so the change is in place before the plug-in's next command is answered. False,
  // with Failure() saying why, when the simulator did not apply it.
  bool ChangePhone(const std::string& changeJson);

  // The command lines the phone received, in order, without their carriage returns (a PDU
  // sent after a prompt is one item, without its Ctrl-Z).
  std::vector<std::string> ReceivedCommands() const;
  // The transcript as written (see phonesim/transcript.h).
  std::string Transcript() const;
  // The phone's state as saved at the end (JSON text); empty before Finish or without a save.
  std::string SavedState() const;

 private:
  bool WaitUntilServing();
  bool WaitUntilChangeTaken();
  bool Fail(const std::string& why);
  std::string Scratch(const std::string& name) const;
  std::string Native(const std::string& name);

  int m_port;
  std::string m_folder;  // scratch files, as this program names them
  std::string m_failure;
  std::optional<int> m_exitStatus;
  size_t m_changes = 0;  // handed to the simulator so far
  TestSupport::CChildProcess m_process;
};

// The command lines in a transcript's received pieces, as ReceivedCommands() gives them.
std::vector<std::string> ReceivedCommandsOf(const std::string& transcript);
