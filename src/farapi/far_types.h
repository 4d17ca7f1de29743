#pragma once
// The host's scalar types under our own names, so that these headers can meet <windows.h>
// in one translation unit without redefining DWORD, LONG or HANDLE. Widths are fixed:
// DWORD and LONG stay 32-bit on LP64 Linux, where `long` would be 8 bytes.
#include <cstdint>

using FarDword = std::uint32_t;
using FarLong = std::int32_t;
using FarHandle = void*;
