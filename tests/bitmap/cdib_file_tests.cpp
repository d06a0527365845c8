#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "bitmap/cdib.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> span) {
    return {span.begin(), span.end()};
}

// Fills every pixel byte (padding included) with a position-dependent pattern.
void FillPattern(CDIB& dib) {
    std::span<std::uint8_t> bits = dib.GetBits();
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint8_t>(i * 7 + 3);
}

std::string Written(const CDIB& dib) {
    std::ostringstream out;
    EXPECT_EQ(dib.Write(out), 1);
    return out.str();
}

TEST(CdibFile, RoundTripAtEveryDepthAndOddWidth) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (int width : {1, 3, 5, 7, 33}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            CDIB dib(width, 3, bits);
            FillPattern(dib);
            auto* table = dib.GetColorTable().data();
            for (std::size_t i = 0; i < dib.GetColorTable().size(); ++i) {
                table[i] = static_cast<std::uint8_t>(255 - i);
            }
            const std::string file = Written(dib);
            const std::size_t tableBytes = dib.GetColorTable().size();
            EXPECT_EQ(file.size(), 54 + tableBytes + dib.GetStride() * 3);

            std::istringstream in(file);
            CDIB back(1, 1, 24);
            ASSERT_EQ(back.Read(in), 1);
            EXPECT_EQ(back.GetWidth(), width);
            EXPECT_EQ(back.GetHeight(), 3);
            EXPECT_EQ(back.GetBitCount(), bits);
            EXPECT_EQ(Bytes(back.GetBlock().subspan(40)), Bytes(dib.GetBlock().subspan(40)));
            EXPECT_EQ(in.tellg(), static_cast<std::streamoff>(file.size()));
        }
    }
}

TEST(CdibFile, WrittenHeaders) {
    struct Case {
        int bits;
        std::uint32_t fileSize, pixelOffset;
    };
    const Case kCases[] = {{24, 78, 54}, {8, 1078 + 8, 1078}, {1, 62 + 8, 62}, {16, 54 + 16, 54}};
    for (const Case& c : kCases) {
        CDIB dib(3, 2, c.bits);
        const std::string file = Written(dib);
        ASSERT_GE(file.size(), 54u);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
        EXPECT_EQ(file.substr(0, 2), "BM");
        EXPECT_EQ(LoadLe32(bytes + 2), c.fileSize) << c.bits;
        EXPECT_EQ(file.size(), c.fileSize) << c.bits;
        EXPECT_EQ(LoadLe32(bytes + 10), c.pixelOffset) << c.bits;
        const BitmapInfoHeader h = LoadInfoHeader(bytes + 14);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 3);
        EXPECT_EQ(h.biHeight, 2);
        EXPECT_EQ(h.biBitCount, c.bits);
    }
}

// A 2 x 2 picture: top row red, blue; bottom row green, white.
struct Expected {
    int x, y;
    std::uint8_t r, g, b;
};
constexpr Expected kTwoByTwo[] = {
    {0, 0, 255, 0, 0}, {1, 0, 0, 0, 255}, {0, 1, 0, 255, 0}, {1, 1, 255, 255, 255}};

void ExpectTwoByTwo(const std::string& file, const char* name) {
    std::istringstream in(file);
    CDIB dib;
    ASSERT_EQ(dib.Read(in), 1) << name;
    ASSERT_EQ(dib.GetWidth(), 2) << name;
    ASSERT_EQ(dib.GetHeight(), 2) << name;
    for (const Expected& e : kTwoByTwo) {
        std::uint8_t r = 1, g = 1, b = 1;
        ASSERT_EQ(dib.GetPixel(e.x, e.y, &r, &g, &b), 1) << name;
        EXPECT_EQ(r, e.r) << name << " at " << e.x << "," << e.y;
        EXPECT_EQ(g, e.g) << name << " at " << e.x << "," << e.y;
        EXPECT_EQ(b, e.b) << name << " at " << e.x << "," << e.y;
    }
}

// Rows of 24-bit pixels padded to 8 bytes, bottom row first.
const std::vector<std::uint8_t> kBottomUp24 = {0, 255, 0, 255, 255, 255, 0, 0,
                                               0, 0, 255, 255, 0, 0, 0, 0};
const std::vector<std::uint8_t> kTopDown24 = {0, 0, 255, 255, 0, 0, 0, 0,
                                              0, 255, 0, 255, 255, 255, 0, 0};

TEST(CdibFile, ReadsTheHeaderKindsAndRowOrders) {
    BmpSpec info;
    info.width = 2;
    info.height = 2;
    info.pixels = kBottomUp24;
    ExpectTwoByTwo(BuildBmp(info), "info header");

    BmpSpec topDown = info;
    topDown.height = -2;
    topDown.pixels = kTopDown24;
    ExpectTwoByTwo(BuildBmp(topDown), "top-down");

    BmpSpec v5 = info;
    v5.headerSize = 124;
    ExpectTwoByTwo(BuildBmp(v5), "V5 header");

    BmpSpec v4TopDown = topDown;
    v4TopDown.headerSize = 108;
    ExpectTwoByTwo(BuildBmp(v4TopDown), "V4 header, top-down");

    BmpSpec core = info;
    core.headerSize = 12;
    ExpectTwoByTwo(BuildBmp(core), "core header");

    // 8-bit through a short colour table (3 entries, 3 bytes each in a core file).
    const std::vector<std::uint8_t> indices = {2, 3, 0, 0, 0, 1, 0, 0};
    BmpSpec palette = info;
    palette.bitCount = 8;
    palette.colorsUsed = 4;
    palette.pixels = indices;
    palette.colorTable = {0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0};
    ExpectTwoByTwo(BuildBmp(palette), "8-bit, 4 colours used");

    BmpSpec corePalette = palette;
    corePalette.headerSize = 12;
    corePalette.colorTable.resize(256 * 3);
    const std::uint8_t coreColours[] = {0, 0, 255, 255, 0, 0, 0, 255, 0, 255, 255, 255};
    std::copy(std::begin(coreColours), std::end(coreColours), corePalette.colorTable.begin());
    ExpectTwoByTwo(BuildBmp(corePalette), "8-bit core");
}

