#include "platform/file.h"
#include "platform/file_name_match.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/error.h"
#include "platform/posix/posix_backend.h"

namespace Platform {
namespace {

using Clock = std::chrono::steady_clock;
using Posix::Fail;
using Posix::FailWithErrno;

constexpr mode_t kNewFileMode = 0644;

// Opening a serial device waits for the carrier unless it is non-blocking, and Windows never
// waits there: the existing-file modes open non-blocking and switch back right after.
int OpenFlags(OpenMode mode) {
  switch (mode) {
    case OpenMode::ExistingReadWrite: return O_RDWR | O_NOCTTY | O_NONBLOCK;
    case OpenMode::ExistingRead: return O_RDONLY | O_NOCTTY | O_NONBLOCK;
    case OpenMode::AppendAlways: return O_WRONLY | O_APPEND | O_CREAT;
    case OpenMode::CreateNew: return O_WRONLY | O_CREAT | O_EXCL;
    case OpenMode::CreateAlways: return O_WRONLY | O_CREAT | O_TRUNC;
  }
  return -1;
}

bool SetBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// What CreateFileA would still refuse after the descriptor is open: a folder, and a second
// open of something opened without sharing (the lock is advisory, but every Zantel takes it).
bool FinishOpening(int fd, OpenMode mode) {
  if ((OpenFlags(mode) & O_NONBLOCK) != 0 && !SetBlocking(fd)) return FailWithErrno();
  struct stat info {};
  if (fstat(fd, &info) != 0) return FailWithErrno();
  if (S_ISDIR(info.st_mode)) return Fail(kErrorAccessDenied);
  if (mode == OpenMode::ExistingReadWrite && flock(fd, LOCK_EX | LOCK_NB) != 0 &&
      errno == EWOULDBLOCK) {
    return Fail(kErrorSharingViolation);
  }
  return true;
}

// No bytes from a file is its end; from a terminal it means the line hung up (for example a
// pseudo-terminal whose master closed), which would otherwise look like an endless time-out.
// A hung-up terminal answers every terminal request with EIO, so isatty() alone misses it.
bool Delivered(int fd, ssize_t count, uint32_t& read) {
  read = static_cast<uint32_t>(count);
  if (count == 0 && (isatty(fd) != 0 || errno == EIO)) return Fail(kErrorGenFailure);
  return true;
}

bool ReadBlocking(int fd, void* buffer, uint32_t count, uint32_t& read) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer, count);
    if (got >= 0) return Delivered(fd, got, read);
    if (errno != EINTR) return FailWithErrno();
  }
}

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

enum class Wait { kReady, kTimedOut, kFailed };

// Readiness includes a hang-up or an error: the next read or write reports those.
Wait WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int result = poll(&entry, 1, RemainingMs(deadline));
    if (result > 0) return Wait::kReady;
    if (result == 0) return Wait::kTimedOut;
    if (errno != EINTR) {
      FailWithErrno();
      return Wait::kFailed;
    }
  }
}

// The time-outs of a serial port: whatever is buffered at once, else the first byte to arrive.
bool ReadWithin(int fd, void* buffer, uint32_t count, int timeoutMs, uint32_t& read) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const ssize_t got = ::read(fd, buffer, count);
    if (got >= 0) return Delivered(fd, got, read);
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return FailWithErrno();
    switch (WaitFor(fd, POLLIN, deadline)) {
      case Wait::kTimedOut:
        SetLastError(kErrorTimeout);  // a success with no bytes, as ReadFile's
        return true;
      case Wait::kFailed: return false;
      case Wait::kReady: break;
    }
  }
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// '?' stands for one character, and a UTF-8 character may take several bytes.
size_t CharacterLength(std::string_view text, size_t at) {
  size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - at;
}

bool IsFolderEntry(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode);
}

}  // namespace

CFile::~CFile() { Close(); }

CFile::CFile(CFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)),
      m_timeoutMs(std::exchange(other.m_timeoutMs, -1)) {}

CFile& CFile::operator=(CFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = std::exchange(other.m_handle, -1);
    m_timeoutMs = std::exchange(other.m_timeoutMs, -1);
  }
  return *this;
}

