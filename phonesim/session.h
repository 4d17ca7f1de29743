#pragma once
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/changes.h"
#include "phonesim/faults.h"
#include "phonesim/phone.h"
#include "phonesim/pty_port.h"
#include "phonesim/transcript.h"

namespace PhoneSim {

// The line between a client and the phone: gathers command lines (ended by a carriage
// return) and prompted PDUs (ended by Ctrl-Z, abandoned by Escape), echoes, and writes the
// answers the way the fault script says. Changes to the phone, when given, are taken before
// each command line and while the line is quiet.
class CSession {
 public:
  CSession(CPort& port, CPhone& phone, Faults faults, CTranscript* transcript = nullptr,
           CChangeFile* changes = nullptr);

  // Serves until the far side is gone, a hang-up fault drops the line or `stop` says so
  // (asked every `pollMs` while the line is quiet, as the changes are looked for).
  void Run(const std::function<bool()>& stop, int pollMs = 50);
  bool HungUp() const { return m_hungUp; }
  int Commands() const { return m_commands; }

 private:
  void Receive(std::string_view bytes);
  void TakeLine();
  void TakePdu(bool cancelled);
  void Answer(const Reply& reply);
  std::string Framed(const Reply& reply) const;
  std::string FramedAroundNotices(const Reply& reply) const;
  std::string Notices(NoticePlace place) const;
  const Refusal* Refuses(const std::string& line);
  bool LosesWrite(const std::string& line);
  void Send(std::string_view bytes);
  size_t PacedPiece() const;
  void Pace(size_t bytes);
  void PaceReceived(size_t bytes);
  std::chrono::microseconds LineTime(size_t bytes) const;
  void HangUp();

  CPort& m_port;
  CPhone& m_phone;
  Faults m_faults;
  CTranscript* m_transcript;
  CChangeFile* m_changes;
  std::vector<int> m_refusalsLeft;
  int m_writesLost = 0;
  std::mt19937 m_random;
  std::string m_pending;
  std::chrono::steady_clock::time_point m_sendingUntil;  // when the line has sent all so far
  int m_commands = 0;
  bool m_silent = false;
  bool m_hungUp = false;
  bool m_closed = false;
};

}  // namespace PhoneSim
