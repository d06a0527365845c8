#include "engine/imaging/global_dib.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include <sys/mman.h>

std::size_t ColourTableBytes(const platform::BitmapInfoHeader& header) {
    if (header.biBitCount == 8)
        return kColourTableBytes;
    if (header.biCompression == platform::kBiBitfields)
        return kMaskBytes;
    return 0;
}

namespace {

// Blocks of a few megabytes and more (a panorama's pixels) are backed by huge pages where the
// system offers them: filling a fresh block then costs far fewer page faults.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

void* AllocateBlock(std::size_t size) {
    if (size < kHugePage)
        return std::malloc(std::max<std::size_t>(size, 1));
    if (size > std::numeric_limits<std::size_t>::max() - kHugePage)
        return nullptr;
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block != nullptr)
        madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

}  // namespace

void GlobalDib::FreeBlock::operator()(std::uint8_t* block) const noexcept {
    std::free(block);
}

GlobalDib GlobalDib::Allocate(std::size_t size) noexcept {
    GlobalDib dib;
    dib.block_.reset(static_cast<std::uint8_t*>(AllocateBlock(size)));
    if (dib.block_)
        dib.size_ = size;
    return dib;
}

std::span<const std::uint8_t> GlobalDib::Info() const {
    if (size_ < platform::kInfoHeaderSize)
        return {};
    return Bytes().first(std::min(size_, platform::kInfoHeaderSize + ColourTableBytes(Header())));
}

std::span<const std::uint8_t> GlobalDib::PixelBytes() const {
    const std::size_t info = Info().size();
    return Bytes().subspan(info);
}

void GlobalDib::Reset() noexcept {
    block_.reset();
    size_ = 0;
}

bool GlobalDib::Resize(std::size_t size) noexcept {
    if (!block_)
        return false;
    void* moved = std::realloc(block_.get(), std::max<std::size_t>(size, 1));
    if (moved == nullptr)
        return false;
    static_cast<void>(block_.release());
    block_.reset(static_cast<std::uint8_t*>(moved));
    size_ = size;
    return true;
}
