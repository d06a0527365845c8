#include "engine/files/global_dib.h"

#include <algorithm>
#include <cstring>
#include <new>

DibHeader ReadDibHeader(const std::uint8_t* bytes) {
    DibHeader header;
    std::memcpy(&header, bytes, sizeof header);
    return header;
}

void WriteDibHeader(std::uint8_t* bytes, const DibHeader& header) {
    std::memcpy(bytes, &header, sizeof header);
}

std::size_t ColourTableBytes(const DibHeader& header) {
    if (header.bitCount == 8) return kColourTableBytes;
    if (header.compression == kCompressionBitFields) return kMaskBytes;
    return 0;
}

std::size_t DibRowStride(std::int64_t width, int bitCount) {
    const auto bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount);
    return (bits + 31) / 32 * 4;
}

GlobalDib GlobalDib::Allocate(std::size_t size) noexcept {
    GlobalDib dib;
    dib.block_.reset(new (std::nothrow) std::uint8_t[size]);
    if (dib.block_) dib.size_ = size;
    return dib;
}

std::span<const std::uint8_t> GlobalDib::Info() const {
    if (size_ < kDibHeaderSize) return {};
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
