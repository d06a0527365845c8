// Avatars in the engine's frames: loaded from avatar files, moved and drawn by the frame step
// of a panorama shown in a headless window. The panorama's pixels all have red 7, so avatar
// pixels are told apart by their red channel.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "engine/viewer/box_projection.h"
#include "engine_fixture.h"
#include "engine_test_access.h"
#include "platform/byte_order.h"
#include "platform/clock.h"
#include "platform/dib_header.h"
#include "platform/display_depth.h"

namespace {

namespace fs = std::filesystem;

// The 54 bytes of a bitmap file's two headers: "BM", the file's size, the pixels' offset and
// `header`.
Bytes BitmapHeaders(std::size_t fileSize, std::uint32_t pixelOffset,
                    const platform::BitmapInfoHeader& header) {
    Bytes file(platform::kFileHeaderSize + platform::kInfoHeaderSize, 0);
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(fileSize));
    platform::StoreLe32(&file[10], pixelOffset);
    platform::StoreInfoHeader(&file[platform::kFileHeaderSize], header);
    return file;
}

// An avatar file. `colours` (blue, green, red, flag) makes it 8-bit, with `data` holding
// the indices, or with `coded` the 16-bit (length, index) words; without colours `data`
// holds 24-bit pixels.
Bytes AvatarFile(int width, int height, int columns, int rows, const Bytes& colours,
                 const Bytes& data, bool coded = false) {
    const bool indexed = !colours.empty();
    Bytes palette = colours;
    if (indexed)
        palette.resize(1024, 0);
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(!indexed ? 24 : coded ? 16 : 8);
    if (coded) {
        header.biCompression = 'q' | 'z' << 8 | 'm' << 16 | 'v' << 24;
        header.biSizeImage = static_cast<std::uint32_t>(data.size() + 1024);
    }
    header.biXPelsPerMeter = columns;
    header.biYPelsPerMeter = rows;
    header.biClrUsed = indexed ? 256 : 0;
    Bytes file = BitmapHeaders(54 + palette.size() + data.size(), indexed ? 1078 : 54, header);
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// A 24-bit avatar of one colour with red `red`.
Bytes SolidAvatar(std::uint8_t red) {
    Bytes pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(), {0, 0, red});
    return AvatarFile(2, 2, 1, 1, {}, pixels);
}

// An 8-bit bitmap file, 256 x 128: pixel (x, y) is index x mod 200; colour i < 200 is
// (i, 0, 7) and colour 250 is (0, 0, 200).
Bytes IndexedPanorama() {
    platform::BitmapInfoHeader header;
    header.biWidth = 256;
    header.biHeight = 128;
    header.biBitCount = 8;
    header.biClrUsed = 256;
    Bytes file = BitmapHeaders(54 + 1024 + 256 * 128, 54 + 1024, header);
    for (int i = 0; i < 256; ++i) {
        const auto blue = static_cast<std::uint8_t>(i < 200 ? i : 0);
        const std::uint8_t red = i == 250 ? 200 : 7;
        file.insert(file.end(), {blue, 0, red, 0});
    }
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 256; ++x)
            file.push_back(static_cast<std::uint8_t>(x % 200));
    }
    return file;
}

struct Box {
    double position[3];
    double size[3];
};

// Frame pixels of one red value: how many, and the rectangle that holds them.
struct Found {
    int count = 0;
    int left = INT32_MAX, bottom = INT32_MAX, right = INT32_MIN, top = INT32_MIN;
};

class AvatarFrameTest : public EngineFixture {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("avatar-frame-" + std::to_string(::getpid()) + "-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
        LoadDefault(128, 96);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return (dir_ / name).string();
    }
    void Place(std::int16_t slot, const std::string& path, const Box& box) {
        ASSERT_EQ(engine.GetAvatar(slot)->Load(path.c_str(), box.position, box.size, 1), 0);
    }
    std::int16_t Step() {
        const ViewStateGuard lock = Access::State(engine);
        return engine.RenderFrame();
    }
    // Red of the shown picture's pixel (x, y), counted from its lower-left corner.
    std::uint8_t RedAt(int x, int y) const {
        const auto [width, pixels] = Shown(window);
        return pixels[(static_cast<std::size_t>(y) * width + x) * 3 + 2];
    }
    Found Find(std::uint8_t red) const {
        const auto [width, pixels] = Shown(window);
        const int height = width > 0 ? static_cast<int>(pixels.size() / 3 / width) : 0;
        Found found;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (pixels[(static_cast<std::size_t>(y) * width + x) * 3 + 2] != red)
                    continue;
                ++found.count;
                found.left = std::min(found.left, x);
                found.right = std::max(found.right, x + 1);
                found.bottom = std::min(found.bottom, y);
                found.top = std::max(found.top, y + 1);
            }
        }
        return found;
    }

    fs::path dir_;
};

