#pragma once
// The "NOTE" section (PanoramaNote): the byte 0x0A, then ten NUL-terminated strings, the
// panorama's descriptive details in the order of kPanoramaNoteLabels.
// All functions are pure and may be called from any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kNoteSectionName = "NOTE";
inline constexpr std::uint8_t kPanoramaNoteMark = 0x0A;
inline constexpr std::size_t kPanoramaNoteFieldCount = 10;

// The label that the details dialogs show beside each string, in section order.
inline constexpr std::array<std::string_view, kPanoramaNoteFieldCount> kPanoramaNoteLabels = {
    "Photographer/Artist:",
    "Organization:",
    "Street Address:",
    "City/State/Zip:",
    "email:",
    "phone:",
    "fax:",
    "Panorama Description:",
    "Notes:",
    "Credits:",
};

struct PanoramaNote {
    std::array<std::string, kPanoramaNoteFieldCount> fields;

    // True when all ten strings are empty (the editor then deletes the section).
    bool IsEmpty() const;
    bool operator==(const PanoramaNote&) const = default;
};

// nullopt unless the section's first byte is 0x0A. The strings are read in order within the
// section; a string without a NUL before the section's end, and every string after it, is
// left empty, as are strings that the section does not reach.
std::optional<PanoramaNote> ParsePanoramaNote(std::span<const std::uint8_t> section);

// 0x0A and the ten strings, each up to its first NUL (if it holds one) and then a NUL.
// May throw std::bad_alloc.
std::vector<std::uint8_t> BuildPanoramaNote(const PanoramaNote& note);
