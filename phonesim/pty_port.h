#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace PhoneSim {

enum class ReadOutcome { Data, TimedOut, Closed };

// The phone's end of the line. The only place in the simulator that speaks to the system.
class CPort {
 public:
  virtual ~CPort() = default;
  // Appends what arrives within timeoutMs.
  virtual ReadOutcome Read(std::string& bytes, int timeoutMs) = 0;
  // False when the far side is gone.
  virtual bool Write(std::string_view bytes) = 0;
  // Drops the line: the far side sees the terminal closed.
  virtual void HangUp() = 0;
};

// How long a pseudo-terminal serves its clients.
enum class ClientPolicy {
  // The simulator keeps a slave handle of its own, so a client may open and close the
  // terminal as often as it likes.
  Reopenable,
  // The simulator holds no slave handle, so it sees the client's close: once a client has had
  // the terminal open, its last close reads as the line closed.
  UntilClosed,
};

// The master side of a new pseudo-terminal in raw mode. Throws std::runtime_error when the
// system refuses.
class CPseudoTerminalPort : public CPort {
 public:
  explicit CPseudoTerminalPort(ClientPolicy policy = ClientPolicy::Reopenable);
  ~CPseudoTerminalPort() override;
  CPseudoTerminalPort(const CPseudoTerminalPort&) = delete;
  CPseudoTerminalPort& operator=(const CPseudoTerminalPort&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }
  ReadOutcome Read(std::string& bytes, int timeoutMs) override;
  bool Write(std::string_view bytes) override;
  void HangUp() override;

 private:
  ReadOutcome ReadWithoutOwnSlave(std::string& bytes, int timeoutMs);
  void WaitUntilClientHasEverything();

  int m_master = -1;
  int m_slave = -1;
  std::string m_slavePath;
  ClientPolicy m_policy;
  bool m_clientSeen = false;
};

// Standard input and output, for a phone behind a pipe or socket relay.
class CStandardStreamsPort : public CPort {
 public:
  ReadOutcome Read(std::string& bytes, int timeoutMs) override;
  bool Write(std::string_view bytes) override;
  void HangUp() override { m_closed = true; }

 private:
  bool m_closed = false;
};

// SIGINT and SIGTERM end the session cleanly (the state is still saved); a closed output
// pipe does not kill the process.
void CatchStopSignals();
bool StopSignalled();

}  // namespace PhoneSim
