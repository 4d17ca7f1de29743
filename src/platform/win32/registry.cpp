#include "platform/registry.h"

// windows_api.h first: it settles the macros that <shlwapi.h> would otherwise see unset.
#include "platform/win32/windows_api.h"

#include <shlwapi.h>

#include <utility>

namespace Platform {

struct CRegKey::Impl {
  explicit Impl(HKEY key) : Key(key) {}
  ~Impl() { RegCloseKey(Key); }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  HKEY Key;
};

// The registry commits every change at once; there is nothing to group.
struct CRegTransaction::Impl {};

namespace {

using QueryValueW = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using SetValueW = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);

// Windows 95, 98 and Me lack the wide functions, so they are looked up at run time (once; the
// library stays loaded for the life of the process) instead of being imported.
struct WideFunctions {
  QueryValueW Query = nullptr;
  SetValueW Set = nullptr;
};

template <class Function>
Function Lookup(HMODULE library, const char* name) {
  // Through the generic function type, which converts to any other without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

const WideFunctions& Wide() {
  static const WideFunctions functions = [] {
    WideFunctions found;
    if (HMODULE advapi = LoadLibraryA("advapi32.dll")) {
      found.Query = Lookup<QueryValueW>(advapi, "RegQueryValueExW");
      found.Set = Lookup<SetValueW>(advapi, "RegSetValueExW");
    }
    return found;
  }();
  return functions;
}

// The sign bit of the version is set on Windows 95, 98 and Me.
bool IsWindowsNt() { return (GetVersion() & 0x80000000u) == 0; }

// Value names are ANSI text; the wide functions take them converted with the ANSI page.
std::wstring WideName(const std::string& name) {
  const int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

// Asks once for the type and size, then for the bytes.
template <class Query>
uint32_t QueryInTwoSteps(Query query, RegValue& value) {
  DWORD type = 0;
  DWORD size = 0;
  LONG status = query(&type, nullptr, &size);
  if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
  std::vector<uint8_t> data(size);
  status = query(&type, data.data(), &size);
  if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
  data.resize(size);
  value.Type = type;
  value.Data = std::move(data);
  return kErrorSuccess;
}

}  // namespace

CRegKey::CRegKey() = default;
CRegKey::CRegKey(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
CRegKey::~CRegKey() = default;
CRegKey::CRegKey(CRegKey&& other) noexcept = default;
CRegKey& CRegKey::operator=(CRegKey&& other) noexcept = default;

CRegKey CRegKey::Create(const std::string& path) {
  HKEY key = nullptr;
  const LONG status =
      RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    ::SetLastError(static_cast<DWORD>(status));  // the registry returns its error instead
    return CRegKey();
  }
  return CRegKey(std::make_unique<Impl>(key));
}

CRegKey CRegKey::Open(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return CRegKey();
  }
  return CRegKey(std::make_unique<Impl>(key));
}

bool CRegKey::IsOpen() const { return m_impl != nullptr; }

void CRegKey::Close() { m_impl.reset(); }

uint32_t CRegKey::QueryValue(const std::string& name, RegValue& value) const {
  if (!m_impl) return kErrorInvalidHandle;
  return QueryInTwoSteps(
      [&](DWORD* type, BYTE* data, DWORD* size) {
        return RegQueryValueExA(m_impl->Key, name.c_str(), nullptr, type, data, size);
      },
      value);
}

uint32_t CRegKey::SetValue(const std::string& name, uint32_t type, std::span<const uint8_t> data) {
  if (!m_impl) return kErrorInvalidHandle;
  return static_cast<uint32_t>(RegSetValueExA(m_impl->Key, name.c_str(), 0, type, data.data(),
                                              static_cast<DWORD>(data.size())));
}

uint32_t CRegKey::WideTextType() { return IsWindowsNt() ? kRegSz : kRegBinary; }

uint32_t CRegKey::QueryWideValue(const std::string& name, RegValue& value) const {
  if (!IsWindowsNt()) return QueryValue(name, value);
  if (!m_impl) return kErrorInvalidHandle;
  if (!Wide().Query) return ERROR_PROC_NOT_FOUND;
  const std::wstring wideName = WideName(name);
  return QueryInTwoSteps(
      [&](DWORD* type, BYTE* data, DWORD* size) {
        return Wide().Query(m_impl->Key, wideName.c_str(), nullptr, type, data, size);
      },
      value);
}

uint32_t CRegKey::SetWideValue(const std::string& name, std::span<const uint8_t> bytes) {
  if (!IsWindowsNt()) return SetValue(name, kRegBinary, bytes);
  if (!m_impl) return kErrorInvalidHandle;
  if (!Wide().Set) return ERROR_PROC_NOT_FOUND;
  return static_cast<uint32_t>(Wide().Set(m_impl->Key, WideName(name).c_str(), 0, REG_SZ,
                                          bytes.data(), static_cast<DWORD>(bytes.size())));
}

std::vector<std::string> CRegKey::SubKeyNames() const {
  std::vector<std::string> names;
  if (!m_impl) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(m_impl->Key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return names;
    }
    names.emplace_back(name, length);
  }
}

uint32_t CRegKey::DeleteSubtree(const std::string& path) {
  if (!m_impl) return kErrorInvalidHandle;
  return static_cast<uint32_t>(SHDeleteKeyA(m_impl->Key, path.c_str()));
}

CRegTransaction::CRegTransaction() = default;
CRegTransaction::~CRegTransaction() = default;
bool CRegTransaction::Commit() { return true; }

}  // namespace Platform
