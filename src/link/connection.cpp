#include "link/connection.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "link/io_error.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/serial.h"
#include "settings/settings.h"

// The code is also left as the thread's last error, where the system-error box finds it.
void CConnection::Fail(LinkText text, uint32_t code) const {
  std::string message = m_user->Text(text);
  Platform::SetLastError(code);
  throw file_io_error(message, code);
}

// The error code is read before anything else runs, since fetching a text may change it.
void CConnection::FailWithLastError(LinkText text) const { Fail(text, Platform::LastError()); }

void CConnection::LogTraffic(const void* bytes, size_t count) {
  if (m_holding) {
    m_held.append(static_cast<const char*>(bytes), count);
  } else {
    m_user->LogTraffic(bytes, count);
  }
}

void CConnection::HoldTraffic() { m_holding = true; }

std::string CConnection::ReleaseTraffic() {
  m_holding = false;
  return std::exchange(m_held, {});
}

void CFileConnection::Open(const std::string& name) {
  m_file = Platform::CFile::Open(name, Platform::OpenMode::ExistingReadWrite);
  if (!m_file.IsOpen()) FailWithLastError(LinkText::CannotOpenDevice);
  m_name = name;
}

// The system is asked only once the buffer is empty, so a failure or the end of the line is
// reported after every byte that came before it was handed out.
void CFileConnection::Read(void* buffer, uint32_t& count) {
  if (count == 0) return;
  if (m_next == m_end) {
    m_next = 0;
    m_end = 0;
    m_end = Fill(m_block.data(), kBlockSize);
  }
  count = std::min(count, m_end - m_next);
  std::memcpy(buffer, m_block.data() + m_next, count);
  m_next += count;
  LogTraffic(buffer, count);
}

bool CFileConnection::TakeArrived(char byte) {
  if (m_next == m_end || m_block[m_next] != static_cast<uint8_t>(byte)) return false;
  ++m_next;
  LogTraffic(&byte, 1);
  return true;
}

void CFileConnection::DiscardBuffered() {
  LogTraffic(m_block.data() + m_next, m_end - m_next);
  m_next = m_end;
}

// A file or pipe that delivers nothing more has ended: there is nobody to wait for.
uint32_t CFileConnection::Fill(uint8_t* block, uint32_t capacity) {
  uint32_t read = 0;
  if (!m_file.Read(block, capacity, read)) FailWithLastError(LinkText::ReadFailed);
  if (read == 0) Fail(LinkText::ReadFailed, Platform::kErrorHandleEof);
  return read;
}

void CFileConnection::Write(const void* buffer, uint32_t length) {
  uint32_t written = 0;
  if (!m_file.Write(buffer, length, written)) FailWithLastError(LinkText::WriteFailed);
  if (written < length) FailWithLastError(LinkText::WriteFailed);
  LogTraffic(buffer, written);
}

CSerialConnection::CSerialConnection(const PortSettings& settings, CLinkUser& user)
    : CFileConnection(user), m_settings(&settings) {
  Open("COM" + std::to_string(settings.Port));
  Configure();
}

// A port the driver will not configure still works with its previous settings, so refusals
// are not errors here.
void CSerialConnection::Configure() {
  Platform::SerialLine line;
  line.baudRate = m_settings->BaudRate;
  line.dataBits = m_settings->DataBits;
  line.parity = m_settings->Parity;
  line.stopBits = m_settings->StopBits;
  line.hardwareFlow = m_settings->HwCtl;
  line.softwareFlow = m_settings->SwCtl;
  Platform::ConfigureSerialLine(m_file, line);
  Platform::SetSerialTimeouts(m_file, static_cast<uint32_t>(m_settings->Timeout) * 1000);
}

// Only what already waits is asked for, so the read returns at once; with nothing waiting,
// one byte is asked for and the port's time-out applies as it would to any read. A port that
// cannot tell what waits is read a byte at a time.
uint32_t CSerialConnection::Fill(uint8_t* block, uint32_t capacity) {
  for (;;) {
    uint32_t waiting = 0;
    if (!Platform::SerialBytesWaiting(m_file, waiting)) waiting = 1;
    const uint32_t wanted = std::clamp<uint32_t>(waiting, 1, capacity);
    uint32_t read = 0;
    if (!m_file.Read(block, wanted, read)) FailWithLastError(LinkText::ReadFailed);
    if (read > 0) return read;
    if (!User().KeepWaiting(m_settings->Timeout))
      Fail(LinkText::ReadFailed, Platform::kErrorTimeout);
  }
}

void CSerialConnection::DiscardUntilQuiet(uint32_t quietMs) {
  constexpr uint32_t kPollMs = 20;
  DiscardBuffered();
  uint32_t quietFor = 0;
  for (uint32_t waited = 0; quietFor < quietMs && waited < kMaxDiscardMs; waited += kPollMs) {
    uint32_t waiting = 0;
    if (!Platform::SerialBytesWaiting(m_file, waiting)) return;
    if (waiting == 0) {
      Platform::SleepMilliseconds(kPollMs);
      quietFor += kPollMs;
      continue;
    }
    std::array<uint8_t, 256> dropped{};
    uint32_t read = 0;
    const uint32_t wanted = std::min<uint32_t>(waiting, dropped.size());
    if (!m_file.Read(dropped.data(), wanted, read)) FailWithLastError(LinkText::ReadFailed);
    LogTraffic(dropped.data(), read);
    quietFor = 0;
  }
}

// The command line is logged once by SendLine, so nothing is logged here.
void CSerialConnection::Write(const void* buffer, uint32_t length) {
  const auto* rest = static_cast<const uint8_t*>(buffer);
  while (length > 0) {
    uint32_t written = 0;
    if (!m_file.Write(rest, length, written)) FailWithLastError(LinkText::WriteFailed);
    if (written < length && !User().KeepWaiting(m_settings->Timeout))
      Fail(LinkText::WriteFailed, Platform::kErrorTimeout);
    rest += written;
    length -= written;
  }
}

CDummyFileConnection::CDummyFileConnection(const std::string& name, CLinkUser& user)
    : CFileConnection(user) {
  if (!name.empty()) Open(name);
}

void CDummyFileConnection::Write(const void*, uint32_t) {}
