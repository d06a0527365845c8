#include "engine/container/hotspot_section.h"

#include <algorithm>
#include <bit>

#include "platform/byte_order.h"

namespace {

constexpr std::size_t kCornerBytes = 16;

float LoadLeFloat(const std::uint8_t* bytes) {
    return std::bit_cast<float>(platform::LoadLe32(bytes));
}

}  // namespace

std::vector<SectionHotspot> ParseHotspotSection(std::span<const std::uint8_t> section) {
    std::vector<SectionHotspot> hotspots;
    if (section.empty()) {
        return hotspots;
    }
    const std::size_t count = section[0];
    std::size_t at = 1;
    while (hotspots.size() < count && section.size() - at > kCornerBytes) {
        const std::uint8_t* record = section.data() + at;
        const auto textBegin = section.begin() + static_cast<std::ptrdiff_t>(at + kCornerBytes);
        const auto textEnd = std::find(textBegin, section.end(), std::uint8_t{0});
        if (textEnd == section.end()) {
            break;
        }
        SectionHotspot hotspot;
        hotspot.heading1 = LoadLeFloat(record);
        hotspot.pitch1 = LoadLeFloat(record + 4);
        hotspot.heading2 = LoadLeFloat(record + 8);
        hotspot.pitch2 = LoadLeFloat(record + 12);
        hotspot.action.assign(textBegin, textEnd);
        hotspots.push_back(std::move(hotspot));
        at = static_cast<std::size_t>(textEnd - section.begin()) + 1;
    }
    return hotspots;
}

std::optional<std::vector<std::uint8_t>> BuildHotspotSection(
    std::span<const SectionHotspot> hotspots) {
    if (hotspots.size() > kMaxSectionHotspots) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> section;
    section.push_back(static_cast<std::uint8_t>(hotspots.size()));
    for (const SectionHotspot& hotspot : hotspots) {
        for (const float value :
             {hotspot.heading1, hotspot.pitch1, hotspot.heading2, hotspot.pitch2}) {
            platform::AppendLe32(section, std::bit_cast<std::uint32_t>(value));
        }
        const std::string_view text(hotspot.action.c_str());
        section.insert(section.end(), text.begin(), text.end());
        section.push_back(0);
    }
    return section;
}
