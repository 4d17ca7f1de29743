#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

enum class OpenMode {
  ExistingReadWrite,  // read and write, no sharing, must exist (devices, ports, pipes)
  ExistingRead,       // read only, shared for reading, must exist
  AppendAlways,       // write at the end, created when missing, shared for reading
  CreateNew,          // write, fails with kErrorFileExists when the file exists
  CreateAlways,       // write, truncates an existing file
};

// An open file, device or serial port. Owns its handle; closing is automatic.
// Every failing call returns false and sets LastError().
class CFile {
 public:
  CFile() = default;
  ~CFile();
  CFile(CFile&& other) noexcept;
  CFile& operator=(CFile&& other) noexcept;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // "COMn" names serial port n (see the README for how it maps on Linux).
  static CFile Open(const std::string& name, OpenMode mode);

  bool IsOpen() const;
  void Close();

  // On a serial port the time-outs of SetSerialTimeouts apply: a read returns at once with
  // what is buffered, else waits for the first byte, and delivers 0 bytes after the time-out;
  // a write delivers fewer bytes than asked when the time-out passes first.
  bool Read(void* buffer, uint32_t count, uint32_t& read);
  bool Write(const void* buffer, uint32_t count, uint32_t& written);

  bool SeekToEnd();
  bool Size(uint64_t& size);

  // The OS handle: a HANDLE on Windows, a descriptor on POSIX. -1 when closed.
  intptr_t NativeHandle() const { return m_handle; }

 private:
  friend bool SetSerialTimeouts(CFile& port, uint32_t timeoutMs);
  intptr_t m_handle = -1;
  int32_t m_timeoutMs = -1;  // POSIX only: the serial time-out, -1 for plain blocking I/O
};

bool DeleteFile(const std::string& name);
bool FileExists(const std::string& name);
bool IsDirectory(const std::string& name);

// Names (without the folder) of the files matching a wildcard such as "C:\dir\*.lng" or
// "/dir/*.lng"; '*' and '?' match as on Windows, without regard to letter case.
std::vector<std::string> ListFiles(const std::string& pattern);

}  // namespace Platform
