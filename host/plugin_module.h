#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "farapi/far_api.h"
#include "platform/module.h"

// A Far 1.70 plug-in module loaded the way Far loads one: by path, its exports found under their
// plain names. An export the module lacks stays null and is named in MissingExports(); callers
// check before calling, so nothing absent is ever called.
namespace Host {

struct CPluginExports {
  using SetStartupInfoFn = void(ZANTEL_STDCALL*)(const PluginStartupInfo* info);
  using GetPluginInfoFn = void(ZANTEL_STDCALL*)(PluginInfo* info);
  using OpenPluginFn = FarHandle(ZANTEL_STDCALL*)(int openFrom, intptr_t item);
  using GetOpenPluginInfoFn = void(ZANTEL_STDCALL*)(FarHandle plugin, OpenPluginInfo* info);
  using GetFindDataFn = int(ZANTEL_STDCALL*)(FarHandle plugin, PluginPanelItem** items, int* count,
                                             int opMode);
  using FreeFindDataFn = void(ZANTEL_STDCALL*)(FarHandle plugin, PluginPanelItem* items, int count);
  using SetDirectoryFn = int(ZANTEL_STDCALL*)(FarHandle plugin, const char* dir, int opMode);
  using GetFilesFn = int(ZANTEL_STDCALL*)(FarHandle plugin, PluginPanelItem* items, int count,
                                          int move, char* destPath, int opMode);
  using PutFilesFn = int(ZANTEL_STDCALL*)(FarHandle plugin, PluginPanelItem* items, int count,
                                          int move, int opMode);
  using ProcessKeyFn = int(ZANTEL_STDCALL*)(FarHandle plugin, int key, unsigned int controlState);
  using ClosePluginFn = void(ZANTEL_STDCALL*)(FarHandle plugin);
  using ConfigureFn = int(ZANTEL_STDCALL*)(int item);
  using ExitFarFn = void(ZANTEL_STDCALL*)();

  SetStartupInfoFn SetStartupInfo = nullptr;
  GetPluginInfoFn GetPluginInfo = nullptr;
  OpenPluginFn OpenPlugin = nullptr;
  GetOpenPluginInfoFn GetOpenPluginInfo = nullptr;
  GetFindDataFn GetFindData = nullptr;
  FreeFindDataFn FreeFindData = nullptr;
  SetDirectoryFn SetDirectory = nullptr;
  GetFilesFn GetFiles = nullptr;
  PutFilesFn PutFiles = nullptr;
  ProcessKeyFn ProcessKey = nullptr;
  ClosePluginFn ClosePlugin = nullptr;
  ConfigureFn Configure = nullptr;
  ExitFarFn ExitFAR = nullptr;
};

class CPluginModule {
 public:
  // The names Far 1.70 looks the exports up by, in the order it calls them.
  static const std::vector<std::string>& ExportNames();

  explicit CPluginModule(const std::string& path);
  CPluginModule(const CPluginModule&) = delete;
  CPluginModule& operator=(const CPluginModule&) = delete;

  bool IsLoaded() const { return m_module.IsLoaded(); }
  const std::string& LoadError() const { return m_module.LoadError(); }
  const std::string& Path() const { return m_path; }
  const CPluginExports& Exports() const { return m_exports; }
  // Empty when all thirteen are there; every name when the module did not load.
  const std::vector<std::string>& MissingExports() const { return m_missing; }
  bool Exports(const std::string& name) const;

 private:
  std::string m_path;
  Platform::CModule m_module;
  CPluginExports m_exports;
  std::vector<std::string> m_missing;
};

}  // namespace Host
