#include "engine/viewer/avatar.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/byte_order.h"
#include "platform/dib_header.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// An information header, 256 colours and `data` behind it.
Bytes Block(int width, int height, int bitCount, std::uint32_t compression, std::uint32_t imageSize,
            const Bytes& data, int columns = 1, int rows = 1) {
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biCompression = compression;
    header.biSizeImage = imageSize;
    header.biXPelsPerMeter = columns;
    header.biYPelsPerMeter = rows;
    header.biClrUsed = 256;
    Bytes b(40 + 1024, 0);
    platform::StoreInfoHeader(b.data(), header);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

constexpr std::uint32_t kQzmv = 'q' | 'z' << 8 | 'm' << 16 | 'v' << 24;

TEST(MatchAvatarPalette, TransparentColoursBecomeIndexZero) {
    Bytes avatar = Block(4, 1, 8, 0, 0, {7, 1, 2, 0});
    auto colour = [&avatar](int i, int b, int g, int r, int flag) {
        avatar[40 + 4 * i] = static_cast<std::uint8_t>(b);
        avatar[40 + 4 * i + 1] = static_cast<std::uint8_t>(g);
        avatar[40 + 4 * i + 2] = static_cast<std::uint8_t>(r);
        avatar[40 + 4 * i + 3] = static_cast<std::uint8_t>(flag);
    };
    colour(7, 10, 10, 10, 0xFF);
    colour(1, 200, 0, 0, 0);
    colour(2, 0, 0, 250, 0);
    Bytes panorama(1024, 0);
    for (int j = 0; j < 256; ++j)
        panorama[4 * j + 1] = static_cast<std::uint8_t>(j);  // greens
    panorama[4 * 50] = 190;                                  // entry 50: nearly avatar colour 1
    panorama[4 * 60 + 2] = 255;                              // entry 60: nearly avatar colour 2
    panorama[4 * 61 + 2] = 255;  // entry 61: the same colour; the lower index wins
    panorama[4 * 61 + 1] = 60;

    MatchAvatarPalette(avatar, panorama.data());
    EXPECT_EQ(Bytes(avatar.begin() + 1064, avatar.end()), (Bytes{0, 50, 60, 0}));
    EXPECT_EQ(avatar[40 + 3], 0xFF);
    for (int i = 1; i < 256; ++i)
        EXPECT_EQ(avatar[40 + 4 * i + 3], 0) << i;
    EXPECT_EQ(avatar[40 + 4 * 50], 190);
}

class AvatarLoadTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("avatar-load-" + std::to_string(::getpid()) + "-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // A file: file header (with `fileSize`, 0 = the real size) and `block`.
    std::string File(const std::string& name, const Bytes& block, std::uint32_t fileSize = 0) {
        Bytes bytes(14, 0);
        bytes[0] = 'B';
        bytes[1] = 'M';
        platform::StoreLe32(
            &bytes[2], fileSize != 0 ? fileSize : static_cast<std::uint32_t>(14 + block.size()));
        bytes.insert(bytes.end(), block.begin(), block.end());
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return (dir_ / name).string();
    }
    fs::path dir_;
};

TEST_F(AvatarLoadTest, GoodFilesLoadAndHostileOnesLeaveTheSlotEmpty) {
    const double at[3] = {1, 2, 3};
    const double size[3] = {4, 5, 6};
    struct Case {
        const char* name;
        std::string path;
        int result;
    };
    const Bytes pixels8(8 * 4, 3);
    const Case cases[] = {
        {"8-bit", File("a.avt", Block(8, 4, 8, 0, 0, pixels8, 4, 2)), 0},
        {"coded", File("b.avt", Block(8, 4, 16, kQzmv, 1024 + 2, {32, 5}, 4, 2)), 0},
        {"24-bit", File("c.avt", Block(2, 2, 24, 0, 0, Bytes(12, 9))), 0},
        {"missing", (dir_ / "none.avt").string(), 1},
        {"size field past the end", File("d.avt", Block(8, 4, 8, 0, 0, pixels8), 1u << 30), 1},
        {"size field inside the headers", File("e.avt", Block(8, 4, 8, 0, 0, pixels8), 20), 1},
        {"pixels cut short", File("f.avt", Block(8, 4, 8, 0, 0, Bytes(10, 3))), 1},
        {"16-bit without the code", File("g.avt", Block(2, 2, 16, 0, 0, Bytes(8, 0))), 1},
        {"another compression", File("h.avt", Block(2, 2, 8, 1, 0, Bytes(4, 0))), 1},
        {"negative height", File("i.avt", Block(2, -2, 8, 0, 0, Bytes(4, 0))), 1},
        {"a cell a pixel", File("j.avt", Block(8, 4, 8, 0, 0, pixels8, 8, 4)), 0},
        {"more columns than pixels", File("k.avt", Block(64, 1, 8, 0, 0, Bytes(64, 3), 1000)), 1},
        {"more rows than pixels", File("l.avt", Block(8, 4, 8, 0, 0, pixels8, 1, 5)), 1},
        {"the largest grid", File("m.avt", Block(8, 4, 8, 0, 0, pixels8, 0x7FFFFFFF, 1)), 1},
    };
    for (const Case& c : cases) {
        Avatar avatar;
        EXPECT_EQ(avatar.Load(c.path.c_str(), at, size, 1), c.result) << c.name;
        std::int16_t column = 0, row = 0;
        EXPECT_EQ(avatar.IsEmpty(&column, &row), c.result) << c.name;
    }

    Avatar avatar;
    ASSERT_EQ(avatar.Load(cases[1].path.c_str(), at, size, 1), 0);
    AvatarSlot slot = avatar.Snapshot();
    EXPECT_EQ(slot.framesAcross, 4);
    EXPECT_EQ(slot.framesDown, 2);
    EXPECT_EQ(slot.position[2], 3);
    EXPECT_EQ(slot.size[0], 4);
    EXPECT_EQ(avatar.SetAnimationRate(0.5, 2), 0);
    slot = avatar.Snapshot();
    EXPECT_EQ(slot.columnRate, 2);
    EXPECT_EQ(slot.rowRate, 4);
    EXPECT_EQ(avatar.SetViewVelocity(1, 0, 0), 1) << "no owner, no view";
    EXPECT_EQ(avatar.Load(nullptr, at, size, 1), 0);
    std::int16_t column = 0, row = 0;
    EXPECT_EQ(avatar.IsEmpty(&column, &row), 1);
    EXPECT_EQ(avatar.SetVelocity(1, 2, 3), 1);
}

}  // namespace
