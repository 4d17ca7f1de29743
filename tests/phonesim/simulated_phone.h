#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "fake_host.h"
#include "link/connection.h"
#include "plugin/host_link_user.h"
#include "phonesim/changes.h"
#include "phonesim/faults.h"
#include "phonesim/phone.h"
#include "phonesim/pty_port.h"
#include "phonesim/session.h"
#include "phonesim/state.h"
#include "settings/settings.h"

namespace PhoneSimTest {

// The simulator serving a real pseudo-terminal on a thread of the test, and the plug-in's
// own serial connection on the other side of it, standing for COM4.
class SimulatedPhone : public testing::Test {
 protected:
  void Start(PhoneSim::PhoneState state, PhoneSim::Faults faults = {},
             const std::string& transcriptPath = "", const std::string& changesPath = "") {
    m_state = std::move(state);
    m_port = std::make_unique<PhoneSim::CPseudoTerminalPort>();
    m_phone = std::make_unique<PhoneSim::CPhone>(m_state);
    if (!transcriptPath.empty())
      m_transcript = std::make_unique<PhoneSim::CTranscript>(transcriptPath);
    if (!changesPath.empty())
      m_changes = std::make_unique<PhoneSim::CChangeFile>(changesPath, m_state, m_transcript.get());
    m_session = std::make_unique<PhoneSim::CSession>(*m_port, *m_phone, faults, m_transcript.get(),
                                                     m_changes.get());
    m_server = std::jthread([this](std::stop_token stop) {
      m_session->Run([&stop] { return stop.stop_requested(); }, m_pollMs);
    });
    setenv("ZANTEL_COM4", m_port->SlavePath().c_str(), 1);
    m_settings.Port = 4;
    m_settings.Timeout = 2;
    m_settings.HwCtl = false;
    m_link = std::make_unique<CSerialConnection>(m_settings, HostLinkUser());
  }

  // Ends the session; the state may be read afterwards.
  void Stop() {
    if (m_server.joinable()) {
      m_server.request_stop();
      m_server.join();
    }
  }

  void TearDown() override {
    Stop();
    m_link.reset();
    unsetenv("ZANTEL_COM4");
  }

  CFakeHost m_host;
  int m_pollMs = 50;  // how often the quiet session looks for a stop and for changes
  PortSettings m_settings;
  PhoneSim::PhoneState m_state;
  std::unique_ptr<PhoneSim::CPseudoTerminalPort> m_port;
  std::unique_ptr<PhoneSim::CPhone> m_phone;
  std::unique_ptr<PhoneSim::CTranscript> m_transcript;
  std::unique_ptr<PhoneSim::CChangeFile> m_changes;
  std::unique_ptr<PhoneSim::CSession> m_session;
  std::unique_ptr<CSerialConnection> m_link;
  std::jthread m_server;
};

}  // namespace PhoneSimTest
