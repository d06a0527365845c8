#include "engine/viewer/avatar_drawing.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "engine/viewer/avatar.h"
#include "platform/dib_header.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// An avatar holding an unpacked `bits`-deep image of width x height with `pixels` (bottom-up
// rows, unpadded) and, for 8 bits, colour i = (i, i, i) with the flag bytes of `flagged`.
AvatarSlot MakeAvatar(int width, int height, int bits, const Bytes& pixels, int across = 1,
                  int down = 1, const std::vector<int>& flagged = {}) {
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    Bytes image(40, 0);
    platform::StoreInfoHeader(image.data(), header);
    if (bits == 8) {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            image.insert(image.end(), {v, v, v, 0});
        }
        for (int i : flagged)
            image[40 + 4 * static_cast<std::size_t>(i) + 3] = 0xFF;
    }
    image.insert(image.end(), pixels.begin(), pixels.end());
    AvatarSlot avatar;
    avatar.image = std::move(image);
    avatar.framesAcross = across;
    avatar.framesDown = down;
    avatar.visible = 1;
    return avatar;
}

// A frame of 8-bit indices with guard bytes on both sides, shown as text: one character per
// pixel ('.' for 0, else '0' + index), rows from the top down, separated by '|'.
struct IndexFrame {
    static constexpr std::size_t kGuard = 64;
    IndexFrame(int w, int h)
        : width(w), height(h), bytes(kGuard * 2 + static_cast<std::size_t>(w * h), 0xEE) {
        std::fill(bytes.begin() + kGuard, bytes.end() - kGuard, 0);
    }
    AvatarTarget Target() {
        return {bytes.data() + kGuard, width, height, PixelFormatCode::Indexed8};
    }
    std::uint8_t At(int x, int y) const {
        return bytes[kGuard + static_cast<std::size_t>(y * width + x)];
    }
    std::string Text() const {
        std::string text;
        for (int y = height - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x)
                text += At(x, y) == 0 ? '.' : static_cast<char>('0' + At(x, y));
            if (y > 0)
                text += '|';
        }
        return text;
    }
    bool GuardsIntact() const {
        for (std::size_t i = 0; i < kGuard; ++i) {
            if (bytes[i] != 0xEE || bytes[bytes.size() - 1 - i] != 0xEE)
                return false;
        }
        return true;
    }
    int width, height;
    Bytes bytes;
};

TEST(BlitAvatarCell, TheGridIsReadFromItsBottomLeftCellRightThenUp) {
    // A 4 x 4 picture of 2 x 2 cells; the cell in column c and stored row r holds 1 + c + 2r.
    Bytes pixels(16);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            pixels[static_cast<std::size_t>(y * 4 + x)] =
                static_cast<std::uint8_t>(1 + x / 2 + 2 * (y / 2));
    }
    struct Case {
        double column, row;
        const char* frame;
    };
    const Case cases[] = {
        {0, 0, "11|11"},     {1, 0, "22|22"},  {0, 1, "33|33"},
        {1.9, 1.2, "44|44"}, {-3, 7, "33|33"},  // positions outside the grid are held at its ends
    };
    for (const Case& c : cases) {
        AvatarSlot avatar = MakeAvatar(4, 4, 8, pixels, 2, 2);
        avatar.frameColumn = c.column;
        avatar.frameRow = c.row;
        IndexFrame frame(2, 2);
        BlitAvatarCell(avatar, {0, 0, 2, 2}, false, frame.Target());
        EXPECT_EQ(frame.Text(), c.frame) << c.column << ", " << c.row;
    }
}

TEST(BlitAvatarCell, TheCellIsScaledByNearestSamplingAndFlipped) {
    // 2 x 2: bottom row 1 2, top row 3 4.
    const AvatarSlot avatar = MakeAvatar(2, 2, 8, {1, 2, 3, 4});
    struct Case {
        const char* name;
        AvatarRect destination;
        bool flipped;
        const char* frame;
    };
    const Case cases[] = {
        {"enlarged", {1, 0, 5, 3}, false, ".3344.|.1122.|.1122."},
        {"flipped", {1, 0, 5, 3}, true, ".1122.|.1122.|.3344."},
        {"shrunk to one pixel", {2, 1, 3, 2}, false, "......|..1...|......"},
        {"one column wide", {0, 0, 1, 3}, false, "3.....|1.....|1....."},
        {"empty", {3, 1, 3, 3}, false, "......|......|......"},
        {"inverted", {5, 3, 1, 0}, false, "......|......|......"},
    };
    for (const Case& c : cases) {
        IndexFrame frame(6, 3);
        BlitAvatarCell(avatar, c.destination, c.flipped, frame.Target());
        EXPECT_EQ(frame.Text(), c.frame) << c.name;
    }
}

