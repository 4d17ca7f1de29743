#include "platform/file.h"
#include "platform/file_name_match.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/error.h"
#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

constexpr intptr_t kClosed = -1;  // INVALID_HANDLE_VALUE

struct OpenRequest {
  DWORD access;
  DWORD sharing;
  DWORD disposition;
};

// Appending asks for FILE_APPEND_DATA alone, so that every write lands at the end even when
// someone else wrote in between.
bool RequestFor(OpenMode mode, OpenRequest& request) {
  switch (mode) {
    case OpenMode::ExistingReadWrite:
      request = {GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING};
      return true;
    case OpenMode::ExistingRead:
      request = {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING};
      return true;
    case OpenMode::AppendAlways:
      request = {FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS};
      return true;
    case OpenMode::CreateNew: request = {GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW}; return true;
    case OpenMode::CreateAlways:
      request = {GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS};
      return true;
  }
  return false;
}

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool Fail(uint32_t code) {
  SetLastError(code);
  return false;
}

// One character: two bytes when the first leads a double-byte character of the ANSI page.
size_t CharacterLength(std::string_view text, size_t at) {
  return IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

class CFindHandle {
 public:
  CFindHandle(const std::string& pattern, WIN32_FIND_DATAA& found)
      : m_handle(FindFirstFileA(pattern.c_str(), &found)) {}
  ~CFindHandle() {
    if (IsOpen()) FindClose(m_handle);
  }
  CFindHandle(const CFindHandle&) = delete;
  CFindHandle& operator=(const CFindHandle&) = delete;
  bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAA& found) { return FindNextFileA(m_handle, &found) != FALSE; }

 private:
  HANDLE m_handle;
};

}  // namespace

CFile::~CFile() { Close(); }

CFile::CFile(CFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kClosed)),
      m_timeoutMs(std::exchange(other.m_timeoutMs, -1)) {}

CFile& CFile::operator=(CFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = std::exchange(other.m_handle, kClosed);
    m_timeoutMs = std::exchange(other.m_timeoutMs, -1);
  }
  return *this;
}

CFile CFile::Open(const std::string& name, OpenMode mode) {
  CFile file;
  OpenRequest request{};
  if (!RequestFor(mode, request)) {
    Fail(kErrorInvalidParameter);
    return file;
  }
  const HANDLE handle = CreateFileA(name.c_str(), request.access, request.sharing, nullptr,
                                    request.disposition, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) file.m_handle = reinterpret_cast<intptr_t>(handle);
  return file;
}

bool CFile::IsOpen() const { return m_handle != kClosed; }

void CFile::Close() {
  if (IsOpen()) CloseHandle(AsHandle(m_handle));
  m_handle = kClosed;
  m_timeoutMs = -1;
}

bool CFile::Read(void* buffer, uint32_t count, uint32_t& read) {
  read = 0;
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  DWORD got = 0;
  const bool done = ReadFile(AsHandle(m_handle), buffer, count, &got, nullptr) != FALSE;
  read = got;
  return done;
}

bool CFile::Write(const void* buffer, uint32_t count, uint32_t& written) {
  written = 0;
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  DWORD put = 0;
  const bool done = WriteFile(AsHandle(m_handle), buffer, count, &put, nullptr) != FALSE;
  written = put;
  return done;
}

bool CFile::SeekToEnd() {
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  // A position past 4 GiB reads as INVALID_SET_FILE_POINTER too; only the error code tells.
  ::SetLastError(ERROR_SUCCESS);
  return SetFilePointer(AsHandle(m_handle), 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER ||
         ::GetLastError() == ERROR_SUCCESS;
}

bool CFile::Size(uint64_t& size) {
  size = 0;
  if (!IsOpen()) return Fail(kErrorInvalidHandle);
  DWORD high = 0;
  ::SetLastError(ERROR_SUCCESS);
  const DWORD low = GetFileSize(AsHandle(m_handle), &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != ERROR_SUCCESS) return false;
  size = (static_cast<uint64_t>(high) << 32) | low;
  return true;
}

bool DeleteFile(const std::string& name) { return DeleteFileA(name.c_str()) != FALSE; }

bool FileExists(const std::string& name) {
  return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> ListFiles(const std::string& pattern) {
  std::vector<std::string> names;
  const size_t cut = pattern.find_last_of("\\/:");
  const std::string_view namePattern =
      std::string_view(pattern).substr(cut == std::string::npos ? 0 : cut + 1);
  WIN32_FIND_DATAA found{};
  CFindHandle search(pattern, found);
  if (!search.IsOpen()) return names;
  // The search also matches the made-up 8.3 short names ("*.ln?" finds "Zantel.lngx" through
  // ZANTEL~1.LNG, and only on volumes that keep them): only the real name counts, as on POSIX.
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        MatchesFileName(namePattern, found.cFileName, CharacterLength)) {
      names.emplace_back(found.cFileName);
    }
  } while (search.Next(found));
  std::sort(names.begin(), names.end(), FileNameOrder);
  SetLastError(names.empty() ? kErrorFileNotFound : kErrorSuccess);
  return names;
}

}  // namespace Platform
