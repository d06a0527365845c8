#pragma once
// Section names: four characters, not NUL-terminated, blank-padded when shorter. A name can
// also travel packed into one 32-bit value, its first character in the low byte, so that the
// packed value equals the four bytes read from a file as a little-endian number.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

using SectionName = std::array<char, 4>;

// The first four characters of `name` (a NUL ends it early), filled up with blanks to four.
constexpr SectionName NormalizeName(std::string_view name) {
    SectionName result{' ', ' ', ' ', ' '};
    for (std::size_t i = 0; i < name.size() && i < result.size() && name[i] != '\0'; ++i) {
        result[i] = name[i];
    }
    return result;
}

// The normalised name packed into 32 bits ("HVXK" gives the container magic).
constexpr std::uint32_t PackSectionTag(std::string_view name) {
    const SectionName chars = NormalizeName(name);
    std::uint32_t tag = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        tag |= static_cast<std::uint32_t>(static_cast<unsigned char>(chars[i])) << (8 * i);
    }
    return tag;
}

// The four bytes of a packed tag, as they lie in a file.
constexpr SectionName UnpackSectionTag(std::uint32_t tag) {
    SectionName chars{};
    for (std::size_t i = 0; i < chars.size(); ++i) {
        chars[i] = static_cast<char>(static_cast<unsigned char>(tag >> (8 * i)));
    }
    return chars;
}
