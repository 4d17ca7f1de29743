#include "link/connection.h"

#include <string>

#include "farapi/far_api.h"
#include "farlib/host.h"
#include "farlib/message_ids.h"
#include "link/io_error.h"
#include "link/transcript.h"
#include "platform/error.h"
#include "platform/serial.h"
#include "settings/settings.h"

void CFileConnection::Open(const std::string& name) {
  m_file = Platform::CFile::Open(name, Platform::OpenMode::ExistingReadWrite);
  if (!m_file.IsOpen()) throw file_io_error(Msg::kCannotOpenDevice);
  m_name = name;
}

// A file or pipe that delivers nothing more has ended: there is nobody to wait for.
void CFileConnection::Read(void* buffer, uint32_t& count) {
  uint32_t read = 0;
  if (!m_file.Read(buffer, count, read)) throw file_io_error(Msg::kReadFailed);
  if (read == 0) {
    Platform::SetLastError(Platform::kErrorHandleEof);
    throw file_io_error(Msg::kReadFailed);
  }
  LogTraffic(buffer, read);
  count = read;
}

void CFileConnection::Write(const void* buffer, uint32_t length) {
  uint32_t written = 0;
  if (!m_file.Write(buffer, length, written)) throw file_io_error(Msg::kWriteFailed);
  if (written < length) throw file_io_error(Msg::kWriteFailed);
  LogTraffic(buffer, written);
}

CSerialConnection::CSerialConnection(const PortSettings& settings) : m_settings(&settings) {
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
    if (!m_file.Read(buffer, count, read)) throw file_io_error(Msg::kReadFailed);
    if (read > 0) break;
    if (UserGivesUp()) {
      Platform::SetLastError(Platform::kErrorTimeout);
      throw file_io_error(Msg::kReadFailed);
    }
  }
  LogTraffic(buffer, read);
  count = read;
}

// The command line is logged once by SendLine, so nothing is logged here.
void CSerialConnection::Write(const void* buffer, uint32_t length) {
  const auto* rest = static_cast<const uint8_t*>(buffer);
  while (length > 0) {
    uint32_t written = 0;
    if (!m_file.Write(rest, length, written)) throw file_io_error(Msg::kWriteFailed);
    if (written < length && UserGivesUp()) {
      Platform::SetLastError(Platform::kErrorTimeout);
      throw file_io_error(Msg::kWriteFailed);
    }
    rest += written;
    length -= written;
  }
}

// Only the second button gives up; the first and Escape both mean keep waiting.
bool CSerialConnection::UserGivesUp() const {
  const std::string text = FarLib::FormatMsg(Msg::kPhoneSilent, m_settings->Timeout);
  const int button =
      FarLib::ShowMessage(FMSG_WARNING, "TimeoutError",
                          {FarLib::GetMsg(Msg::kTitle), text.c_str(),
                           FarLib::GetMsg(Msg::kKeepWaiting), FarLib::GetMsg(Msg::kGiveUp)},
                          2);
  return button == 1;
}

CDummyFileConnection::CDummyFileConnection(const std::string& name) {
  if (!name.empty()) Open(name);
}

void CDummyFileConnection::Write(const void*, uint32_t) {}
