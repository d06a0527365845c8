#include <gtest/gtest.h>

#include <limits>

#include "bitmap/cdib.h"
#include "platform/surface.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

using Rows = std::vector<std::vector<std::uint32_t>>;  // 0xRRGGBB, top row first

Rows Shown(const platform::Surface& surface, platform::Point* origin) {
    Rows rows;
    surface.Read([&](const platform::SurfacePicture& picture) {
        *origin = picture.origin;
        for (int y = picture.size.height - 1; y >= 0; --y) {
            const std::uint8_t* p =
                picture.pixels.data() + picture.stride * static_cast<std::size_t>(y);
            rows.emplace_back();
            for (int x = 0; x < picture.size.width; ++x, p += 3)
                rows.back().push_back(p[2] << 16 | p[1] << 8 | p[0]);
        }
    });
    return rows;
}

// 3 x 2 at `bits`: top row greys 1, 2, 3; bottom row 4, 5, 6 (palette entries at 1 to 8 bits).
CDIB Numbered(int bits) {
    CDIB dib(3, 2, bits);
    for (int i = 0; i < 6; ++i) {
        const auto c = static_cast<std::uint8_t>(16 * (i + 1));
        if (bits > 8) {
            dib.SetPixel(i % 3, i / 3, c, c, c);
            continue;
        }
        std::fill_n(dib.GetColorTable().data() + 4 * ((i + 1) % (1 << bits)), 3, c);
        dib.SetPixelValue(i % 3, i / 3, static_cast<std::uint32_t>(i + 1));
    }
    if (bits == 4)
        dib.GetBits()[0] = 0x45, dib.GetBits()[1] = 0x60, dib.GetBits()[4] = 0x12,
        dib.GetBits()[5] = 0x30;
    return dib;
}

constexpr std::uint32_t G(int i) {
    return 0x101010u * static_cast<std::uint32_t>(i);
}

TEST(CdibPaint, StretchesByPlainCopyAtEveryDepth) {
    struct Case {
        const char* name;
        int xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc;
        Rows expected;
    };
    const std::vector<std::uint32_t> top = {G(1), G(1), G(2), G(2), G(3), G(3)};
    const std::vector<std::uint32_t> bottom = {G(4), G(4), G(5), G(5), G(6), G(6)};
    const Case kCases[] = {
        {"own size", 5, 7, -1, -1, 0, 0, -1, -1, {{G(1), G(2), G(3)}, {G(4), G(5), G(6)}}},
        {"doubled", 0, 0, 6, 4, 0, 0, -1, -1, {top, top, bottom, bottom}},
        {"one pixel takes the centre", 0, 0, 1, 1, 0, 0, -1, -1, {{G(5)}}},
        {"part of the source", 0, 0, 2, 1, 1, 1, 2, 1, {{G(5), G(6)}}},
        {"beyond the picture is black", 0, 0, 2, 1, 2, 0, 2, 1, {{G(3), 0}}},
    };
    for (int bits : {4, 8, 16, 24, 32}) {
        const CDIB dib = Numbered(bits);
        for (const Case& c : kCases) {
            platform::Surface surface;
            ASSERT_EQ(dib.Paint(surface, c.xDest, c.yDest, c.wDest, c.hDest, c.xSrc, c.ySrc, c.wSrc,
                                c.hSrc),
                      1);
            platform::Point origin;
            EXPECT_EQ(Shown(surface, &origin), c.expected) << c.name << " at " << bits;
            EXPECT_EQ(origin, (platform::Point{c.xDest, c.yDest}));
        }
    }
}

TEST(CdibPaint, RefusesWhatCannotBeDrawn) {
    std::vector<std::uint8_t> codec = PackedHeader(2, 2, 24, 0x64697663, 4);
    codec.resize(40 + 4);
    CDIB compressed;
    ASSERT_EQ(compressed.CreateFromPackedDib(codec), 1);
    const CDIB plain(2, 2, 24), empty(0, 0, 0);
    const std::tuple<const char*, const CDIB&, int, int> kCases[] = {
        {"empty", empty, -1, -1},
        {"compressed", compressed, -1, -1},
        {"zero width", plain, 0, 5},
        {"negative height", plain, 5, -2},
        {"absurd size", plain, 1 << 20, 1 << 20},
        {"beyond the coordinates", plain, std::numeric_limits<int>::max(), 1}};
    for (const auto& [name, dib, w, h2] : kCases) {
        platform::Surface surface;
        EXPECT_EQ(dib.Paint(surface, 0, 0, w, h2, 0, 0, -1, -1), 0) << name;
        EXPECT_EQ(surface.Serial(), 0u) << name;
    }
}

}  // namespace