TEST_F(AvatarFrameTest, AnAvatarFillsTheRectangleItsBoxProjectsTo) {
    const std::string path = Write("solid.avt", SolidAvatar(200));
    const Box boxes[] = {
        {{0, 10, 0}, {2, 0, 2}},
        {{3, 20, -1}, {4, 2, 1}},
        {{-2, 8, 1.5}, {1, 1, 1}},
    };
    for (const Box& box : boxes) {
        Place(0, path, box);
        Step();
        int x0, y0, x1, y1;
        ASSERT_TRUE(ProjectBox(*Access::State(engine), box.position, box.size, &x0, &y0, &x1, &y1));
        const Found found = Find(200);
        EXPECT_EQ(found.count, (x1 - x0) * (y1 - y0)) << box.position[0];
        EXPECT_EQ(found.left, x0);
        EXPECT_EQ(found.right, x1);
        EXPECT_EQ(found.bottom, y0);
        EXPECT_EQ(found.top, y1);
    }
    // Straight ahead in a 60-degree view 128 pixels wide: 2 units at distance 10 span about
    // 2 / 10 x 64 / tan(30) = 22 pixels around the frame's centre.
    Place(0, path, boxes[0]);
    Step();
    const Found found = Find(200);
    EXPECT_NEAR(found.left, 53, 1);
    EXPECT_NEAR(found.right, 75, 1);
    EXPECT_NEAR(found.bottom, 37, 1);
    EXPECT_NEAR(found.top, 59, 1);
}

TEST_F(AvatarFrameTest, FlaggedColoursOfACodedFileLetThePanoramaThrough) {
    // 4 x 2: the left half index 1 (red 200), the right half index 2 (red 100, transparent),
    // run-length coded.
    Bytes colours(12, 0);
    colours[4 + 2] = 200;
    colours[8 + 2] = 100;
    colours[8 + 3] = 0xFF;
    const std::string path =
        Write("coded.avt", AvatarFile(4, 2, 1, 1, colours, {2, 1, 2, 2, 2, 1, 2, 2}, true));
    Place(0, path, {{0, 10, 0}, {4, 0, 2}});
    Step();
    int x0, y0, x1, y1;
    ASSERT_TRUE(ProjectBox(*Access::State(engine), Access::State(engine)->avatars[0].position,
                           Access::State(engine)->avatars[0].size, &x0, &y0, &x1, &y1));
    const int halfWidth = (x1 - x0 + 1) / 2;
    const Found opaque = Find(200);
    EXPECT_EQ(opaque.count, halfWidth * (y1 - y0));
    EXPECT_EQ(opaque.left, x0);
    EXPECT_EQ(opaque.right, x0 + halfWidth);
    EXPECT_EQ(Find(100).count, 0);
    EXPECT_EQ(RedAt(x1 - 1, (y0 + y1) / 2), 7) << "the panorama shows through";
}

TEST_F(AvatarFrameTest, NearerAvatarsAreDrawnOverFartherOnes) {
    const std::string nearFile = Write("near.avt", SolidAvatar(200));
    const std::string farFile = Write("far.avt", SolidAvatar(100));
    const Box nearBox{{0, 5, 0}, {1, 0, 1}};
    const Box farBox{{0, 20, 0}, {8, 0, 8}};
    for (const std::int16_t nearSlot : {0, 1, 3}) {
        const std::int16_t farSlot = nearSlot == 0 ? 2 : 0;
        for (std::int16_t slot = 0; slot < Access::State(engine)->avatarSlotCount; ++slot)
            engine.GetAvatar(slot)->Unload();
        Place(nearSlot, nearFile, nearBox);
        Place(farSlot, farFile, farBox);
        Step();
        EXPECT_EQ(RedAt(64, 48), 200) << "near slot " << nearSlot;
        EXPECT_GT(Find(100).count, Find(200).count) << "the far one shows around the near one";
    }
}

