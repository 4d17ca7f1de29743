#pragma once
// What the host's binary interface looks like on the target being built.
// The one place outside the OS backends that knows which OS it is compiled for.

#if defined(_WIN32)
#define ZANTEL_STDCALL __stdcall
#else
#define ZANTEL_STDCALL
#endif

// Far's records are 2-byte packed on 32-bit Windows; everywhere else they keep natural alignment.
#if defined(_WIN32) && !defined(_WIN64)
#define ZANTEL_FAR_PACK2 1
#else
#define ZANTEL_FAR_PACK2 0
#endif
