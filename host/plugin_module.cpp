#include "host/plugin_module.h"

#include <algorithm>

namespace Host {
namespace {

template <typename TFunction>
void Bind(const Platform::CModule& module, const std::string& name, TFunction& function,
          std::vector<std::string>& missing) {
  // The untyped pointer is cast back to the export's real signature, as GetProcAddress's is.
  function = reinterpret_cast<TFunction>(module.Find(name.c_str()));
  if (function == nullptr) missing.push_back(name);
}

}  // namespace

const std::vector<std::string>& CPluginModule::ExportNames() {
  static const std::vector<std::string> names = {
      "SetStartupInfo", "GetPluginInfo", "OpenPlugin", "GetOpenPluginInfo", "GetFindData",
      "FreeFindData",   "SetDirectory",  "GetFiles",   "PutFiles",          "ProcessKey",
      "ClosePlugin",    "Configure",     "ExitFAR"};
  return names;
}

CPluginModule::CPluginModule(const std::string& path) : m_path(path), m_module(path) {
  const std::vector<std::string>& names = ExportNames();
  Bind(m_module, names[0], m_exports.SetStartupInfo, m_missing);
  Bind(m_module, names[1], m_exports.GetPluginInfo, m_missing);
  Bind(m_module, names[2], m_exports.OpenPlugin, m_missing);
  Bind(m_module, names[3], m_exports.GetOpenPluginInfo, m_missing);
  Bind(m_module, names[4], m_exports.GetFindData, m_missing);
  Bind(m_module, names[5], m_exports.FreeFindData, m_missing);
  Bind(m_module, names[6], m_exports.SetDirectory, m_missing);
  Bind(m_module, names[7], m_exports.GetFiles, m_missing);
  Bind(m_module, names[8], m_exports.PutFiles, m_missing);
  Bind(m_module, names[9], m_exports.ProcessKey, m_missing);
  Bind(m_module, names[10], m_exports.ClosePlugin, m_missing);
  Bind(m_module, names[11], m_exports.Configure, m_missing);
  Bind(m_module, names[12], m_exports.ExitFAR, m_missing);
}

bool CPluginModule::Exports(const std::string& name) const {
  return IsLoaded() && std::find(m_missing.begin(), m_missing.end(), name) == m_missing.end() &&
         std::find(ExportNames().begin(), ExportNames().end(), name) != ExportNames().end();
}

}  // namespace Host
