#include "test_panoramas.h"

#include <cstring>

#include "platform/byte_order.h"
#include "platform/dib_header.h"

Bytes MakeBitmap(int width, int height, bool fileHeader) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = fileHeader ? 14 : 0;
    Bytes b(offset + 40 + stride * height, 0);
    if (fileHeader) {
        b[0] = 'B';
        b[1] = 'M';
        platform::StoreLe32(&b[2], static_cast<std::uint32_t>(b.size()));
        platform::StoreLe32(&b[10], 54);
    }
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 24;
    platform::StoreInfoHeader(&b[offset], header);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &b[offset + 40 + y * stride + x * 3];
            p[0] = std::uint8_t(x);
            p[1] = std::uint8_t(y);
            p[2] = 7;
        }
    }
    return b;
}

Bytes MakeContainer(const std::vector<std::pair<std::string, Bytes>>& sections,
                    std::int8_t version) {
    Bytes b(16 + 16 * sections.size(), 0);
    std::memcpy(b.data(), "HVXK", 4);
    platform::StoreLe32(b.data() + 8, static_cast<std::uint32_t>(sections.size()));
    b[12] = static_cast<std::uint8_t>(version);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::size_t entry = 16 + 16 * i;
        std::memcpy(&b[entry], sections[i].first.data(), 4);
        platform::StoreLe32(b.data() + entry + 4, static_cast<std::uint32_t>(b.size()));
        platform::StoreLe32(b.data() + entry + 8,
                            static_cast<std::uint32_t>(sections[i].second.size()));
        b.insert(b.end(), sections[i].second.begin(), sections[i].second.end());
    }
    platform::StoreLe32(b.data() + 4, static_cast<std::uint32_t>(b.size()));
    return b;
}

Bytes InitSection(std::vector<std::int16_t> values) {
    Bytes b(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i)
        platform::StoreLe16(b.data() + 2 * i, static_cast<std::uint16_t>(values[i]));
    return b;
}

Bytes HotspotSection(const std::vector<HotspotCorners>& hotspots) {
    Bytes b{static_cast<std::uint8_t>(hotspots.size())};
    for (const HotspotCorners& h : hotspots) {
        for (float f : {h.heading1, h.pitch1, h.heading2, h.pitch2}) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            platform::AppendLe32(b, bits);
        }
        b.insert(b.end(), h.target.begin(), h.target.end());
        b.push_back(0);
    }
    return b;
}

Bytes FileSection(const std::vector<std::pair<std::string, std::string>>& files) {
    Bytes b;
    for (const auto& [name, content] : files) {
        b.insert(b.end(), name.begin(), name.end());
        b.push_back(0);
        platform::AppendLe32(b, static_cast<std::uint32_t>(content.size()));
        b.insert(b.end(), content.begin(), content.end());
    }
    b.push_back(0);
    return b;
}
