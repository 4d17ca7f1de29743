#include "platform/serial.h"

#include "platform/error.h"
#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

HANDLE PortHandle(const CFile& port) { return reinterpret_cast<HANDLE>(port.NativeHandle()); }

}  // namespace

// Every DCB field not named here keeps what the driver reported.
bool ConfigureSerialLine(CFile& port, const SerialLine& line) {
  if (!port.IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  DCB state{};
  state.DCBlength = sizeof state;
  if (!GetCommState(PortHandle(port), &state)) return false;
  state.BaudRate = line.baudRate;
  state.ByteSize = line.dataBits;
  state.Parity = line.parity;
  state.StopBits = line.stopBits;
  state.fParity = line.parity != NOPARITY;
  state.fOutxCtsFlow = line.hardwareFlow;
  state.fRtsControl = line.hardwareFlow ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  state.fOutX = line.softwareFlow;
  state.fInX = line.softwareFlow;
  return SetCommState(PortHandle(port), &state) != FALSE;
}

// MAXDWORD for the interval and the multiplier is the combination that makes a read return at
// once with what is buffered, else with the first byte to arrive, else with none after the
// constant. The write multiplier stays the driver's.
bool SetSerialTimeouts(CFile& port, uint32_t timeoutMs) {
  if (!port.IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  COMMTIMEOUTS timeouts{};
  if (!GetCommTimeouts(PortHandle(port), &timeouts)) return false;
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = timeoutMs;
  timeouts.WriteTotalTimeoutConstant = timeoutMs;
  return SetCommTimeouts(PortHandle(port), &timeouts) != FALSE;
}

// ClearCommError also clears the port's line-error flags, which nothing else here reads.
bool SerialBytesWaiting(CFile& port, uint32_t& waiting) {
  waiting = 0;
  if (!port.IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(PortHandle(port), &errors, &status)) return false;
  waiting = status.cbInQue;
  return true;
}

}  // namespace Platform
