#pragma once
#include <cstddef>

// Appends raw traffic to the transcript file while the WriteLogFile setting is on. The file is
// opened and closed on every call so that it can be read while a session runs; failures to
// write it are ignored.
void LogTraffic(const void* bytes, size_t count);
