#include "engine/imaging/global_dib.h"

#include <algorithm>
#include <cstdint>
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

// Blocks of a few megabytes and more (a panorama's pixels) are mappings of their own, aligned
// to and advised for huge pages where the system offers them: filling a fresh block then costs
// far fewer page faults, and a block grows or shrinks by remapping its pages, never by a copy.
// (A huge-page advice on part of the C library's mapping would split it, and the library
// would then copy the block to grow it.)
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundToHugePages(std::size_t size) {
    return (size + kHugePage - 1) / kHugePage * kHugePage;
}

// A mapping of `length` bytes (a multiple of kHugePage) that starts on a huge-page boundary.
void* MapBlock(std::size_t length) {
    void* reserved = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reserved == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(reserved);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    const std::size_t lead = aligned - start;
    if (lead > 0)
        munmap(reserved, lead);
    if (kHugePage - lead > 0)
        munmap(reinterpret_cast<void*>(aligned + length), kHugePage - lead);
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

}  // namespace

void GlobalDibFree::operator()(std::uint8_t* block) const noexcept {
    if (mapped > 0)
        munmap(block, mapped);
    else
        std::free(block);
}

GlobalDib GlobalDib::Allocate(std::size_t size) noexcept {
    GlobalDib dib;
    if (size < kHugePage) {
        dib.block_.reset(static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(size, 1))));
    } else if (size <= std::numeric_limits<std::size_t>::max() - 2 * kHugePage) {
        const std::size_t length = RoundToHugePages(size);
        dib.block_ = {static_cast<std::uint8_t*>(MapBlock(length)), GlobalDibFree{length}};
        if (!dib.block_)
            dib.block_.get_deleter().mapped = 0;
    }
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
    block_.get_deleter().mapped = 0;
    size_ = 0;
}

bool GlobalDib::Resize(std::size_t size) noexcept {
    if (!block_)
        return false;
    std::size_t& mapped = block_.get_deleter().mapped;
    if (mapped == 0) {
        void* moved = std::realloc(block_.get(), std::max<std::size_t>(size, 1));
        if (moved == nullptr)
            return false;
        static_cast<void>(block_.release());
        block_.reset(static_cast<std::uint8_t*>(moved));
    } else {
        if (size > std::numeric_limits<std::size_t>::max() - kHugePage)
            return false;
        const std::size_t length = RoundToHugePages(std::max<std::size_t>(size, 1));
        if (length != mapped) {
            void* moved = mremap(block_.get(), mapped, length, MREMAP_MAYMOVE);
            if (moved == MAP_FAILED)
                return false;
            static_cast<void>(block_.release());
            block_.reset(static_cast<std::uint8_t*>(moved));
            mapped = length;
        }
    }
    size_ = size;
    return true;
}
