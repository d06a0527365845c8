#include "bitmap/cdib.h"

#include <cstring>
#include <new>
#include <utility>

using platform::BitmapInfoHeader;
using platform::kBiBitfields;
using platform::kBiRgb;
using platform::kInfoHeaderSize;
using platform::LoadInfoHeader;
using platform::StoreInfoHeader;

CDIB::CDIB() : CDIB(16, 16, 24) {}

CDIB::CDIB(int width, int height, int bitsPerPixel) {
    Create(width, height, bitsPerPixel);
}

CDIB::CDIB(const CDIB& other) {
    if (!other.IsEmpty() && CopyFrom(other) == 0)
        throw std::bad_alloc();
}

CDIB& CDIB::operator=(const CDIB& other) {
    if (this != &other) {
        if (other.IsEmpty()) {
            Clear();
        } else if (CopyFrom(other) == 0) {
            throw std::bad_alloc();
        }
    }
    return *this;
}

CDIB::CDIB(CDIB&& other) noexcept
    : m_pBMI(std::move(other.m_pBMI)),
      m_blockSize(std::exchange(other.m_blockSize, 0)),
      m_pBits(std::exchange(other.m_pBits, nullptr)),
      m_header(std::exchange(other.m_header, BitmapInfoHeader{})) {}

CDIB& CDIB::operator=(CDIB&& other) noexcept {
    if (this != &other) {
        m_pBMI = std::move(other.m_pBMI);
        m_blockSize = std::exchange(other.m_blockSize, 0);
        m_pBits = std::exchange(other.m_pBits, nullptr);
        m_header = std::exchange(other.m_header, BitmapInfoHeader{});
    }
    return *this;
}

CDIB::~CDIB() = default;

int CDIB::ColorTableEntries(int bitsPerPixel, std::uint32_t compression) {
    switch (bitsPerPixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        case 16:
        case 32:
            return compression == kBiBitfields ? 3 : 0;
        default:
            return 0;
    }
}

bool CDIB::LayoutOf(const BitmapInfoHeader& header, Layout* layout) {
    if (header.biWidth <= 0 || header.biHeight <= 0)
        return false;
    Layout result;
    std::uint64_t pixelBytes = 0;
    const bool compressed = header.biCompression != kBiRgb && header.biCompression != kBiBitfields;
    if (compressed) {
        pixelBytes = header.biSizeImage;
        if (pixelBytes == 0)
            return false;
    } else {
        const int bits = header.biBitCount;
        const bool knownDepth =
            bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        if (!knownDepth)
            return false;
        if (header.biCompression == kBiBitfields && bits != 16 && bits != 32)
            return false;
        result.tableEntries =
            static_cast<std::size_t>(ColorTableEntries(bits, header.biCompression));
        const std::size_t stride = platform::DibRowStride(header.biWidth, bits);
        if (!MultiplyWithin(stride, static_cast<std::uint64_t>(header.biHeight),
                            kMaxBitmapBlockBytes, &pixelBytes)) {
            return false;
        }
        result.stride = stride;
    }
    const std::uint64_t total =
        kInfoHeaderSize + 4 * std::uint64_t{result.tableEntries} + pixelBytes;
    if (total > kMaxBitmapBlockBytes)
        return false;
    result.pixelBytes = static_cast<std::size_t>(pixelBytes);
    result.blockBytes = static_cast<std::size_t>(total);
    *layout = result;
    return true;
}

BitmapBlock CDIB::AllocateZeroed(std::size_t bytes) {
    return AllocateBitmapBlock(bytes);
}

void CDIB::Adopt(BitmapBlock block, std::size_t bytes) {
    m_header = LoadInfoHeader(block.get());
    Layout layout;
    LayoutOf(m_header, &layout);
    m_pBMI = std::move(block);
    m_blockSize = bytes;
    m_pBits = m_pBMI.get() + kInfoHeaderSize + 4 * layout.tableEntries;
}

void CDIB::Clear() {
    m_pBMI.reset();
    m_blockSize = 0;
    m_pBits = nullptr;
    m_header = BitmapInfoHeader{};
}

int CDIB::Create(int width, int height, int bitsPerPixel) {
    Clear();
    if (bitsPerPixel < 0 || bitsPerPixel > 32)
        return 0;
    BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bitsPerPixel);
    Layout layout;
    if (!LayoutOf(header, &layout))
        return 0;
    BitmapBlock block = AllocateZeroed(layout.blockBytes);
    if (!block)
        return 0;
    StoreInfoHeader(block.get(), header);
    Adopt(std::move(block), layout.blockBytes);
    return 1;
}

int CDIB::GetBitCount() const {
    if (IsEmpty() || IsCompressed())
        return 0;
    const int bits = m_header.biBitCount;
    const bool known =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return known ? bits : -1;
}

int CDIB::IsCompressed() const {
    return !IsEmpty() && m_header.biCompression != kBiRgb && m_header.biCompression != kBiBitfields
               ? 1
               : 0;
}

std::size_t CDIB::GetStride() const {
    if (IsEmpty() || IsCompressed())
        return 0;
    return platform::DibRowStride(m_header.biWidth, m_header.biBitCount);
}

std::span<const std::uint8_t> CDIB::GetColorTable() const {
    if (IsEmpty())
        return {};
    return {m_pBMI.get() + kInfoHeaderSize, m_pBits};
}

std::span<std::uint8_t> CDIB::GetColorTable() {
    if (IsEmpty())
        return {};
    return {m_pBMI.get() + kInfoHeaderSize, m_pBits};
}

std::span<const std::uint8_t> CDIB::GetBits() const {
    if (IsEmpty())
        return {};
    return {m_pBits, m_pBMI.get() + m_blockSize};
}

std::span<std::uint8_t> CDIB::GetBits() {
    if (IsEmpty())
        return {};
    return {m_pBits, m_pBMI.get() + m_blockSize};
}

int CDIB::CopyFrom(const CDIB& other) {
    if (other.IsEmpty())
        return 0;
    if (this == &other)
        return 1;
    if (m_blockSize == other.m_blockSize && GetBitCount() == other.GetBitCount()) {
        std::memcpy(m_pBMI.get(), other.m_pBMI.get(), m_blockSize);
        m_header = other.m_header;
        m_pBits = m_pBMI.get() + (other.m_pBits - other.m_pBMI.get());
        return 1;
    }
    BitmapBlock block = AllocateZeroed(other.m_blockSize);
    if (!block)
        return 0;
    std::memcpy(block.get(), other.m_pBMI.get(), other.m_blockSize);
    Adopt(std::move(block), other.m_blockSize);
    return 1;
}
