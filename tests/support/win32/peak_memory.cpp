#include "peak_memory.h"

// Version 2 binds GetProcessMemoryInfo to kernel32, so nothing more is linked.
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>

size_t PeakResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return counters.PeakWorkingSetSize;
}
