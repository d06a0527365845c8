#pragma once
// GlobalDib: a packed device-independent bitmap in one owned memory block, the currency between
// the image decoders, the viewer engine and the editors. The block holds, in this order:
//   - a 40-byte bitmap information header (platform::BitmapInfoHeader);
//   - for 8 bits a pixel, a colour table of exactly 256 entries (blue, green, red, 0);
//     for bit-field compression (3), the three 32-bit colour masks (5-6-5: 0xF800, 0x07E0,
//     0x001F for 16 bits); nothing otherwise;
//   - the pixel rows, bottom row first, each padded to a multiple of 4 bytes.
// Pixel formats: 8 (palette index), 16 with compression 0 (5-5-5, called 15), 16 with
// compression 3 (5-6-5), 24 (blue, green, red bytes); 32 occurs as an input only.
// Whoever receives a GlobalDib owns it; it is move-only and frees its block when destroyed.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/dib_header.h"

static_assert(std::endian::native == std::endian::little, "packed bitmaps are handled in place");

inline constexpr std::size_t kColourTableBytes = 256 * 4;
inline constexpr std::size_t kMaskBytes = 3 * 4;
inline constexpr std::uint32_t kRedMask565 = 0xF800;
inline constexpr std::uint32_t kGreenMask565 = 0x07E0;
inline constexpr std::uint32_t kBlueMask565 = 0x001F;

// The bytes between the header and the pixels of a GlobalDib with this header: 1024 for 8 bits,
// 12 for bit-field compression, else 0.
std::size_t ColourTableBytes(const platform::BitmapInfoHeader& header);

// Frees a GlobalDib's heap block, or unmaps a block that is a mapping of its own (`mapped`
// bytes).
struct GlobalDibFree {
    std::size_t mapped = 0;
    void operator()(std::uint8_t* block) const noexcept;
};

class GlobalDib {
  public:
    GlobalDib() = default;
    GlobalDib(GlobalDib&&) noexcept = default;
    GlobalDib& operator=(GlobalDib&&) noexcept = default;
    GlobalDib(const GlobalDib&) = delete;
    GlobalDib& operator=(const GlobalDib&) = delete;
    ~GlobalDib() = default;

    // A block of `size` bytes whose contents are not set, or an empty GlobalDib when the memory
    // cannot be had. Never throws.
    static GlobalDib Allocate(std::size_t size) noexcept;

    explicit operator bool() const { return block_ != nullptr; }
    std::uint8_t* Data() { return block_.get(); }
    const std::uint8_t* Data() const { return block_.get(); }
    std::size_t Size() const { return size_; }
    std::span<std::uint8_t> Bytes() { return {block_.get(), size_}; }
    std::span<const std::uint8_t> Bytes() const { return {block_.get(), size_}; }

    // The header, the colour table or masks, and the pixels. These require a block that holds at
    // least the header; Pixels is behind ColourTableBytes(Header()).
    platform::BitmapInfoHeader Header() const { return platform::LoadInfoHeader(Data()); }
    void SetHeader(const platform::BitmapInfoHeader& header) {
        platform::StoreInfoHeader(Data(), header);
    }
    std::uint8_t* Colours() { return Data() + platform::kInfoHeaderSize; }
    const std::uint8_t* Colours() const { return Data() + platform::kInfoHeaderSize; }
    std::uint8_t* Pixels() { return Colours() + ColourTableBytes(Header()); }
    const std::uint8_t* Pixels() const { return Colours() + ColourTableBytes(Header()); }
    // The header with its colour table or masks, and the bytes from the pixels to the end.
    std::span<const std::uint8_t> Info() const;
    std::span<const std::uint8_t> PixelBytes() const;

    // Frees the block; the GlobalDib becomes empty.
    void Reset() noexcept;
    // Grows or shrinks the block to `size` bytes, keeping its first min(old, new) bytes; the
    // bytes behind them are not set. The block may move (large blocks are remapped, not
    // copied). False, with the block as it was, when the memory cannot be had or the
    // GlobalDib is empty. Never throws.
    bool Resize(std::size_t size) noexcept;

  private:
    std::unique_ptr<std::uint8_t[], GlobalDibFree> block_;
    std::size_t size_ = 0;
};

// Allocation under its historic name: GlobalDib::Allocate.
inline GlobalDib DibAlloc(std::size_t size) noexcept {
    return GlobalDib::Allocate(size);
}
