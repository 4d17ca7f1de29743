#pragma once
#include <string>

namespace Platform {

// A loaded executable module (a DLL on Windows, a shared object on POSIX), unloaded when the
// object goes. Used to load the plug-in the way its host does.
class CModule {
 public:
  using Function = void (*)();

  explicit CModule(const std::string& path);
  ~CModule();
  CModule(const CModule&) = delete;
  CModule& operator=(const CModule&) = delete;

  bool IsLoaded() const { return m_handle != nullptr; }
  // Why loading failed, in the system's words (empty once loaded).
  const std::string& LoadError() const { return m_loadError; }

  // The exported function of that exact name, or null. The caller casts it to its real type.
  Function Find(const char* name) const;

 private:
  void* m_handle = nullptr;
  std::string m_loadError;
};

}  // namespace Platform
