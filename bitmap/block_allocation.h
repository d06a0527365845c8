#pragma once
// Where a bitmap's block comes from: zeroed memory of the C allocator, never operator new. A
// program's out-of-memory handler (std::set_new_handler; Cubestitch's ends the process) is
// therefore not called for it: a picture too large for the memory left is a failed operation
// that its caller reports, while every other allocation of the program keeps the handler.
// Any thread.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct BitmapBlockFree {
    void operator()(std::uint8_t* block) const noexcept;
};
using BitmapBlock = std::unique_ptr<std::uint8_t[], BitmapBlockFree>;

// `bytes` zeroed bytes (at least one); null when they cannot be had.
BitmapBlock AllocateBitmapBlock(std::size_t bytes);

// Gives `block` a size of `bytes` (at least one), keeping its first bytes up to the smaller of
// the two sizes; bytes beyond the old size are not cleared. A large block (tens of megabytes and
// more) is a mapping of its own, which the C allocator grows or shrinks by remapping its pages,
// never by holding a copy beside it. False, with `block` as it was, when the memory cannot be
// had.
bool ResizeBitmapBlock(BitmapBlock& block, std::size_t bytes);

// Takes the blocks from `allocate` (calloc's contract) and resizes them with `resize`
// (realloc's) instead of the C allocator's until destroyed, then restores the ones before:
// tests make a block fail without exhausting the machine. Not to be nested across threads.
class ScopedBitmapBlockAllocator {
  public:
    using Calloc = void* (*)(std::size_t count, std::size_t size);
    using Realloc = void* (*)(void* block, std::size_t size);
    explicit ScopedBitmapBlockAllocator(Calloc allocate, Realloc resize = &std::realloc);
    ~ScopedBitmapBlockAllocator();
    ScopedBitmapBlockAllocator(const ScopedBitmapBlockAllocator&) = delete;
    ScopedBitmapBlockAllocator& operator=(const ScopedBitmapBlockAllocator&) = delete;

  private:
    Calloc previousAllocate_;
    Realloc previousResize_;
};