TEST(BlitAvatarCell, EverythingOutsideTheFrameIsClipped) {
    // 4 x 4 with pixel (x, y) = 1 + x + 2y, so that a 4 x 4 destination copies it one to one.
    Bytes pixels(16);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            pixels[static_cast<std::size_t>(y * 4 + x)] = static_cast<std::uint8_t>(1 + x + 2 * y);
    }
    const AvatarSlot avatar = MakeAvatar(4, 4, 8, pixels);
    const AvatarRect placements[] = {
        {-2, 1, 2, 5},  {5, 2, 9, 6},  {2, -3, 6, 1}, {1, 5, 5, 9},  {-3, -3, 1, 1}, {5, 5, 9, 9},
        {-1, -1, 3, 3}, {8, 0, 12, 4}, {-4, 0, 0, 4}, {0, 8, 4, 12}, {0, -4, 4, 0},
    };
    for (const AvatarRect& at : placements) {
        IndexFrame frame(8, 8);
        BlitAvatarCell(avatar, at, false, frame.Target());
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= at.left && x < at.right && y >= at.bottom && y < at.top;
                const int expected = inside ? 1 + (x - at.left) + 2 * (y - at.bottom) : 0;
                ASSERT_EQ(frame.At(x, y), expected)
                    << "at " << at.left << ", " << at.bottom << ": pixel " << x << ", " << y;
            }
        }
        EXPECT_TRUE(frame.GuardsIntact());
    }

    // Rectangles far larger than the frame show the cell's middle pixel (2, 2) everywhere.
    const AvatarRect huge[] = {{-1000000000, -1000000000, 1000000000, 1000000000},
                               {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
    for (const AvatarRect& at : huge) {
        IndexFrame frame(8, 8);
        BlitAvatarCell(avatar, at, false, frame.Target());
        std::string middle = "77777777";
        for (int row = 1; row < 8; ++row)
            middle += "|77777777";
        EXPECT_EQ(frame.Text(), middle);
        EXPECT_TRUE(frame.GuardsIntact());
    }
}

TEST(BlitAvatarCell, DamagedImagesAndUnknownDepthsDrawNothing) {
    const Bytes four{5, 5, 5, 5};
    struct Case {
        const char* name;
        AvatarSlot avatar;
        int format;
    };
    AvatarSlot shortImage = MakeAvatar(2, 2, 8, four);
    shortImage.image.resize(shortImage.image.size() - 1);
    AvatarSlot tooManyColumns = MakeAvatar(2, 2, 8, four, 3, 1);
    AvatarSlot noGrid = MakeAvatar(2, 2, 8, four);
    noGrid.framesDown = 0;
    AvatarSlot headerOnly = MakeAvatar(2, 2, 8, four);
    headerOnly.image.resize(20);
    Case cases[] = {
        {"pixels cut short", std::move(shortImage), 8},
        {"cells narrower than a pixel", std::move(tooManyColumns), 8},
        {"no grid rows", std::move(noGrid), 8},
        {"header cut short", std::move(headerOnly), 8},
        {"empty slot", AvatarSlot{}, 8},
        {"16-bit avatar", MakeAvatar(2, 2, 16, Bytes(8, 5)), 16},
        {"negative width", MakeAvatar(-2, 2, 24, Bytes(12, 5)), 24},
        {"24-bit avatar on indices", MakeAvatar(2, 2, 24, Bytes(12, 5)), 8},
        {"32-bit avatar on indices", MakeAvatar(2, 2, 32, Bytes(16, 5)), 8},
        {"32-bit frame", MakeAvatar(2, 2, 8, four), 32},
    };
    for (const Case& c : cases) {
        Bytes frame(4 * 4 * 4, 0);
        BlitAvatarCell(c.avatar, {0, 0, 4, 4}, false,
                       {frame.data(), 4, 4, static_cast<PixelFormatCode>(c.format)});
        EXPECT_EQ(frame, Bytes(frame.size(), 0)) << c.name;
    }
}

// One avatar pixel over one frame pixel, at every depth pairing. The colour is blue 0x10,
// green 0x84, red 0xF8: 0x7E02 as 5-5-5, 0xFC22 as 5-6-5.
TEST(BlitAvatarCell, PixelsAreWrittenAtEveryDepth) {
    struct Case {
        const char* name;
        int bits;
        Bytes pixel;  // the avatar's single pixel
        std::vector<int> flagged;
        int format;
        Bytes under;     // the frame pixel before
        Bytes expected;  // and after
    };
    const Bytes colour{0x10, 0x84, 0xF8};
    const Bytes opaque{0x10, 0x84, 0xF8, 0};
    const Bytes clear{0x10, 0x84, 0xF8, 0xFF};
    const Bytes quarter{0x10, 0x84, 0xF8, 0x40};
    const Bytes white{0xFF, 0xFF, 0xFF};
    const Case cases[] = {
        {"index", 8, {7}, {}, 8, {3}, {7}},
        {"index 0 is transparent", 8, {0}, {}, 8, {3}, {3}},
        {"flagged index still copied", 8, {7}, {7}, 8, {3}, {7}},
        {"grey entry on 24", 8, {0x40}, {}, 24, {1, 2, 3}, {0x40, 0x40, 0x40}},
        {"grey entry on 5-5-5", 8, {0x40}, {}, 15, {1, 2}, {0x08, 0x21}},
        {"grey entry on 5-6-5", 8, {0x40}, {}, 16, {1, 2}, {0x08, 0x42}},
        {"flagged entry on 24", 8, {0x40}, {0x40}, 24, {1, 2, 3}, {1, 2, 3}},
        {"flagged entry on 5-5-5", 8, {0x40}, {0x40}, 15, {1, 2}, {1, 2}},
        {"flagged entry on 5-6-5", 8, {0x40}, {0x40}, 16, {1, 2}, {1, 2}},
        {"24 on 24", 24, colour, {}, 24, {1, 2, 3}, colour},
        {"24 on 5-5-5", 24, colour, {}, 15, {1, 2}, {0x02, 0x7E}},
        {"24 on 5-6-5", 24, colour, {}, 16, {1, 2}, {0x22, 0xFC}},
        {"24 black is not transparent", 24, {0, 0, 0}, {}, 24, {1, 2, 3}, {0, 0, 0}},
        {"32 opaque on 24", 32, opaque, {}, 24, {1, 2, 3}, colour},
        {"32 opaque on 5-5-5", 32, opaque, {}, 15, {1, 2}, {0x02, 0x7E}},
        {"32 opaque on 5-6-5", 32, opaque, {}, 16, {1, 2}, {0x22, 0xFC}},
        {"32 clear on 24", 32, clear, {}, 24, {1, 2, 3}, {1, 2, 3}},
        {"32 clear on 5-5-5", 32, clear, {}, 15, {1, 2}, {1, 2}},
        {"32 quarter clear over black", 32, quarter, {}, 24, {0, 0, 0}, {0x0C, 0x63, 0xBA}},
        {"32 quarter clear over white", 32, quarter, {}, 24, white, {0x4B, 0xA2, 0xF9}},
        {"32 quarter clear over 5-5-5", 32, quarter, {}, 15, {0xFF, 0x7F}, {0x69, 0x7E}},
        {"32 quarter clear over 5-6-5", 32, quarter, {}, 16, {0xFF, 0xFF}, {0x09, 0xFD}},
    };
    for (const Case& c : cases) {
        const AvatarSlot avatar = MakeAvatar(1, 1, c.bits, c.pixel, 1, 1, c.flagged);
        Bytes frame = c.under;
        BlitAvatarCell(avatar, {0, 0, 1, 1}, false,
                       {frame.data(), 1, 1, static_cast<PixelFormatCode>(c.format)});
        EXPECT_EQ(frame, c.expected) << c.name;
    }
}

TEST(BlitAvatarCell, WideSourceRowsAreSteppedByTheirDepth) {
    // A 2 x 2 24-bit picture with a 1 x 2 grid: each cell is one pixel wide; the shown
    // (left-hand) cell's bottom pixel is blue 1, its top pixel blue 2.
    const Bytes pixels{1, 0, 0, 9, 0, 0, 2, 0, 0, 9, 0, 0};
    const AvatarSlot avatar = MakeAvatar(2, 2, 24, pixels, 2, 1);
    Bytes frame(2 * 3, 0);
    BlitAvatarCell(avatar, {0, 0, 1, 2}, false, {frame.data(), 1, 2, PixelFormatCode::Bgr24});
    EXPECT_EQ(frame, (Bytes{1, 0, 0, 2, 0, 0}));
}

}  // namespace
