#include <gtest/gtest.h>

#include "bitmap/cdib.h"
#include "platform/surface.h"

namespace {

using Rows = std::vector<std::vector<std::uint32_t>>;  // 0xRRGGBB, top row first

// The surface's picture as colours, top row first.
Rows Shown(const platform::Surface& surface, platform::Point* origin = nullptr) {
    Rows rows;
    surface.Read([&](const platform::SurfacePicture& picture) {
        if (origin != nullptr) *origin = picture.origin;
        EXPECT_EQ(picture.format, platform::kPixelFormatBgr);
        for (int y = picture.size.height - 1; y >= 0; --y) {
            std::vector<std::uint32_t> row;
            const std::uint8_t* p = picture.pixels.data() + picture.stride * static_cast<std::size_t>(y);
            for (int x = 0; x < picture.size.width; ++x, p += 3) {
                row.push_back(std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
            }
            rows.push_back(row);
        }
    });
    return rows;
}

// 3 x 2 at `bits`: top row colours 1, 2, 3; bottom row 4, 5, 6 (palette entries for 8 bits).
CDIB Numbered(int bits) {
    CDIB dib(3, 2, bits);
    for (int i = 0; i < 6; ++i) {
        const auto c = static_cast<std::uint8_t>(16 * (i + 1));
        if (bits == 8) {
            auto* entry = dib.GetColorTable().data() + 4 * (i + 1);
            entry[0] = entry[1] = entry[2] = c;
            dib.SetPixelValue(i % 3, i / 3, static_cast<std::uint32_t>(i + 1));
        } else {
            dib.SetPixel(i % 3, i / 3, c, c, c);
        }
    }
    return dib;
}

constexpr std::uint32_t Grey(int i) { return 0x010101u * static_cast<std::uint32_t>(16 * i); }

TEST(CdibPaint, StretchesByPlainCopy) {
    struct Case {
        const char* name;
        int xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc;
        Rows expected;
    };
    const Case kCases[] = {
        {"whole picture, own size", 5, 7, -1, -1, 0, 0, -1, -1,
         {{Grey(1), Grey(2), Grey(3)}, {Grey(4), Grey(5), Grey(6)}}},
        {"doubled", 0, 0, 6, 4, 0, 0, -1, -1,
         {{Grey(1), Grey(1), Grey(2), Grey(2), Grey(3), Grey(3)},
          {Grey(1), Grey(1), Grey(2), Grey(2), Grey(3), Grey(3)},
          {Grey(4), Grey(4), Grey(5), Grey(5), Grey(6), Grey(6)},
          {Grey(4), Grey(4), Grey(5), Grey(5), Grey(6), Grey(6)}}},
        {"shrunk to one pixel takes the centre", 0, 0, 1, 1, 0, 0, -1, -1, {{Grey(5)}}},
        {"part of the source", 0, 0, 2, 1, 1, 1, 2, 1, {{Grey(5), Grey(6)}}},
        {"source beyond the picture is black", 0, 0, 2, 1, 2, 0, 2, 1, {{Grey(3), 0}}},
    };
    for (int bits : {8, 16, 24, 32}) {
        const CDIB dib = Numbered(bits);
        for (const Case& c : kCases) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << bits << " bits");
            platform::Surface surface;
            ASSERT_EQ(dib.Paint(surface, c.xDest, c.yDest, c.wDest, c.hDest, c.xSrc, c.ySrc,
                                c.wSrc, c.hSrc),
                      1);
            platform::Point origin;
            Rows shown = Shown(surface, &origin);
            EXPECT_EQ(shown, c.expected);
            EXPECT_EQ(origin, (platform::Point{c.xDest, c.yDest}));
        }
    }
}

TEST(CdibPaint, DrawsOneAndFourBitPicturesThroughTheirPalettes) {
    for (int bits : {1, 4}) {
        CDIB dib(9, 1, bits);
        auto* table = dib.GetColorTable().data();
        table[4 * 1 + 2] = 200;  // entry 1: red 200
        dib.GetBits()[0] = bits == 1 ? 0x40 : 0x01;  // pixel 1 is entry 1
        platform::Surface surface;
        ASSERT_EQ(dib.Paint(surface, 0, 0, -1, -1, 0, 0, -1, -1), 1) << bits;
        const Rows shown = Shown(surface);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0][0], 0u) << bits;
        EXPECT_EQ(shown[0][1], 0xC80000u) << bits;
    }
}

TEST(CdibPaint, RefusesWhatCannotBeDrawn) {
    struct Case {
        const char* name;
        CDIB dib;
        int w, h;
    };
    std::vector<std::uint8_t> codec(40 + 4);
    BitmapInfoHeader h;
    h.biWidth = h.biHeight = 2;
    h.biBitCount = 24;
    h.biCompression = 0x64697663;
    h.biSizeImage = 4;
    StoreInfoHeader(codec.data(), h);
    CDIB compressed;
    ASSERT_EQ(compressed.CreateFromPackedDib(codec), 1);
    const Case kCases[] = {
        {"empty", CDIB(0, 0, 0), -1, -1},
        {"compressed", compressed, -1, -1},
        {"zero width", CDIB(2, 2, 24), 0, 5},
        {"negative height", CDIB(2, 2, 24), 5, -2},
        {"absurd size", CDIB(2, 2, 24), 1 << 20, 1 << 20},
    };
    for (const Case& c : kCases) {
        platform::Surface surface;
        EXPECT_EQ(c.dib.Paint(surface, 0, 0, c.w, c.h, 0, 0, -1, -1), 0) << c.name;
        EXPECT_EQ(surface.Serial(), 0u) << c.name;
    }
}

}  // namespace
