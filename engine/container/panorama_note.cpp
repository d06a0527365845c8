#include "engine/container/panorama_note.h"

#include <algorithm>

bool PanoramaNote::IsEmpty() const {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& field) { return field.empty(); });
}

std::optional<PanoramaNote> ParsePanoramaNote(std::span<const std::uint8_t> section) {
    if (section.empty() || section[0] != kPanoramaNoteMark) {
        return std::nullopt;
    }
    PanoramaNote note;
    auto at = section.begin() + 1;
    for (std::string& field : note.fields) {
        const auto end = std::find(at, section.end(), std::uint8_t{0});
        if (end == section.end()) {
            break;
        }
        field.assign(at, end);
        at = end + 1;
    }
    return note;
}

std::vector<std::uint8_t> BuildPanoramaNote(const PanoramaNote& note) {
    std::vector<std::uint8_t> section{kPanoramaNoteMark};
    for (const std::string& field : note.fields) {
        const std::string_view text(field.c_str());
        section.insert(section.end(), text.begin(), text.end());
        section.push_back(0);
    }
    return section;
}
