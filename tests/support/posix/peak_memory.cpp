#include "peak_memory.h"

#include <sys/resource.h>

size_t PeakResidentBytes() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  // Linux counts in kibibytes.
  return static_cast<size_t>(usage.ru_maxrss) * 1024;
}
