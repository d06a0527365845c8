#include "bitmap/bitfield_mask.h"

#include <bit>

std::uint8_t BitfieldMask::Expand(std::uint32_t pixel) const {
    if (bits == 0)
        return 0;
    const std::uint32_t value = (pixel >> shift) & ((std::uint32_t{1} << bits) - 1);
    return static_cast<std::uint8_t>(bits >= 8 ? value >> (bits - 8) : value << (8 - bits));
}

std::uint32_t BitfieldMask::Pack(std::uint8_t value) const {
    if (bits == 0)
        return 0;
    const std::uint32_t narrowed =
        bits >= 8 ? std::uint32_t{value} << (bits - 8) : std::uint32_t{value} >> (8 - bits);
    return narrowed << shift;
}

std::optional<BitfieldMask> DescribeBitfieldMask(std::uint32_t mask, int pixelBits) {
    if (mask == 0)
        return BitfieldMask{};
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    if (shift + bits > pixelBits || std::countl_zero(mask) + shift + bits != 32)
        return std::nullopt;
    return BitfieldMask{shift, bits};
}
