#include "engine/files/global_dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <sys/mman.h>

DibHeader ReadDibHeader(const std::uint8_t* bytes) {
    DibHeader header;
    std::memcpy(&header, bytes, sizeof header);
    return header;
}

void WriteDibHeader(std::uint8_t* bytes, const DibHeader& header) {
    std::memcpy(bytes, &header, sizeof header);
}

std::size_t ColourTableBytes(const DibHeader& header) {
    if (header.bitCount == 8)
        return kColourTableBytes;
    if (header.compression == kCompressionBitFields)
        return kMaskBytes;
    return 0;
}

std::size_t DibRowStride(std::int64_t width, int bitCount) {
    const auto bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount);
    return (bits + 31) / 32 * 4;
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
    if (size_ < kDibHeaderSize)
        return {};
    return Bytes().first(std::min(size_, kDibHeaderSize + ColourTableBytes(Header())));
}

std::span<const std::uint8_t> GlobalDib::PixelBytes() const {
    const std::size_t info = Info().size();
    return Bytes().subspan(info);
}

void GlobalDib::Reset() noexcept {
    block_.reset();
    size_ = 0;
}
