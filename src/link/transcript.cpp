#include "link/transcript.h"

#include "platform/file.h"
#include "settings/settings.h"

void LogTraffic(const void* bytes, size_t count) {
  const PluginSettings& settings = Settings();
  if (!settings.WriteLogFile || count == 0) return;
  Platform::CFile log = Platform::CFile::Open(settings.LogFile, Platform::OpenMode::AppendAlways);
  uint32_t written = 0;
  if (log.IsOpen()) log.Write(bytes, static_cast<uint32_t>(count), written);
}
