#include "test_panoramas.h"

#include <cstring>

namespace {

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}

void Append32(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    Put32(b, b.size() - 4, v);
}

}  // namespace

Bytes MakeBitmap(int width, int height, bool fileHeader) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = fileHeader ? 14 : 0;
    Bytes b(offset + 40 + stride * height, 0);
    if (fileHeader) {
        b[0] = 'B';
        b[1] = 'M';
        Put32(b, 2, static_cast<std::uint32_t>(b.size()));
        Put32(b, 10, 54);
    }
    Put32(b, offset, 40);
    Put32(b, offset + 4, static_cast<std::uint32_t>(width));
    Put32(b, offset + 8, static_cast<std::uint32_t>(height));
    Put16(b, offset + 12, 1);
    Put16(b, offset + 14, 24);
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
    Put32(b, 8, static_cast<std::uint32_t>(sections.size()));
    b[12] = static_cast<std::uint8_t>(version);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::size_t entry = 16 + 16 * i;
        std::memcpy(&b[entry], sections[i].first.data(), 4);
        Put32(b, entry + 4, static_cast<std::uint32_t>(b.size()));
        Put32(b, entry + 8, static_cast<std::uint32_t>(sections[i].second.size()));
        b.insert(b.end(), sections[i].second.begin(), sections[i].second.end());
    }
    Put32(b, 4, static_cast<std::uint32_t>(b.size()));
    return b;
}

Bytes InitSection(std::vector<std::int16_t> values) {
    Bytes b(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i) Put16(b, 2 * i, static_cast<std::uint16_t>(values[i]));
    return b;
}

Bytes HotspotSection(const std::vector<HotspotCorners>& hotspots) {
    Bytes b{static_cast<std::uint8_t>(hotspots.size())};
    for (const HotspotCorners& h : hotspots) {
        for (float f : {h.heading1, h.pitch1, h.heading2, h.pitch2}) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            Append32(b, bits);
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
        Append32(b, static_cast<std::uint32_t>(content.size()));
        b.insert(b.end(), content.begin(), content.end());
    }
    b.push_back(0);
    return b;
}
