#include "platform/module.h"

#include <dlfcn.h>

namespace Platform {

// Everything resolved at once, as LoadLibrary does, and nothing shared with later modules.
CModule::CModule(const std::string& path) : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (m_handle != nullptr) return;
  const char* reason = dlerror();
  m_loadError = reason != nullptr ? reason : "cannot load " + path;
}

CModule::~CModule() {
  if (m_handle != nullptr) dlclose(m_handle);
}

CModule::Function CModule::Find(const char* name) const {
  if (m_handle == nullptr) return nullptr;
  return reinterpret_cast<Function>(dlsym(m_handle, name));
}

}  // namespace Platform
