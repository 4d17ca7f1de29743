// The replaceable allocation functions, all in this one file: the linker takes them together
// or not at all, so no block can be allocated by one heap and freed by another. The plug-in
// DLL carries its own copy; the host's allocator is never involved.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

#include "platform/win32/process_heap.h"
#include "platform/win32/windows_api.h"

namespace {

// What HeapAlloc guarantees. Stronger alignments are carved out of a larger block whose own
// address is kept just below the aligned one.
constexpr size_t kHeapAlignment = MEMORY_ALLOCATION_ALIGNMENT;

void* Allocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void Free(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

void* AllocateAligned(size_t size, std::align_val_t alignment) {
  const auto align = static_cast<size_t>(alignment);
  if (align <= kHeapAlignment) return Allocate(size);
  const size_t extra = align + sizeof(void*);
  if (size > std::numeric_limits<size_t>::max() - extra) return nullptr;
  void* whole = Allocate(size + extra);
  if (whole == nullptr) return nullptr;
  const uintptr_t first = reinterpret_cast<uintptr_t>(whole) + sizeof(void*);
  const uintptr_t aligned = (first + align - 1) & ~(align - 1);
  reinterpret_cast<void**>(aligned)[-1] = whole;
  return reinterpret_cast<void*>(aligned);
}

void FreeAligned(void* block, std::align_val_t alignment) {
  if (block == nullptr) return;
  Free(static_cast<size_t>(alignment) <= kHeapAlignment ? block : static_cast<void**>(block)[-1]);
}

// What the standard asks of a failing allocation: the new-handler may free memory and have
// another try, or give up by throwing; without one the failure is std::bad_alloc.
template <typename Allocator>
void* AllocateOrThrow(Allocator allocate) {
  for (;;) {
    if (void* block = allocate()) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

template <typename Allocator>
void* AllocateOrNull(Allocator allocate) noexcept {
  try {
    return AllocateOrThrow(allocate);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

namespace Platform::Win32 {

bool IsProcessHeapBlock(const void* block) {
  return HeapValidate(GetProcessHeap(), 0, block) != FALSE;
}

}  // namespace Platform::Win32

void* operator new(size_t size) {
  return AllocateOrThrow([size] { return Allocate(size); });
}
void* operator new[](size_t size) {
  return AllocateOrThrow([size] { return Allocate(size); });
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull([size] { return Allocate(size); });
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull([size] { return Allocate(size); });
}
void* operator new(size_t size, std::align_val_t alignment) {
  return AllocateOrThrow([=] { return AllocateAligned(size, alignment); });
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return AllocateOrThrow([=] { return AllocateAligned(size, alignment); });
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateOrNull([=] { return AllocateAligned(size, alignment); });
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateOrNull([=] { return AllocateAligned(size, alignment); });
}

void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, size_t) noexcept { Free(block); }
void operator delete[](void* block, size_t) noexcept { Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Free(block); }
void operator delete(void* block, std::align_val_t alignment) noexcept {
  FreeAligned(block, alignment);
}
void operator delete[](void* block, std::align_val_t alignment) noexcept {
  FreeAligned(block, alignment);
}
void operator delete(void* block, size_t, std::align_val_t alignment) noexcept {
  FreeAligned(block, alignment);
}
void operator delete[](void* block, size_t, std::align_val_t alignment) noexcept {
  FreeAligned(block, alignment);
}
void operator delete(void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  FreeAligned(block, alignment);
}
void operator delete[](void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  FreeAligned(block, alignment);
}
