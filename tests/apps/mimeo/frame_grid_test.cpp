#include "apps/mimeo/frame_grid.h"

#include <gtest/gtest.h>

#include "apps/mimeo/frame_files.h"
#include "mimeo_test_pictures.h"
#include "platform/picture_limits.h"

namespace {

// Pixel (x, y) of frame `k` has blue k, green x, red y.
PackedDib Frame(int k, int width, int height, int bits = 24) {
    return TrueColour(
        width, height,
        [k](int x, int y) {
            return Bgr{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(x),
                       static_cast<std::uint8_t>(y)};
        },
        bits);
}

TEST(ResizeFrame, SamplesTheNearestSourcePixel) {
    const PackedDib frame = Frame(1, 4, 2);
    EXPECT_EQ(*ResizeFrame(frame, 4, 2), frame) << "already at the size";
    struct Case {
        int width, height;
        int x, y;
        int sourceX, sourceY;
    };
    const Case cases[] = {
        {8, 4, 7, 3, 3, 1},
        {8, 4, 1, 1, 0, 0},
        {2, 1, 1, 0, 2, 0},
        {3, 3, 2, 2, 2, 1},
    };
    for (const Case& c : cases) {
        const std::optional<PackedDib> resized = ResizeFrame(frame, c.width, c.height);
        ASSERT_TRUE(resized);
        EXPECT_EQ(HeaderOf(*resized).biWidth, c.width);
        EXPECT_EQ(resized->size(), 40u + static_cast<std::size_t>(c.width * c.height * 3));
        const Bgr pixel = PixelAt(*resized, c.x, c.y);
        EXPECT_EQ(pixel.green, c.sourceX) << c.width << "x" << c.height;
        EXPECT_EQ(pixel.red, c.sourceY) << c.width << "x" << c.height;
    }
    EXPECT_FALSE(ResizeFrame(frame, 0, 3));
}

TEST(TileFrames, FramesGoRightThenUpAtTheLargestSize) {
    std::vector<PackedDib> frames{Frame(0, 32, 32), Frame(1, 40, 24)};
    ASSERT_TRUE(EqualizeFrames(frames, 0, 0));
    for (const PackedDib& f : frames) {
        EXPECT_EQ(HeaderOf(f).biWidth, 40);
        EXPECT_EQ(HeaderOf(f).biHeight, 32);
    }

    struct Case {
        int columns, rows;
    };
    for (const Case c : {Case{3, 1}, Case{1, 3}, Case{2, 3}, Case{3, 2}}) {
        std::vector<PackedDib> grid;
        for (int k = 0; k < c.columns * c.rows; ++k)
            grid.push_back(Frame(k, k == 1 ? 5 : 6, 4));
        const std::optional<PackedDib> tiled = TileFrames(grid, c.columns, c.rows);
        ASSERT_TRUE(tiled);
        const platform::BitmapInfoHeader header = HeaderOf(*tiled);
        EXPECT_EQ(header.biWidth, 6 * c.columns);
        EXPECT_EQ(header.biHeight, 4 * c.rows);
        EXPECT_EQ(header.biXPelsPerMeter, c.columns);
        EXPECT_EQ(header.biYPelsPerMeter, c.rows);
        for (int k = 0; k < c.columns * c.rows; ++k) {
            const int left = 6 * (k % c.columns);
            const int bottom = 4 * (k / c.columns);
            EXPECT_EQ(PixelAt(*tiled, left, bottom).blue, k) << c.columns << "x" << c.rows;
            EXPECT_EQ(PixelAt(*tiled, left + 5, bottom + 3).blue, k);
            EXPECT_EQ(PixelAt(*tiled, left + 5, bottom + 3).green, k == 1 ? 4 : 5);
            EXPECT_EQ(PixelAt(*tiled, left + 5, bottom + 3).red, 3);
        }
    }
    std::vector<PackedDib> three{Frame(0, 4, 4), Frame(1, 4, 4), Frame(2, 4, 4)};
    EXPECT_FALSE(TileFrames(three, 2, 2)) << "columns x rows must match the frames";
    std::vector<PackedDib> mixed{Frame(0, 4, 4), Frame(1, 4, 4, 32)};
    EXPECT_FALSE(TileFrames(mixed, 2, 1)) << "one depth for all frames";
}

TEST(TileFrames, AGridOverTheCapIsRefusedBeforeAnyFrameGrows) {
    // One big frame among three one-pixel frames, 2 x 2, under a cap of 4096 pixels.
    const platform::ScopedPictureCap cap({4096, platform::kMaxPictureBytes});
    for (const int side : {32, 33}) {
        std::vector<PackedDib> frames{Frame(0, side, side), Frame(1, 1, 1), Frame(2, 1, 1),
                                      Frame(3, 1, 1)};
        EXPECT_EQ(TileFrames(frames, 2, 2).has_value(), side == 32);
        if (side == 33) {
            EXPECT_EQ(frames[3].size(), 40u + 3) << "the small frames keep their size";
        }
    }
}

TEST(SortFrameFiles, SortsByNameInByteOrder) {
    std::vector<std::string> paths{"/f/b.bmp", "/f/a.bmp",   "/f/C.bmp",
                                   "/g/a.bmp", "/f/a10.bmp", "/f/a2.bmp"};
    SortFrameFiles(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"/f/C.bmp", "/f/a.bmp", "/g/a.bmp", "/f/a10.bmp",
                                               "/f/a2.bmp", "/f/b.bmp"}));
    EXPECT_EQ(FolderOf("/f/a.bmp"), "/f");
    EXPECT_EQ(FolderOf("/a.bmp"), "/");
    EXPECT_EQ(FolderOf("a.bmp"), "");
}

}  // namespace
