#pragma once
// Reading and writing the fields of a packed device-independent bitmap held in memory: a
// 40-byte information header, its colours, then bottom-up rows padded to 4 bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace dib {

inline std::int32_t Get32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Put32(std::uint8_t* p, std::int32_t v) { std::memcpy(p, &v, 4); }

inline std::int32_t Width(const std::uint8_t* dib) { return Get32(dib + 4); }
inline std::int32_t Height(const std::uint8_t* dib) { return Get32(dib + 8); }
inline int BitCount(const std::uint8_t* dib) { return dib[14] | dib[15] << 8; }
inline std::int32_t Compression(const std::uint8_t* dib) { return Get32(dib + 16); }
inline std::int32_t ColoursUsed(const std::uint8_t* dib) { return Get32(dib + 32); }

// Bytes between the header's end and the first row: 1024 colours for 8 bits, 12 bytes of
// masks for 16 bits with bit fields, else none.
inline std::size_t ColourBytes(const std::uint8_t* dib) {
    if (BitCount(dib) == 8) return 1024;
    if (BitCount(dib) == 16 && Compression(dib) != 0) return 12;
    return 0;
}
inline std::uint8_t* Pixels(std::uint8_t* dib) { return dib + 40 + ColourBytes(dib); }

// The renderer's pixel format code: 8, 15 (5-5-5), 16 (5-6-5) or 24.
inline int PixelFormat(const std::uint8_t* dib) {
    const int bits = BitCount(dib);
    if (bits == 16) return Compression(dib) == 3 ? 16 : 15;
    return bits;
}

inline std::size_t Stride(std::int32_t width, int bitCount) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount / 8) + 3) &
           ~std::size_t{3};
}

}  // namespace dib
