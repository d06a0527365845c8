#pragma once
// The 40-byte information header at the start of every packed bitmap block, its little-endian
// byte form, and the size arithmetic of bitmap rows. Pure functions, any thread.

#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::size_t kCoreHeaderSize = 12;
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;

// Largest block a bitmap may occupy. Larger pictures are refused rather than allocated, so a
// lying header can never ask for an absurd allocation.
inline constexpr std::uint64_t kMaxBitmapBlockBytes = std::uint64_t{1} << 30;

struct BitmapInfoHeader {
    std::uint32_t biSize = kInfoHeaderSize;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = kBiRgb;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

std::uint16_t ReadLe16(const std::uint8_t* bytes);
std::uint32_t ReadLe32(const std::uint8_t* bytes);
void WriteLe16(std::uint8_t* bytes, std::uint16_t value);
void WriteLe32(std::uint8_t* bytes, std::uint32_t value);

// Reads / writes the 40 header bytes at `bytes` (which must hold at least 40 bytes).
BitmapInfoHeader LoadInfoHeader(const std::uint8_t* bytes);
void StoreInfoHeader(std::uint8_t* bytes, const BitmapInfoHeader& header);

// Bytes of one row, padded to a multiple of 4: ((width x bits + 31) / 32) x 4. Computed in 64
// bits; nullopt for a negative width or a bit count of 0.
std::optional<std::uint64_t> RowStride(std::int64_t width, int bitsPerPixel);

// True when `value` is the product a x b and fits below `limit` (no wrap-around).
bool MultiplyWithin(std::uint64_t a, std::uint64_t b, std::uint64_t limit, std::uint64_t* value);
