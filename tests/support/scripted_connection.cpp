#include "scripted_connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "link/io_error.h"

void CScriptedConnection::Expect(const std::string& written, const std::string& reply) {
  m_steps.push_back({written, reply});
}

void CScriptedConnection::ExpectThenBreak(const std::string& written) {
  m_steps.push_back({written, {}, true});
}

void CScriptedConnection::Write(const void* buffer, uint32_t length) {
  const std::string written(static_cast<const char*>(buffer), length);
  m_sent += written;
  if (m_steps.empty()) {
    ADD_FAILURE() << "unscripted write: \"" << written << "\"";
    return;
  }
  Step step = std::move(m_steps.front());
  m_steps.pop_front();
  EXPECT_EQ(written, step.written);
  m_pending += step.reply;
  m_broken = m_broken || step.breaks;
}

void CScriptedConnection::Read(void* buffer, uint32_t& count) {
  ++m_readCalls;
  if (m_broken && m_pending.empty()) throw io_error("the link broke", 0);
  if (m_pending.empty()) {
    ADD_FAILURE() << "the scripted phone has nothing more to say";
    throw io_error("script ended", 0);
  }
  count = static_cast<uint32_t>(std::min<size_t>(count, m_pending.size()));
  std::memcpy(buffer, m_pending.data(), count);
  m_pending.erase(0, count);
  LogTraffic(buffer, count);
}

bool CScriptedConnection::TakeArrived(char byte) {
  if (m_pending.empty() || m_pending.front() != byte) return false;
  m_pending.erase(0, 1);
  LogTraffic(&byte, 1);
  return true;
}