TEST_F(AvatarFrameTest, AvatarsAnywhereStayInsideTheFrame) {
    const std::string path = Write("solid.avt", SolidAvatar(200));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const int all = 128 * 96;
    struct Case {
        const char* name;
        Box box;
        int minimum, maximum;  // pixels drawn
    };
    const Case cases[] = {
        {"behind the eye", {{0, -10, 0}, {2, 0, 2}}, 0, 0},
        {"around the eye", {{0, 0, 0}, {4, 4, 4}}, 0, 0},
        {"reaching behind the eye", {{0, 1, 0}, {2, 4, 2}}, 0, 0},
        {"off the left edge", {{-6, 10, 0}, {2, 0, 2}}, 1, 400},
        {"off the right edge", {{6, 10, 0}, {2, 0, 2}}, 1, 400},
        {"off the bottom edge", {{0, 10, -4.5}, {2, 0, 2}}, 1, 400},
        {"off the top edge", {{0, 10, 4.5}, {2, 0, 2}}, 1, 400},
        {"off a corner", {{-6, 10, -4.5}, {2, 0, 2}}, 1, 300},
        {"far to the side", {{-1000, 10, 0}, {2, 0, 2}}, 0, 0},
        {"almost sideways", {{-5, 1e-9, 0}, {2, 0, 2}}, 0, all},
        {"huge in front", {{0, 10, 0}, {1000, 0, 1000}}, all, all},
        {"huge and deep in front", {{0, 1e6, 0}, {1e9, 1e5, 1e9}}, all, all},
        {"tiny", {{0, 10, 0}, {1e-9, 1e-9, 1e-9}}, 0, 1},
        {"no size", {{0, 10, 0}, {0, 0, 0}}, 0, 0},
        {"not a number", {{nan, 10, 0}, {2, 0, 2}}, 0, 0},
        {"infinitely large", {{0, 10, 0}, {inf, 0, inf}}, 0, all},
        {"infinitely far", {{0, inf, 0}, {2, 0, 2}}, 0, 0},
    };
    for (const Case& c : cases) {
        Place(0, path, c.box);
        Step();
        const int drawn = Find(200).count;
        EXPECT_GE(drawn, c.minimum) << c.name;
        EXPECT_LE(drawn, c.maximum) << c.name;
    }
}

TEST_F(AvatarFrameTest, TheFrameStepAnimatesAndWrapsEveryRate) {
    const std::string path = Write("grid.avt", AvatarFile(8, 4, 4, 2, {}, Bytes(8 * 4 * 3, 9)));
    Place(0, path, {{0, 10, 0}, {2, 0, 2}});
    Avatar* avatar = engine.GetAvatar(0);
    ASSERT_EQ(Access::State(engine)->framesPerSecond, 50);
    ASSERT_EQ(avatar->SetAnimationRate(1.25, -0.25), 0);  // 5 columns, -0.5 rows a second
    for (int i = 0; i < 45; ++i)
        Step();
    EXPECT_NEAR(avatar->Snapshot().frameColumn, 0.5, 1e-9);
    EXPECT_NEAR(avatar->Snapshot().frameRow, 1.55, 1e-9);
    std::int16_t column = -1, row = -1;
    EXPECT_EQ(avatar->IsEmpty(&column, &row), 0);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(row, 1);

    const double inf = std::numeric_limits<double>::infinity();
    const double rates[][2] = {{1e300, -1e300}, {1e17, -3e16}, {inf, -inf}};
    for (const auto& rate : rates) {
        avatar->SetAnimationRate(rate[0], rate[1]);
        Step();
        const AvatarSlot slot = avatar->Snapshot();
        EXPECT_GE(slot.frameColumn, 0) << rate[0];
        EXPECT_LT(slot.frameColumn, 4) << rate[0];
        EXPECT_GE(slot.frameRow, 0) << rate[0];
        EXPECT_LT(slot.frameRow, 2) << rate[0];
    }

    // A grid wider than the 16-bit range: one pixel a cell, one step to column 39999.5.
    Place(1, Write("wide.avt", AvatarFile(40000, 1, 40000, 1, {}, Bytes(3 * 40000, 9))),
          {{0, 10, 0}, {2, 0, 2}});
    ASSERT_EQ(engine.GetAvatar(1)->SetAnimationRate(39999.5 * 50 / 40000, 0), 0);
    Step();
    EXPECT_EQ(engine.GetAvatar(1)->IsEmpty(&column, &row), 0);
    EXPECT_EQ(column, 32767);
}

