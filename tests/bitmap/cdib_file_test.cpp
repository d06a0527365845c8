#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bitmap/cdib.h"
#include "platform/byte_order.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

std::string Written(const CDIB& dib) {
    std::ostringstream out;
    EXPECT_EQ(dib.Write(out), 1);
    return out.str();
}

// Every byte of the block after the header (table and pixels, padding included) set.
CDIB Patterned(int width, int height, int bits) {
    CDIB dib(width, height, bits);
    std::uint8_t next = 3;
    for (std::uint8_t& v : dib.GetColorTable())
        v = next += 5;
    for (std::uint8_t& v : dib.GetBits())
        v = next += 7;
    return dib;
}

TEST(CdibFile, RoundTripAtEveryDepthAndOddWidth) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (int width : {1, 3, 5, 7, 33}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            const CDIB dib = Patterned(width, 3, bits);
            const std::string file = Written(dib);
            EXPECT_EQ(file.size(), 54 + dib.GetColorTable().size() + dib.GetStride() * 3);
            std::istringstream in(file);
            CDIB back(1, 1, 24);
            ASSERT_EQ(back.Read(in), 1);
            EXPECT_TRUE(std::ranges::equal(back.GetBlock(), dib.GetBlock()));
            EXPECT_EQ(in.tellg(), static_cast<std::streamoff>(file.size()));
        }
    }
}

TEST(CdibFile, WrittenFileAndPixelOffsets) {
    const std::array<std::uint32_t, 3> kCases[] = {{24, 78, 54}, {8, 1086, 1078}, {1, 70, 62}};
    for (const auto& [bits, size, offset] : kCases) {
        const std::string file = Written(CDIB(3, 2, static_cast<int>(bits)));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
        EXPECT_EQ(file.size(), size) << bits;
        EXPECT_EQ(platform::LoadLe32(bytes + 2), size) << bits;
        EXPECT_EQ(platform::LoadLe32(bytes + 10), offset) << bits;
        EXPECT_EQ(platform::LoadLe32(bytes + 14), 40u) << bits;
    }
}

// Reads `file` and checks a 2 x 2 picture: top row red, blue; bottom row green, white.
void ExpectTwoByTwo(const std::string& file, const char* name) {
    std::istringstream in(file);
    CDIB dib;
    ASSERT_EQ(dib.Read(in), 1) << name;
    ASSERT_EQ(dib.GetHeight(), 2) << name;
    const std::uint32_t kColours[] = {0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
        std::uint8_t r = 1, g = 1, b = 1;
        ASSERT_EQ(dib.GetPixel(i % 2, i / 2, &r, &g, &b), 1) << name;
        EXPECT_EQ(std::uint32_t{r} << 16 | g << 8 | b, kColours[i]) << name << " pixel " << i;
    }
}

TEST(CdibFile, ReadsEachHeaderKindAndRowOrder) {
    BmpSpec info;
    info.width = info.height = 2;
    info.pixels = {0, 255, 0, 255, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0};
    BmpSpec topDown = info;
    topDown.height = -2;
    std::rotate(topDown.pixels.begin(), topDown.pixels.begin() + 8, topDown.pixels.end());
    BmpSpec v5 = info, v4TopDown = topDown, core = info;
    v5.headerSize = 124;
    v4TopDown.headerSize = 108;
    core.headerSize = 12;
    BmpSpec palette = info;  // four colours used: red, blue, green, white
    palette.bitCount = 8;
    palette.colorsUsed = 4;
    palette.colorTable = {0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0};
    palette.pixels = {2, 3, 0, 0, 0, 1, 0, 0};
    BmpSpec corePalette = palette;  // 3-byte entries, full table
    corePalette.headerSize = 12;
    corePalette.colorTable = {0, 0, 255, 255, 0, 0, 0, 255, 0, 255, 255, 255};
    corePalette.colorTable.resize(256 * 3);
    const std::pair<const char*, BmpSpec> kCases[] = {{"info", info},
                                                      {"top-down", topDown},
                                                      {"V5", v5},
                                                      {"V4 top-down", v4TopDown},
                                                      {"core", core},
                                                      {"8-bit, 4 colours", palette},
                                                      {"8-bit core", corePalette}};
    for (const auto& [name, spec] : kCases)
        ExpectTwoByTwo(BuildBmp(spec), name);
}

