#include "platform/module.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

// LoadLibraryA wants backslashes between the folders of a path.
std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace

CModule::CModule(const std::string& path) : m_handle(LoadLibraryA(WindowsPath(path).c_str())) {
  if (m_handle == nullptr) m_loadError = ErrorText(LastError());
}

CModule::~CModule() {
  if (m_handle != nullptr) FreeLibrary(static_cast<HMODULE>(m_handle));
}

CModule::Function CModule::Find(const char* name) const {
  if (m_handle == nullptr) return nullptr;
  return reinterpret_cast<Function>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

}  // namespace Platform
