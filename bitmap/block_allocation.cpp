#include "bitmap/block_allocation.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {

std::atomic<ScopedBitmapBlockAllocator::Calloc> g_allocate{&std::calloc};
std::atomic<ScopedBitmapBlockAllocator::Realloc> g_resize{&std::realloc};

}  // namespace

void BitmapBlockFree::operator()(std::uint8_t* block) const noexcept {
    std::free(block);
}

BitmapBlock AllocateBitmapBlock(std::size_t bytes) {
    return BitmapBlock(
        static_cast<std::uint8_t*>(g_allocate.load()(std::max<std::size_t>(bytes, 1), 1)));
}

bool ResizeBitmapBlock(BitmapBlock& block, std::size_t bytes) {
    void* resized = g_resize.load()(block.get(), std::max<std::size_t>(bytes, 1));
    if (resized == nullptr)
        return false;
    static_cast<void>(block.release());
    block.reset(static_cast<std::uint8_t*>(resized));
    return true;
}

ScopedBitmapBlockAllocator::ScopedBitmapBlockAllocator(Calloc allocate, Realloc resize)
    : previousAllocate_(g_allocate.exchange(allocate)),
      previousResize_(g_resize.exchange(resize)) {}

ScopedBitmapBlockAllocator::~ScopedBitmapBlockAllocator() {
    g_allocate.store(previousAllocate_);
    g_resize.store(previousResize_);
}
