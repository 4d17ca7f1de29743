#pragma once
#include <deque>
#include <string>

#include "link/connection.h"
#include "plugin/host_link_user.h"

// A phone played from a script at the connection seam. Each step expects one exact write
// (a command line with its carriage return) and then delivers the reply bytes. A write that
// differs from the script, or a read when the phone has nothing more to say, fails the test;
// the latter also throws io_error so that the caller's read loop ends. What it hands out goes
// to the transcript, as a real link's reads do.
class CScriptedConnection : public CConnection {
 public:
  explicit CScriptedConnection(CLinkUser& user = HostLinkUser()) : CConnection(user) {}
  void Expect(const std::string& written, const std::string& reply);
  // The link breaks once `written` arrives: every read after it throws io_error.
  void ExpectThenBreak(const std::string& written);

  void Read(void* buffer, uint32_t& count) override;
  void Write(const void* buffer, uint32_t length) override;
  bool TakeArrived(char byte) override;

  bool ScriptDone() const { return m_steps.empty() && m_pending.empty(); }
  const std::string& Sent() const { return m_sent; }
  size_t ReadCalls() const { return m_readCalls; }

 private:
  struct Step {
    std::string written;
    std::string reply;
    bool breaks = false;
  };
  std::deque<Step> m_steps;
  std::string m_pending;
  std::string m_sent;
  size_t m_readCalls = 0;
  bool m_broken = false;
};
