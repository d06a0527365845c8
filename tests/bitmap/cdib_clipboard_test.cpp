// Clipboard transfer through the in-memory clipboard, and copies from packed bitmaps.
#include <gtest/gtest.h>

#include <algorithm>

#include "bitmap/cdib.h"
#include "platform/clipboard.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

// A packed bitmap: header, `entries` colour-table entries (or masks), `dataBytes` of pixels.
std::vector<std::uint8_t> Packed(int bits, std::uint32_t compression, std::uint32_t colorsUsed,
                                 std::size_t entries, std::size_t dataBytes, int width = 3) {
    std::vector<std::uint8_t> block =
        PackedHeader(width, 2, bits, compression,
                     compression > 3 ? static_cast<std::uint32_t>(dataBytes) : 0, colorsUsed);
    block.resize(40 + 4 * entries + dataBytes);
    for (std::size_t i = 40; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i % 13 + 1);
    if (compression == 3)
        std::ranges::copy(std::vector<std::uint8_t>{0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0},
                          block.begin() + 40);
    return block;
}

class CdibClipboard : public testing::Test {
  protected:
    void SetUp() override { platform::SetClipboard(&clipboard_); }
    void TearDown() override { platform::SetClipboard(nullptr); }
    platform::MemoryClipboard clipboard_;
};

TEST_F(CdibClipboard, CopyThenPasteGivesBackTheSamePicture) {
    std::vector<CDIB> pictures;
    for (int bits : {1, 4, 8, 16, 24, 32})
        pictures.emplace_back(5, 3, bits);
    pictures.emplace_back();
    pictures.back().CreateFromPackedDib(Packed(8, 0, 16, 16, 8));  // short colour table
    for (CDIB& source : pictures) {
        std::uint8_t next = 0;
        for (std::uint8_t& v : source.GetBits())
            v = next += 31;
        ASSERT_EQ(source.CopyToClipboard(), 1);
        CDIB target(1, 1, 24);
        ASSERT_EQ(target.PasteFromClipboard(), 1);
        EXPECT_TRUE(std::ranges::equal(target.GetBlock(), source.GetBlock()))
            << source.GetBitCount();
    }
}

TEST_F(CdibClipboard, PasteWithoutAReadableBitmapChangesNothing) {
    CDIB picture(3, 2, 24);
    picture.SetPixelValue(1, 1, 0xABCDEF);
    const std::vector<std::uint8_t> before(picture.GetBlock().begin(), picture.GetBlock().end());
    const std::string text = "just text", cut = "BM\x40\0\0\0\0\0\0\0\x36\0\0\0(";
    clipboard_.SetData("text/plain",
                       {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    EXPECT_EQ(picture.PasteFromClipboard(), 0);
    clipboard_.SetData(platform::kBitmapMimeType,
                       {reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()});
    EXPECT_EQ(picture.PasteFromClipboard(), 0);
    EXPECT_TRUE(std::ranges::equal(picture.GetBlock(), before));
    EXPECT_EQ(CDIB(0, 0, 0).CopyToClipboard(), 0);
}

TEST(CdibPackedDib, CopiesEachKindAndRefusesShortBlocks) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        int bits;  // -1: refused
        std::size_t tableBytes, pixelBytes;
    };
    std::vector<std::uint8_t> shortBlock = Packed(8, 0, 0, 256, 8);
    shortBlock.pop_back();
    std::vector<std::uint8_t> smallHeader = Packed(8, 0, 0, 256, 8);
    smallHeader[0] = 12;
    const Case kCases[] = {
        {"8-bit, full table", Packed(8, 0, 0, 256, 8), 8, 1024, 8},
        {"8-bit, 16 colours, widened", Packed(8, 0, 16, 16, 8), 8, 1024, 8},
        {"16-bit bit fields", Packed(16, 3, 0, 3, 16), 16, 12, 16},
        {"codec data", Packed(24, 0x64697663, 0, 0, 10), 0, 0, 10},
        {"one byte short", shortBlock, -1, 0, 0},
        {"colour count beyond the block", Packed(8, 0, 0x40000000, 16, 8), -1, 0, 0},
        {"header size below 40", smallHeader, -1, 0, 0},
        {"shorter than a header", std::vector<std::uint8_t>(39), -1, 0, 0},
    };
    for (const Case& c : kCases) {
        CDIB dib(2, 2, 24);
        const std::vector<std::uint8_t> before(dib.GetBlock().begin(), dib.GetBlock().end());
        ASSERT_EQ(dib.CreateFromPackedDib(c.block), c.bits >= 0 ? 1 : 0) << c.name;
        if (c.bits < 0) {
            EXPECT_TRUE(std::ranges::equal(dib.GetBlock(), before)) << c.name;
            continue;
        }
        EXPECT_EQ(dib.GetBitCount(), c.bits) << c.name;
        ASSERT_EQ(dib.GetColorTable().size(), c.tableBytes) << c.name;
        ASSERT_EQ(dib.GetBits().size(), c.pixelBytes) << c.name;
        // Table entries the block has, then black; the pixels as they were.
        const std::size_t given = c.block.size() - 40 - c.pixelBytes;
        EXPECT_TRUE(std::ranges::equal(dib.GetColorTable().first(given),
                                       std::span(c.block).subspan(40, given)));
        EXPECT_TRUE(std::ranges::all_of(dib.GetColorTable().subspan(given),
                                        [](std::uint8_t v) { return v == 0; }));
        EXPECT_TRUE(std::ranges::equal(dib.GetBits(), std::span(c.block).last(c.pixelBytes)))
            << c.name;
    }
}

}  // namespace
