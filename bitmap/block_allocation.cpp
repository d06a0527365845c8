#include "bitmap/block_allocation.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {

std::atomic<ScopedBitmapBlockAllocator::Calloc> g_allocate{&std::calloc};

}  // namespace

void BitmapBlockFree::operator()(std::uint8_t* block) const noexcept {
    std::free(block);
}

BitmapBlock AllocateBitmapBlock(std::size_t bytes) {
    return BitmapBlock(
        static_cast<std::uint8_t*>(g_allocate.load()(std::max<std::size_t>(bytes, 1), 1)));
}

ScopedBitmapBlockAllocator::ScopedBitmapBlockAllocator(Calloc allocate)
    : previous_(g_allocate.exchange(allocate)) {}

ScopedBitmapBlockAllocator::~ScopedBitmapBlockAllocator() {
    g_allocate.store(previous_);
}
