#pragma once
#include <cstdint>

#include "platform/file.h"

namespace Platform {

// Line settings in the Win32 DCB codes.
struct SerialLine {
  uint32_t baudRate = 115200;
  uint8_t dataBits = 8;       // 4 to 8
  uint8_t parity = 0;         // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t stopBits = 0;       // 0 one, 1 one and a half, 2 two
  bool hardwareFlow = false;  // CTS/RTS
  bool softwareFlow = false;  // XON/XOFF
};

// Reads the port's current state, applies the line settings and writes it back.
// False (with LastError()) when the OS refuses any of it; the port keeps what it had.
bool ConfigureSerialLine(CFile& port, const SerialLine& line);

// Read and write total time-outs in milliseconds (see CFile::Read and CFile::Write).
bool SetSerialTimeouts(CFile& port, uint32_t timeoutMs);

// How many received bytes wait in the port's input queue. A read of at most that many returns
// at once; asking for more may wait out the whole time-out (Wine's serial driver does), so a
// reader that must not wait asks for no more than this, or for one byte when none wait.
bool SerialBytesWaiting(CFile& port, uint32_t& waiting);

}  // namespace Platform