TEST_F(AvatarFrameTest, EveryFrameDepthShowsTheAvatarsColours) {
    // 2 x 1: index 1 is red 201 and opaque, index 2 transparent.
    Bytes colours(12, 0);
    colours[4 + 2] = 201;
    colours[8 + 3] = 0xFF;
    const std::string path = Write("half.avt", AvatarFile(2, 1, 1, 1, colours, {1, 2}));
    struct Case {
        int displayDepth;
        bool indexedPanorama;
        int format;
        Bytes avatarPixel;
    };
    const Case cases[] = {
        {24, true, 8, {250}},  // matched to the panorama's nearest colour
        {15, false, 15, {0x00, 0x64}},
        {16, false, 16, {0x00, 0xC8}},
        {24, false, 24, {0, 0, 201}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(c.displayDepth));
        ViewerEngine fresh;
        const platform::WindowHandle w = backend.CreateWindow({128, 96});
        LoadInto(
            w,
            c.indexedPanorama ? IndexedPanorama() : MakeContainer({{"BTMP", MakeBitmap(256, 128)}}),
            fresh);
        platform::ClearDisplayDepthOverride();
        ASSERT_EQ(platform::DibPixelFormatCode(platform::LoadInfoHeader(Access::Image(fresh))),
                  static_cast<PixelFormatCode>(c.format));
        const Box box{{0, 10, 0}, {2, 0, 2}};
        ASSERT_EQ(fresh.GetAvatar(0)->Load(path.c_str(), box.position, box.size, 1), 0);
        {
            const ViewStateGuard lock = Access::State(fresh);
            fresh.RenderFrame();
        }
        int x0, y0, x1, y1;
        ASSERT_TRUE(ProjectBox(*Access::State(fresh), box.position, box.size, &x0, &y0, &x1, &y1));
        const std::size_t bytes = c.avatarPixel.size();
        int matching = 0, inside = 0;
        const auto [width, pixels] = Shown(w);
        const int height = static_cast<int>(pixels.size() / bytes / width);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p =
                    pixels.data() + (static_cast<std::size_t>(y) * width + x) * bytes;
                if (!std::equal(p, p + bytes, c.avatarPixel.begin()))
                    continue;
                ++matching;
                inside += x >= x0 && x < x0 + (x1 - x0 + 1) / 2 && y >= y0 && y < y1;
            }
        }
        EXPECT_EQ(matching, (x1 - x0 + 1) / 2 * (y1 - y0)) << c.format;
        EXPECT_EQ(inside, matching) << c.format;
    }
}

TEST_F(AvatarFrameTest, AvatarsChangeWhileTheRenderThreadDrawsThem) {
    const std::string path = Write("grid.avt", AvatarFile(8, 4, 4, 2, {}, Bytes(8 * 4 * 3, 9)));
    ASSERT_EQ(engine.Run(-1, 1), kEngineDone);
    for (int i = 0; i < 60; ++i) {
        const auto slot = static_cast<std::int16_t>(i % 3);
        Place(slot, path, {{i % 7 - 3.0, 10, 0}, {2, 0, 2}});
        Avatar* avatar = engine.GetAvatar(slot);
        avatar->SetVelocity(0, 0, i % 5 - 2.0);
        avatar->SetSizeRate(-1, 0, -1);
        avatar->SetAnimationRate(i, -i);
        std::int16_t kind = kHitNothing;
        engine.HitTest(64, 48, &kind);
        if (i % 4 == 0)
            engine.GetAvatar(static_cast<std::int16_t>((i + 1) % 3))->Unload();
        platform::Sleep(2);
    }
    // However few frames a busy machine let the render thread draw meanwhile, ending the
    // endless run with one waiting redraw draws the slots as they were left.
    EXPECT_EQ(engine.Run(0, 2), kEngineDone);
    EXPECT_GT(backend.FramesReady(window), 0);
}

}  // namespace
