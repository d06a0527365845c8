// Clipboard transfer through the in-memory clipboard, and copies from packed bitmaps.
#include <gtest/gtest.h>

#include <sstream>

#include "bitmap/cdib.h"
#include "platform/clipboard.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> span) {
    return {span.begin(), span.end()};
}

// A packed 8-bit bitmap (header, `colours` table entries, pixels) 3 x 2.
std::vector<std::uint8_t> PackedEightBit(std::uint32_t colours) {
    std::vector<std::uint8_t> block(40 + 4 * (colours == 0 ? 256 : colours) + 8);
    BitmapInfoHeader h;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biBitCount = 8;
    h.biClrUsed = colours;
    StoreInfoHeader(block.data(), h);
    for (std::size_t i = 40; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i % 13 + 1);
    return block;
}

class CdibClipboard : public testing::Test {
protected:
    void SetUp() override { platform::SetClipboard(&clipboard_); }
    void TearDown() override { platform::SetClipboard(nullptr); }
    platform::MemoryClipboard clipboard_;
};

TEST_F(CdibClipboard, CopyThenPasteGivesBackTheSamePicture) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        CDIB source(5, 3, bits);
        std::span<std::uint8_t> pixels = source.GetBits();
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 31);
        auto* table = source.GetColorTable().data();
        for (std::size_t i = 0; i < source.GetColorTable().size(); ++i) table[i] = static_cast<std::uint8_t>(i);
        ASSERT_EQ(source.CopyToClipboard(), 1) << bits;
        CDIB target(1, 1, 24);
        ASSERT_EQ(target.PasteFromClipboard(), 1) << bits;
        EXPECT_EQ(Bytes(target.GetBlock()), Bytes(source.GetBlock())) << bits;
    }
}

TEST_F(CdibClipboard, ShortColourTableSurvivesCopyAndPaste) {
    CDIB source;
    ASSERT_EQ(source.CreateFromPackedDib(PackedEightBit(16)), 1);
    ASSERT_EQ(source.GetColorTable().size(), 1024u);
    std::uint8_t r0, g0, b0;
    ASSERT_EQ(source.GetPixel(2, 0, &r0, &g0, &b0), 1);
    ASSERT_EQ(source.CopyToClipboard(), 1);
    CDIB target;
    ASSERT_EQ(target.PasteFromClipboard(), 1);
    EXPECT_EQ(Bytes(target.GetBlock()), Bytes(source.GetBlock()));
    std::uint8_t r, g, b;
    ASSERT_EQ(target.GetPixel(2, 0, &r, &g, &b), 1);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{r0, g0, b0}));
}

TEST_F(CdibClipboard, PasteWithoutABitmapChangesNothing) {
    CDIB picture(3, 2, 24);
    picture.SetPixelValue(1, 1, 0xABCDEF);
    const std::vector<std::uint8_t> before = Bytes(picture.GetBlock());

    const std::string text = "just text";
    clipboard_.SetData("text/plain", {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    EXPECT_EQ(picture.PasteFromClipboard(), 0);
    EXPECT_EQ(Bytes(picture.GetBlock()), before);

    const std::string broken = BuildBmp(BmpSpec{}).substr(0, 50);
    clipboard_.SetData(platform::kBitmapMimeType,
                       {reinterpret_cast<const std::uint8_t*>(broken.data()), broken.size()});
    EXPECT_EQ(picture.PasteFromClipboard(), 0);
    EXPECT_EQ(Bytes(picture.GetBlock()), before);

    CDIB empty(0, 0, 0);
    EXPECT_EQ(empty.CopyToClipboard(), 0);
    EXPECT_EQ(clipboard_.GetData(platform::kBitmapMimeType).value().size(), broken.size());
}

TEST(CdibPackedDib, CopiesEachKindOfPackedBitmap) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        int bits;
        std::size_t tableBytes, pixelBytes;
        bool ok;
    };
    std::vector<std::uint8_t> bitfields(40 + 12 + 8);
    {
        BitmapInfoHeader h;
        h.biWidth = 2;
        h.biHeight = 2;
        h.biBitCount = 16;
        h.biCompression = 3;
        StoreInfoHeader(bitfields.data(), h);
        StoreLe32(bitfields.data() + 40, 0xF800);
        StoreLe32(bitfields.data() + 44, 0x07E0);
        StoreLe32(bitfields.data() + 48, 0x001F);
    }
    std::vector<std::uint8_t> codec(40 + 10);
    {
        BitmapInfoHeader h;
        h.biWidth = 4;
        h.biHeight = 4;
        h.biBitCount = 24;
        h.biCompression = 0x64697663;  // "cvid"
        h.biSizeImage = 10;
        StoreInfoHeader(codec.data(), h);
    }
    std::vector<std::uint8_t> shortBlock = PackedEightBit(0);
    shortBlock.resize(shortBlock.size() - 1);
    std::vector<std::uint8_t> lyingColours = PackedEightBit(16);
    StoreLe32(lyingColours.data() + 32, 0x40000000);
    std::vector<std::uint8_t> smallHeader = PackedEightBit(0);
    StoreLe32(smallHeader.data(), 12);

    const Case kCases[] = {
        {"8-bit, full table", PackedEightBit(0), 8, 1024, 8, true},
        {"8-bit, 16 colours, widened", PackedEightBit(16), 8, 1024, 8, true},
        {"16-bit bit fields", bitfields, 16, 12, 8, true},
        {"codec data", codec, 0, 0, 10, true},
        {"one byte short", shortBlock, 0, 0, 0, false},
        {"colour count beyond the block", lyingColours, 0, 0, 0, false},
        {"header size below 40", smallHeader, 0, 0, 0, false},
        {"shorter than a header", std::vector<std::uint8_t>(39), 0, 0, 0, false},
    };
    for (const Case& c : kCases) {
        CDIB dib(2, 2, 24);
        const std::vector<std::uint8_t> before = Bytes(dib.GetBlock());
        ASSERT_EQ(dib.CreateFromPackedDib(c.block), c.ok ? 1 : 0) << c.name;
        if (!c.ok) {
            EXPECT_EQ(Bytes(dib.GetBlock()), before) << c.name;
            continue;
        }
        EXPECT_EQ(dib.GetBitCount(), c.bits) << c.name;
        EXPECT_EQ(dib.GetColorTable().size(), c.tableBytes) << c.name;
        EXPECT_EQ(dib.GetBits().size(), c.pixelBytes) << c.name;
    }
}

TEST(CdibPackedDib, ShortTableKeepsItsColoursAndPixels) {
    const std::vector<std::uint8_t> packed = PackedEightBit(16);
    CDIB dib;
    ASSERT_EQ(dib.CreateFromPackedDib(packed), 1);
    const std::span<const std::uint8_t> table = dib.GetColorTable();
    EXPECT_TRUE(std::equal(table.begin(), table.begin() + 64, packed.begin() + 40));
    EXPECT_TRUE(std::all_of(table.begin() + 64, table.end(), [](std::uint8_t v) { return v == 0; }));
    EXPECT_TRUE(std::equal(dib.GetBits().begin(), dib.GetBits().end(), packed.begin() + 40 + 64));
}

}  // namespace
