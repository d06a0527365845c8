#pragma once
// Small synthetic bitmaps and records for the image decoding tests.

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "engine/imaging/global_dib.h"
#include "tests/engine/imaging/jpeg_sides.h"
#include "tests/platform/trace/stand_in_trace_monitor.h"

inline platform::BitmapInfoHeader MakeHeader(int width, int height, int bitCount,
                                             std::uint32_t compression = 0) {
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biCompression = compression;
    return header;
}

inline void Append(std::vector<std::uint8_t>& bytes, const void* data, std::size_t size) {
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
}

inline void Append32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    Append(bytes, &value, 4);
}

// A record: the 14-byte file header when asked, the information header, `extra` (colour table or
// masks) and `pixels`, each as given.
inline std::vector<std::uint8_t> MakeRecord(const platform::BitmapInfoHeader& header,
                                            std::span<const std::uint8_t> extra,
                                            std::span<const std::uint8_t> pixels, bool fileHeader) {
    std::vector<std::uint8_t> record;
    if (fileHeader) {
        const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(extra.size());
        record = {'B', 'M'};
        Append32(record, offset + static_cast<std::uint32_t>(pixels.size()));
        Append32(record, 0);
        Append32(record, offset);
    }
    Append(record, &header, sizeof header);
    record.insert(record.end(), extra.begin(), extra.end());
    record.insert(record.end(), pixels.begin(), pixels.end());
    return record;
}

// The bitmap information of a header: its bytes followed by `extra` (colour table or masks).
inline std::vector<std::uint8_t> InfoOf(const platform::BitmapInfoHeader& header,
                                        std::span<const std::uint8_t> extra = {}) {
    return MakeRecord(header, extra, {}, false);
}

inline std::vector<std::uint8_t> Masks565() {
    std::vector<std::uint8_t> masks;
    for (std::uint32_t mask : {0xF800U, 0x07E0U, 0x001FU})
        Append32(masks, mask);
    return masks;
}

// A grey-ramp colour table: entry i is (i, i, i, 0).
inline std::vector<std::uint8_t> GreyColourTable() {
    std::vector<std::uint8_t> table;
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        table.insert(table.end(), {level, level, level, 0});
    }
    return table;
}

inline std::uint16_t Load16(const std::uint8_t* bytes) {
    std::uint16_t value;
    std::memcpy(&value, bytes, 2);
    return value;
}

inline std::uint32_t Load32(const std::uint8_t* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    return value;
}
