#include "farlib/host.h"

#include <cstdarg>
#include <cstdio>

namespace FarLib {
namespace {

PluginStartupInfo& Info() {
  static PluginStartupInfo info{};
  return info;
}

}  // namespace

void SetStartupInfo(const PluginStartupInfo& info) { Info() = info; }

const PluginStartupInfo& StartupInfo() { return Info(); }

const char* GetMsg(int number) {
  const PluginStartupInfo& info = Info();
  const char* text = info.GetMsg ? info.GetMsg(info.ModuleNumber, number) : nullptr;
  return text ? text : "";
}

std::string FormatMsg(int number, ...) {
  const char* format = GetMsg(number);
  va_list args;
  va_start(args, number);
  va_list sizing;
  va_copy(sizing, args);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int length = std::vsnprintf(nullptr, 0, format, sizing);
  va_end(sizing);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
#pragma GCC diagnostic pop
  va_end(args);
  return text;
}

}  // namespace FarLib
