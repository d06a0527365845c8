#include "engine/avatar_file/avatar_run_length.h"

#include <gtest/gtest.h>

#include "platform/byte_order.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// An 8-bit picture of `width` x `height` holding `indices`, with a recognisable palette.
PackedDib Indexed(int width, int height, const Bytes& indices) {
    PackedDib image = *NewPackedDib(width, height, 8);
    for (std::size_t i = 0; i < kPaletteBytes; ++i)
        image[platform::kInfoHeaderSize + i] = static_cast<std::uint8_t>(i * 7);
    std::copy(indices.begin(), indices.end(), image.begin() + kHeaderAndPalette);
    return image;
}

Bytes Repeat(std::size_t count, std::uint8_t value) {
    return Bytes(count, value);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(RleCompress, CodesRunsUpTo255AndOnlyWhenNotLarger) {
    struct Case {
        const char* name;
        int width, height;
        Bytes indices;
        std::optional<Bytes> words;  // nothing: the picture is not coded
    };
    const Case cases[] = {
        {"four equal indices code to one word", 4, 1, {9, 9, 9, 9}, Bytes{4, 9}},
        {"four different indices would double", 4, 1, {1, 2, 3, 4}, std::nullopt},
        {"equal size is coded", 4, 1, {1, 1, 2, 2}, Bytes{2, 1, 2, 2}},
        {"one byte over is not", 3, 1, {1, 2, 2}, std::nullopt},
        {"a run of 255 is one word", 255, 1, Repeat(255, 3), Bytes{255, 3}},
        {"a run of 256 splits 255 + 1", 256, 1, Repeat(256, 3), Bytes{255, 3, 1, 3}},
        {"a run of 300 splits 255 + 45", 300, 1, Repeat(300, 8), Bytes{255, 8, 45, 8}},
        {"runs cross row ends", 3, 2, Join({Repeat(4, 1), Repeat(2, 0)}), Bytes{4, 1, 2, 0}},
    };
    for (const Case& c : cases) {
        const PackedDib image = Indexed(c.width, c.height, c.indices);
        const std::optional<Bytes> coded = RleCompress(image);
        ASSERT_EQ(coded.has_value(), c.words.has_value()) << c.name;
        if (!coded)
            continue;
        const platform::BitmapInfoHeader header = platform::LoadInfoHeader(coded->data());
        EXPECT_EQ(header.biBitCount, 16) << c.name;
        EXPECT_EQ(header.biCompression, kAvatarRunLengthCode) << c.name;
        EXPECT_EQ(header.biSizeImage, c.words->size() + 1024) << c.name;
        EXPECT_EQ(header.biWidth, c.width) << c.name;
        EXPECT_TRUE(std::equal(image.begin() + 40, image.begin() + 1064, coded->begin() + 40))
            << c.name << ": palette";
        EXPECT_EQ(Bytes(coded->begin() + 1064, coded->end()), *c.words) << c.name;

        const std::optional<PackedDib> back = RleExpand(*coded);
        ASSERT_TRUE(back) << c.name;
        EXPECT_EQ(*back, image) << c.name << ": round trip";
    }
    EXPECT_EQ(HeaderOf(Indexed(4, 1, {9, 9, 9, 9})).biBitCount, 8) << "the source is not changed";
    EXPECT_FALSE(RleCompress(*NewPackedDib(4, 1, 24))) << "only 8-bit pictures are coded";
    PackedDib cut = Indexed(4, 4, Repeat(16, 1));
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(RleCompress(cut)) << "pixels shorter than the header says";
}

// A coded block of a 2 x 2 picture with `words` and the image size field `imageSize`.
Bytes Coded(const Bytes& words, std::uint32_t imageSize, int width = 2, int height = 2) {
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 16;
    header.biCompression = kAvatarRunLengthCode;
    header.biSizeImage = imageSize;
    header.biClrUsed = 256;
    header.biXPelsPerMeter = 2;
    Bytes block(kHeaderAndPalette, 0);
    platform::StoreInfoHeader(block.data(), header);
    block.insert(block.end(), words.begin(), words.end());
    return block;
}

TEST(RleExpand, RunsStopAtThePictureAndAtTheBlock) {
    struct Case {
        const char* name;
        Bytes words;
        std::uint32_t imageSize;
        Bytes pixels;
    };
    const Case cases[] = {
        {"exact", {2, 7, 2, 9}, 1024 + 4, {7, 7, 9, 9}},
        {"a run longer than the picture is cut", {3, 7, 5, 9}, 1024 + 4, {7, 7, 7, 9}},
        {"empty runs write nothing", {0, 5, 4, 6}, 1024 + 4, {6, 6, 6, 6}},
        {"fewer runs leave zeros", {1, 3}, 1024 + 2, {3, 0, 0, 0}},
        {"an odd size ignores the last byte", {2, 4, 2, 5}, 1024 + 3, {4, 4, 0, 0}},
        {"a size claiming more runs than there are", {2, 4}, 1024 + 4000, {4, 4, 0, 0}},
        {"a size below the colour table", {2, 4}, 10, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const std::optional<PackedDib> out = RleExpand(Coded(c.words, c.imageSize));
        ASSERT_TRUE(out) << c.name;
        ASSERT_EQ(out->size(), 1064u + 4) << c.name;
        EXPECT_EQ(Bytes(out->begin() + 1064, out->end()), c.pixels) << c.name;
        const platform::BitmapInfoHeader header = HeaderOf(*out);
        EXPECT_EQ(header.biBitCount, 8) << c.name;
        EXPECT_EQ(header.biCompression, 0u) << c.name;
        EXPECT_EQ(header.biSizeImage, 0u) << c.name;
        EXPECT_EQ(header.biXPelsPerMeter, 2) << c.name << ": the grid is kept";
    }
    EXPECT_FALSE(RleExpand(Bytes(100, 0))) << "shorter than header and colours";
    EXPECT_FALSE(RleExpand(Coded({}, 1024, 0, 2))) << "no width";
    EXPECT_FALSE(RleExpand(Coded({}, 1024, -3, 2))) << "negative width";
    EXPECT_FALSE(RleExpand(Coded({}, 1024, 1 << 20, 1 << 20))) << "absurd size";
}

}  // namespace
