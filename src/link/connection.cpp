#include "link/connection.h"

#include <string>

#include "link/io_error.h"
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

void CFileConnection::Open(const std::string& name) {
  m_file = Platform::CFile::Open(name, Platform::OpenMode::ExistingReadWrite);
  if (!m_file.IsOpen()) FailWithLastError(LinkText::CannotOpenDevice);
  m_name = name;
}

// A file or pipe that delivers nothing more has ended: there is nobody to wait for.
void CFileConnection::Read(void* buffer, uint32_t& count) {
  uint32_t read = 0;
  if (!m_file.Read(buffer, count, read)) FailWithLastError(LinkText::ReadFailed);
  if (read == 0) Fail(LinkText::ReadFailed, Platform::kErrorHandleEof);
  User().LogTraffic(buffer, read);
  count = read;
}

void CFileConnection::Write(const void* buffer, uint32_t length) {
  uint32_t written = 0;
  if (!m_file.Write(buffer, length, written)) FailWithLastError(LinkText::WriteFailed);
  if (written < length) FailWithLastError(LinkText::WriteFailed);
  User().LogTraffic(buffer, written);
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

void CSerialConnection::Read(void* buffer, uint32_t& count) {
  if (count == 0) return;
  uint32_t read = 0;
  for (;;) {
    if (!m_file.Read(buffer, count, read)) FailWithLastError(LinkText::ReadFailed);
    if (read > 0) break;
    if (!User().KeepWaiting(m_settings->Timeout))
      Fail(LinkText::ReadFailed, Platform::kErrorTimeout);
  }
  User().LogTraffic(buffer, read);
  count = read;
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
