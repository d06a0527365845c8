#pragma once
// The "HSPT" section: a count byte n, then n records of four little-endian 32-bit floats
// (heading and pitch of one corner, heading and pitch of the opposite corner, in degrees; their
// order carries no meaning) followed by the action text and its NUL.
// All functions are pure and may be called from any thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kHotspotSectionName = "HSPT";
inline constexpr std::size_t kMaxSectionHotspots = 255;

struct SectionHotspot {
    float heading1 = 0;
    float pitch1 = 0;
    float heading2 = 0;
    float pitch2 = 0;
    std::string action;  // the hotspot's action text, without NUL

    bool operator==(const SectionHotspot&) const = default;
};

// The records in file order. The walk stops at the count or at the first record that does not
// lie wholly inside the section (its floats cut short, or its text without a NUL before the
// end); that record and any after it are left out. An empty section holds no hotspots.
std::vector<SectionHotspot> ParseHotspotSection(std::span<const std::uint8_t> section);

// The section for `hotspots`, in order: 1 + the sum of (17 + text length) bytes. An action text
// ends at its first NUL, if it holds one. nullopt when there are more than 255 hotspots, which
// the count byte cannot hold. May throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> BuildHotspotSection(
    std::span<const SectionHotspot> hotspots);