TEST(CdibFile, SixteenBitFieldsHonourTheirMasks) {
    // 5-6-5: red 0xF800, green 0x07E0, blue 0x001F.
    const std::vector<std::uint32_t> masks565 = {0xF800, 0x07E0, 0x001F};
    const std::vector<std::uint8_t> pixels = {0xE0, 0x07, 0xFF, 0xFF,   // green, white
                                              0x00, 0xF8, 0x1F, 0x00};  // red, blue
    for (std::uint32_t headerSize : {40u, 56u, 124u}) {
        BmpSpec spec;
        spec.headerSize = headerSize;
        spec.width = 2;
        spec.height = 2;
        spec.bitCount = 16;
        spec.compression = 3;
        spec.masks = masks565;
        spec.pixels = pixels;
        std::istringstream in(BuildBmp(spec));
        CDIB dib;
        ASSERT_EQ(dib.Read(in), 1) << headerSize;
        std::uint8_t r = 0, g = 0, b = 0;
        dib.GetPixel(1, 1, &r, &g, &b);
        EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{248, 252, 248}));
        dib.GetPixel(0, 0, &r, &g, &b);
        EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{248, 0, 0}));
        dib.GetPixel(0, 1, &r, &g, &b);
        EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{0, 252, 0}));

        // The masks travel with the picture: written, read back, written again, same file.
        const std::string once = Written(dib);
        std::istringstream again(once);
        CDIB back;
        ASSERT_EQ(back.Read(again), 1);
        EXPECT_EQ(Written(back), once);
        ASSERT_EQ(back.SetPixel(1, 0, 0, 255, 0), 1);
        EXPECT_EQ(back.GetBits()[6], 0xE0);  // top row stored last
        EXPECT_EQ(back.GetBits()[7], 0x07);
    }
}

TEST(CdibFile, SerialisedBitmapsFollowEachOtherInOneStream) {
    CDIB first(3, 2, 24);
    FillPattern(first);
    CDIB second(5, 1, 8);
    FillPattern(second);
    std::stringstream archive;
    ASSERT_EQ(first.Write(archive), 1);
    ASSERT_EQ(second.Write(archive), 1);
    archive << "tail";

    CDIB a, b;
    ASSERT_EQ(a.Read(archive), 1);
    ASSERT_EQ(b.Read(archive), 1);
    EXPECT_EQ(Bytes(a.GetBlock()), Bytes(first.GetBlock()));
    EXPECT_EQ(Bytes(b.GetBlock()), Bytes(second.GetBlock()));
    std::string rest;
    archive >> rest;
    EXPECT_EQ(rest, "tail");
}

class CdibFileOnDisk : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("cdib_tests_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string PathOf(const char* name) const { return (dir_ / name).string(); }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_),
                                                      std::filesystem::directory_iterator()));
    }
    std::filesystem::path dir_;
};

TEST_F(CdibFileOnDisk, SaveThenLoad) {
    CDIB dib(7, 5, 24);
    FillPattern(dib);
    const std::string path = PathOf("face.bmp");
    ASSERT_EQ(dib.Save(path), 1);
    ASSERT_EQ(dib.Save(path), 1);  // over an existing file
    CDIB back;
    ASSERT_EQ(back.Load(path), 1);
    EXPECT_EQ(Bytes(back.GetBlock()), Bytes(dib.GetBlock()));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(CdibFileOnDisk, FailedSaveLeavesTheTargetAndNoLitter) {
    const std::string path = PathOf("keep.bmp");
    { std::ofstream(path) << "precious"; }
    CDIB empty(0, 0, 0);
    EXPECT_EQ(empty.Save(path), 0);

    const std::string dirPath = PathOf("a_folder");
    std::filesystem::create_directory(dirPath);
    CDIB dib(2, 2, 24);
    EXPECT_EQ(dib.Save(dirPath), 0);  // cannot replace a folder
    EXPECT_EQ(dib.Save(PathOf("missing/x.bmp")), 0);

    std::ifstream in(path);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "precious");
    EXPECT_TRUE(std::filesystem::is_directory(dirPath));
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(CdibFileOnDisk, LoadFailureLeavesTheObjectEmpty) {
    CDIB dib(4, 4, 24);
    EXPECT_EQ(dib.Load(PathOf("none.bmp")), 0);
    EXPECT_TRUE(dib.IsEmpty());
    const std::string path = PathOf("text.bmp");
    { std::ofstream(path) << "not a bitmap"; }
    dib.Create(4, 4, 24);
    EXPECT_EQ(dib.Load(path), 0);
    EXPECT_TRUE(dib.IsEmpty());
}

}  // namespace
