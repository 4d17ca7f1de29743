#pragma once
// <windows.h> as this backend includes it: without the min/max macros, and without the alias
// macros that would rename the backend's own functions behind its back (DeleteFile is
// DeleteFileA, and the Windows 3.x names AnsiUpper or OemToAnsi are CharUpperA, OemToCharA).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef AnsiUpper
#undef AnsiLower
#undef AnsiToOem
#undef OemToAnsi
