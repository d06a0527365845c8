#include "engine/viewer/panorama_sections.h"

#include <cstring>

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

float ReadFloat(const std::uint8_t* p) {
    const std::uint32_t bits = Read32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

PanoramaDataType SniffPanoramaData(std::span<const std::uint8_t> block) {
    if (block.size() < 2) return PanoramaDataType::None;
    if (block[0] == 'B' && block[1] == 'M') return PanoramaDataType::Bitmap;
    if (block.size() < 4) return PanoramaDataType::None;
    if (Read32(block.data()) == 40) return PanoramaDataType::Bitmap;
    if (block[0] == 0xFF && block[1] == 0xD8 && block[2] == 0xFF && block[3] == 0xE0) {
        return PanoramaDataType::Jpeg;
    }
    if (std::memcmp(block.data(), "HVXK", 4) == 0) return PanoramaDataType::Container;
    return PanoramaDataType::None;
}

std::optional<std::span<const std::uint8_t>> FindPanoramaSection(std::span<const std::uint8_t> block,
                                                                 const char* tag) {
    if (SniffPanoramaData(block) != PanoramaDataType::Container || block.size() < 16) {
        return std::nullopt;
    }
    const std::uint32_t count = Read32(block.data() + 8);
    const std::size_t entries = (block.size() - 16) / 16;
    for (std::size_t i = 0; i < count && i < entries; ++i) {
        const std::uint8_t* entry = block.data() + 16 + 16 * i;
        if (std::strncmp(reinterpret_cast<const char*>(entry), tag, 4) != 0) continue;
        const std::size_t offset = Read32(entry + 4);
        const std::size_t size = Read32(entry + 8);
        if (offset > block.size() || size > block.size() - offset) return std::nullopt;
        return block.subspan(offset, size);
    }
    return std::nullopt;
}

std::optional<std::array<std::int16_t, 8>> ReadInitSection(std::span<const std::uint8_t> data) {
    if (data.size() != 16) return std::nullopt;
    std::array<std::int16_t, 8> values{};
    for (std::size_t i = 0; i < 8; ++i) {
        values[i] = static_cast<std::int16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    return values;
}

std::vector<HotspotSectionRecord> ReadHotspotSection(std::span<const std::uint8_t> data) {
    std::vector<HotspotSectionRecord> records;
    if (data.empty()) return records;
    const std::size_t count = data[0];
    std::size_t at = 1;
    while (records.size() < count && data.size() - at >= 17) {
        const std::uint8_t* record = data.data() + at;
        const auto* text = reinterpret_cast<const char*>(record + 16);
        const std::size_t room = data.size() - at - 16;
        const std::size_t length = strnlen(text, room);
        if (length == room) break;  // the text has no NUL inside the section
        records.push_back(HotspotSectionRecord{ReadFloat(record), ReadFloat(record + 4),
                                               ReadFloat(record + 8), ReadFloat(record + 12),
                                               std::string(text, length)});
        at += 17 + length;
    }
    return records;
}

std::vector<EmbeddedFileRecord> ReadFileSection(std::span<const std::uint8_t> data) {
    std::vector<EmbeddedFileRecord> files;
    std::size_t at = 0;
    while (at < data.size()) {
        const auto* name = reinterpret_cast<const char*>(data.data() + at);
        const std::size_t room = data.size() - at;
        const std::size_t length = strnlen(name, room);
        if (length == 0 || length == room) break;
        const std::size_t lengthField = at + length + 1;
        if (data.size() - lengthField < 4) break;
        const std::size_t size = Read32(data.data() + lengthField);
        const std::size_t start = lengthField + 4;
        if (size > data.size() - start) break;
        files.push_back(EmbeddedFileRecord{std::string(name, length), data.subspan(start, size)});
        at = start + size;
    }
    return files;
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}
