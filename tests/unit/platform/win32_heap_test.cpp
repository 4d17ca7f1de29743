#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/process_heap.h"

namespace Platform::Win32 {
namespace {

TEST(ProcessHeap, NewTakesItsBlocksThere) {
  const auto single = std::make_unique<int>(1);
  const auto array = std::make_unique<char[]>(100);
  const std::unique_ptr<int> nothrow(new (std::nothrow) int(2));
  const std::string text(1000, 'x');
  const std::vector<int> numbers(1000);
  const void* blocks[] = {single.get(), array.get(), nothrow.get(), text.data(), numbers.data()};
  for (size_t i = 0; i < std::size(blocks); ++i) EXPECT_TRUE(IsProcessHeapBlock(blocks[i])) << i;
}

TEST(ProcessHeap, OtherMemoryIsNotTakenForABlock) {
  int onTheStack = 0;
  EXPECT_FALSE(IsProcessHeapBlock(&onTheStack));
}

template <size_t kAlignment>
struct alignas(kAlignment) Aligned {
  unsigned char bytes[kAlignment * 3];
};

template <size_t kAlignment>
void ExpectAligned() {
  auto single = std::make_unique<Aligned<kAlignment>>();
  auto array = std::make_unique<Aligned<kAlignment>[]>(5);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(single.get()) % kAlignment, 0u) << kAlignment;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(array.get()) % kAlignment, 0u) << kAlignment;
  // The whole block is usable: a block cut too short would damage the heap's bookkeeping.
  single->bytes[sizeof single->bytes - 1] = 1;
  array[4].bytes[sizeof array[4].bytes - 1] = 1;
}

TEST(ProcessHeap, OverAlignedNewHonoursTheAlignment) {
  ExpectAligned<16>();
  ExpectAligned<64>();
  ExpectAligned<4096>();
}

// Near the top of the address space, so that the aligned forms' extra room overflows the
// size; read at run time, so that the compiler does not refuse the call outright.
size_t Impossible() {
  volatile size_t size = std::numeric_limits<size_t>::max() - 16;
  return size;
}

TEST(ProcessHeap, ImpossibleRequestsFailAsTheStandardSays) {
  EXPECT_THROW(static_cast<void>(::operator new(Impossible())), std::bad_alloc);
  EXPECT_THROW(static_cast<void>(::operator new[](Impossible())), std::bad_alloc);
  EXPECT_THROW(static_cast<void>(::operator new (Impossible(), std::align_val_t{64})),
               std::bad_alloc);
  EXPECT_EQ(::operator new(Impossible(), std::nothrow), nullptr);
  EXPECT_EQ(::operator new[](Impossible(), std::align_val_t{64}, std::nothrow), nullptr);
}

int g_handlerCalls = 0;

void GiveUpOnSecondCall() {
  if (++g_handlerCalls == 2) std::set_new_handler(nullptr);
}

TEST(ProcessHeap, NewHandlerIsAskedUntilItGivesUp) {
  g_handlerCalls = 0;
  const std::new_handler previous = std::set_new_handler(GiveUpOnSecondCall);
  EXPECT_THROW(static_cast<void>(::operator new(Impossible())), std::bad_alloc);
  std::set_new_handler(previous);
  EXPECT_EQ(g_handlerCalls, 2);
}

}  // namespace
}  // namespace Platform::Win32