CFile CFile::Open(const std::string& name, OpenMode mode) {
  CFile file;
  const int flags = OpenFlags(mode);
  if (flags < 0) {
    Fail(kErrorInvalidParameter);
    return file;
  }
  const std::string path = Posix::DevicePath(name);
  int fd = -1;
  do {
    fd = Posix::AboveStandardStreams(::open(path.c_str(), flags | O_CLOEXEC, kNewFileMode));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    FailWithErrno();
    return file;
  }
  file.m_handle = fd;
  if (FinishOpening(fd, mode)) {
    SetLastError(kErrorSuccess);
  } else {
    file.Close();
  }
  return file;
}

bool CFile::IsOpen() const { return m_handle >= 0; }

void CFile::Close() {
  if (m_handle >= 0) ::close(static_cast<int>(m_handle));
  m_handle = -1;
  m_timeoutMs = -1;
}

bool CFile::Read(void* buffer, uint32_t count, uint32_t& read) {
  read = 0;
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  if (count == 0) return true;
  const int fd = static_cast<int>(m_handle);
  return m_timeoutMs < 0 ? ReadBlocking(fd, buffer, count, read)
                         : ReadWithin(fd, buffer, count, m_timeoutMs, read);
}

bool CFile::Write(const void* buffer, uint32_t count, uint32_t& written) {
  written = 0;
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  const int fd = static_cast<int>(m_handle);
  const auto* bytes = static_cast<const char*>(buffer);
  const bool timed = m_timeoutMs >= 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timed ? m_timeoutMs : 0);
  while (written < count) {
    const ssize_t put = ::write(fd, bytes + written, count - written);
    if (put > 0) {
      written += static_cast<uint32_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno == EAGAIN && timed) {
      const Wait wait = WaitFor(fd, POLLOUT, deadline);
      if (wait == Wait::kFailed) return false;
      if (wait == Wait::kTimedOut) {
        SetLastError(kErrorTimeout);  // a success with fewer bytes, as WriteFile's
        return true;
      }
      continue;
    }
    return put < 0 ? FailWithErrno() : Fail(kErrorGenFailure);
  }
  return true;
}

bool CFile::SeekToEnd() {
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  return lseek(static_cast<int>(m_handle), 0, SEEK_END) >= 0 || FailWithErrno();
}

bool CFile::Size(uint64_t& size) {
  size = 0;
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  struct stat info {};
  if (fstat(static_cast<int>(m_handle), &info) != 0) return FailWithErrno();
  size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool DeleteFile(const std::string& name) { return unlink(name.c_str()) == 0 || FailWithErrno(); }

bool FileExists(const std::string& name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0 || FailWithErrno();
}

bool IsDirectory(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) != 0) return FailWithErrno();
  return S_ISDIR(info.st_mode);
}

std::vector<std::string> ListFiles(const std::string& pattern) {
  std::vector<std::string> names;
  const size_t cut = pattern.find_last_of("/\\");
  std::string folder = cut == std::string::npos ? "./" : pattern.substr(0, cut + 1);
  std::replace(folder.begin(), folder.end(), '\\', '/');
  const std::string_view namePattern =
      std::string_view(pattern).substr(cut == std::string::npos ? 0 : cut + 1);
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
  if (!listing) {
    Fail(errno == ENOENT ? kErrorPathNotFound : Posix::WindowsErrorFromErrno(errno));
    return names;
  }
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (MatchesFileName(namePattern, name, CharacterLength) && !IsFolderEntry(folder + name))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end(), FileNameOrder);
  SetLastError(names.empty() ? kErrorFileNotFound : kErrorSuccess);
  return names;
}

namespace Posix {

int AboveStandardStreams(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (moved < 0) return fd;
  ::close(fd);
  return moved;
}

std::string DevicePath(const std::string& name) {
  const std::string_view digits = std::string_view(name).substr(std::min<size_t>(3, name.size()));
  if (name.size() < 4 || !SameLetters(std::string_view(name).substr(0, 3), "com") ||
      digits.front() == '0') {
    return name;
  }
  uint32_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return name;
  const std::string variable = "ZANTEL_COM" + std::to_string(number);
  if (const char* mapped = std::getenv(variable.c_str()); mapped != nullptr && *mapped != '\0') {
    return mapped;
  }
  return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace Posix
}  // namespace Platform
