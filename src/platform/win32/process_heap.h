#pragma once
// operator new and operator delete take their memory from the process heap (Windows only).

namespace Platform::Win32 {

// Whether a block came from the process heap: how the backend's tests see where new allocates.
bool IsProcessHeapBlock(const void* block);

}  // namespace Platform::Win32
