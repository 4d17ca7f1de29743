#pragma once
#include <cstddef>

// The most memory this process has held resident since it started, in bytes: what a benchmark
// prints beside a parse that must stay bounded.
size_t PeakResidentBytes();