TEST(CdibFile, SixteenBitFieldsHonourTheirMasks) {
    for (std::uint32_t headerSize : {40u, 56u, 124u}) {
        BmpSpec spec;  // 5-6-5: bottom row green, white; top row red, blue
        spec.headerSize = headerSize;
        spec.width = spec.height = 2;
        spec.bitCount = 16;
        spec.compression = 3;
        spec.masks = {0xF800, 0x07E0, 0x001F};
        spec.pixels = {0xE0, 0x07, 0xFF, 0xFF, 0x00, 0xF8, 0x1F, 0x00};
        std::istringstream in(BuildBmp(spec));
        CDIB dib;
        ASSERT_EQ(dib.Read(in), 1) << headerSize;
        const std::array<int, 5> kPixels[] = {
            {1, 1, 248, 252, 248}, {0, 0, 248, 0, 0}, {0, 1, 0, 252, 0}};
        for (const auto& [x, y, r, g, b] : kPixels) {
            std::uint8_t pr, pg, pb;
            dib.GetPixel(x, y, &pr, &pg, &pb);
            EXPECT_EQ((std::array<int, 3>{pr, pg, pb}), (std::array<int, 3>{r, g, b}));
        }
        // The masks travel with the picture through writing, reading and SetPixel.
        std::istringstream again(Written(dib));
        CDIB back;
        ASSERT_EQ(back.Read(again), 1);
        EXPECT_TRUE(std::ranges::equal(back.GetBlock().subspan(40), dib.GetBlock().subspan(40)));
        back.SetPixel(1, 0, 0, 255, 0);
        EXPECT_EQ(back.GetBits()[6] | back.GetBits()[7] << 8, 0x07E0);
    }
}

TEST(CdibFile, SerialisedBitmapsFollowEachOtherInOneStream) {
    const CDIB first = Patterned(3, 2, 24), second = Patterned(5, 1, 8);
    std::stringstream archive;
    first.Write(archive);
    second.Write(archive);
    archive << "tail";
    CDIB a, b;
    ASSERT_EQ(a.Read(archive) + b.Read(archive), 2);
    EXPECT_TRUE(std::ranges::equal(a.GetBlock(), first.GetBlock()));
    EXPECT_TRUE(std::ranges::equal(b.GetBlock(), second.GetBlock()));
    std::string rest;
    archive >> rest;
    EXPECT_EQ(rest, "tail");
}

TEST(CdibFile, SaveAndLoadByPathNeverLoseTheExistingFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                          ("cdib_file_tests-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "a_folder");
    const std::string path = (dir / "face.bmp").string();
    const CDIB dib = Patterned(7, 5, 24);
    ASSERT_EQ(dib.Save(path) + dib.Save(path), 2);  // new, then over the existing file
    CDIB back;
    ASSERT_EQ(back.Load(path), 1);
    EXPECT_TRUE(std::ranges::equal(back.GetBlock(), dib.GetBlock()));

    EXPECT_EQ(CDIB(0, 0, 0).Save(path), 0);
    EXPECT_EQ(dib.Save((dir / "a_folder").string()), 0);
    EXPECT_EQ(dib.Save((dir / "missing" / "x.bmp").string()), 0);
    ASSERT_EQ(back.Load(path), 1);
    EXPECT_TRUE(std::ranges::equal(back.GetBlock(), dib.GetBlock()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);  // no litter

    { std::ofstream((dir / "text.bmp").string()) << "not a bitmap"; }
    EXPECT_EQ(back.Load((dir / "text.bmp").string()) + back.Load((dir / "none.bmp").string()), 0);
    EXPECT_TRUE(back.IsEmpty());
    std::filesystem::remove_all(dir);
}

}  // namespace
