#pragma once
// Where a bitmap's block comes from: zeroed memory of the C allocator, never operator new. A
// program's out-of-memory handler (std::set_new_handler; Cubestitch's ends the process) is
// therefore not called for it: a picture too large for the memory left is a failed operation
// that its caller reports, while every other allocation of the program keeps the handler.
// Any thread.

#include <cstddef>
#include <cstdint>
#include <memory>

struct BitmapBlockFree {
    void operator()(std::uint8_t* block) const noexcept;
};
using BitmapBlock = std::unique_ptr<std::uint8_t[], BitmapBlockFree>;

// `bytes` zeroed bytes (at least one); null when they cannot be had.
BitmapBlock AllocateBitmapBlock(std::size_t bytes);

// Takes the blocks from `allocate` (calloc's contract) instead of calloc until destroyed, then
// restores the one before: tests make a block fail without exhausting the machine. Not to be
// nested across threads.
class ScopedBitmapBlockAllocator {
  public:
    using Calloc = void* (*)(std::size_t count, std::size_t size);
    explicit ScopedBitmapBlockAllocator(Calloc allocate);
    ~ScopedBitmapBlockAllocator();
    ScopedBitmapBlockAllocator(const ScopedBitmapBlockAllocator&) = delete;
    ScopedBitmapBlockAllocator& operator=(const ScopedBitmapBlockAllocator&) = delete;

  private:
    Calloc previous_;
};
