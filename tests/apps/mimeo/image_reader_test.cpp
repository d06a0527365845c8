#include "apps/mimeo/image_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "apps/mimeo/frame_grid.h"
#include "engine/avatar_file/avatar_file.h"
#include "engine/viewer/avatar.h"
#include "engine/viewer/avatar_drawing.h"
#include "mimeo_test_pictures.h"
#include "platform/byte_order.h"
#include "platform/picture_limits.h"

namespace {

// A Targa file: 18-byte header, then `pixels`.
Bytes Targa(int width, int height, int depth, int descriptor, const Bytes& pixels,
            int imageType = 2, int colourMapType = 0, int xOrigin = 0) {
    Bytes file(18, 0);
    file[1] = static_cast<std::uint8_t>(colourMapType);
    file[2] = static_cast<std::uint8_t>(imageType);
    platform::StoreLe16(&file[8], static_cast<std::uint16_t>(xOrigin));
    platform::StoreLe16(&file[12], static_cast<std::uint16_t>(width));
    platform::StoreLe16(&file[14], static_cast<std::uint16_t>(height));
    file[16] = static_cast<std::uint8_t>(depth);
    file[17] = static_cast<std::uint8_t>(descriptor);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// A bitmap file of `bits` with rows padded to 4 bytes; pixel (x, y) has blue 10x + y.
Bytes Bitmap(int width, int height, int bits, std::uint32_t compression = 0) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
    const std::size_t palette = bits == 8 ? 1024 : 0;
    Bytes file(54 + palette + stride * static_cast<std::size_t>(height), 0xEE);
    std::fill(file.begin(), file.begin() + 54 + static_cast<std::ptrdiff_t>(palette), 0);
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    platform::StoreLe32(&file[10], static_cast<std::uint32_t>(54 + palette));
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biCompression = compression;
    header.biXPelsPerMeter = 2835;
    platform::StoreInfoHeader(&file[14], header);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &file[54 + palette + static_cast<std::size_t>(y) * stride +
                                    static_cast<std::size_t>(x * bits / 8)];
            std::fill_n(p, bits / 8, 0);
            p[0] = static_cast<std::uint8_t>(10 * x + y);
        }
    }
    return file;
}

TEST(ReadImageFile, TargaRowsComeOutBottomUp) {
    TempFolder folder;
    // Two rows of two pixels: the file's first row has blue 1, 2, its second 3, 4.
    const Bytes pixels{1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0};
    struct Case {
        const char* name;
        int descriptor;
        std::uint8_t bottomLeftBlue;
    };
    const Case cases[] = {{"first row is the bottom", 0x00, 1}, {"top first", 0x20, 3}};
    for (const Case& c : cases) {
        const ImageRead read =
            ReadImageFile(folder.Write("a.tga", Targa(2, 2, 24, c.descriptor, pixels)), {32, 24});
        ASSERT_EQ(read.error, "") << c.name;
        EXPECT_EQ(HeaderOf(read.image).biBitCount, 24) << c.name;
        EXPECT_EQ(PixelAt(read.image, 0, 0).blue, c.bottomLeftBlue) << c.name;
        EXPECT_EQ(PixelAt(read.image, 1, 1).blue, c.bottomLeftBlue == 1 ? 4 : 2) << c.name;
    }
    const ImageRead alpha =
        ReadImageFile(folder.Write("b.tga", Targa(1, 1, 32, 0x08, {5, 6, 7, 8})), {32, 24});
    ASSERT_EQ(alpha.error, "");
    EXPECT_EQ(Bytes(alpha.image.begin() + 40, alpha.image.end()), (Bytes{5, 6, 7, 247}));
}

TEST(ReadImageFile, ThirtyTwoBitTargaTransparencyReachesTheViewer) {
    // Red 200 solid, 100 half covered, 50 clear, drawn over red 7; without alpha bits the
    // fourth byte is padding.
    const Bytes pixels{0, 0, 200, 255, 0, 0, 100, 128, 0, 0, 50, 0};
    for (const auto& [descriptor, reds] :
         {std::pair{8, Bytes{200, (7 * 127 + 100 * 129) / 256, 7}}, {0, Bytes{200, 100, 50}}}) {
        TempFolder folder;
        const std::string tga = folder.Write("a.tga", Targa(3, 1, 32, descriptor, pixels));
        std::vector<PackedDib> frames{ReadImageFile(tga, {32, 24}).image};
        const std::optional<PackedDib> tiled = TileFrames(frames, 1, 1);
        const std::string avt = folder.Path("a.avt");
        Avatar avatar;
        const double at[3] = {0, 10, 0}, size[3] = {1, 0, 1};
        ASSERT_TRUE(tiled && WriteAvatarFile(avt, *tiled) &&
                    !avatar.Load(avt.c_str(), at, size, 1));
        Bytes frame{0, 0, 7, 0, 0, 7, 0, 0, 7};
        BlitAvatarCell(avatar.Snapshot(), {0, 0, 3, 1}, false,
                       {frame.data(), 3, 1, PixelFormatCode::Bgr24});
        EXPECT_EQ((Bytes{frame[2], frame[5], frame[8]}), reds) << descriptor;
    }
}

TEST(ReadImageFile, BitmapRowsAreUnpaddedAndDepthsChecked) {
    TempFolder folder;
    // 3 pixels of 3 bytes: rows of 9 bytes stored in 12.
    const ImageRead read = ReadImageFile(folder.Write("a.bmp", Bitmap(3, 2, 24)), {32, 24});
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.image.size(), 40u + 18);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(read.image, x, y).blue, 10 * x + y) << x << "," << y;
    }
    const std::string path8 = folder.Write("eight.bmp", Bitmap(4, 4, 8));
    EXPECT_EQ(ReadImageFile(path8, {32, 24}).error, "Invalid BitMap Color Depth: " + path8);

    // An 8-bit avatar file is accepted where 8 bits are allowed, and refused as a frame.
    PackedDib avatar = *NewPackedDib(8, 4, 8);
    std::fill(avatar.begin() + 1064, avatar.end(), 9);
    const std::string avt = folder.Write("Walk.AVT", *EncodeAvatarFile(avatar));
    const ImageRead coded = ReadImageFile(avt, {32, 24, 8});
    ASSERT_EQ(coded.error, "");
    EXPECT_EQ(HeaderOf(coded.image).biCompression, 0u);
    EXPECT_EQ(coded.image, avatar);
    EXPECT_EQ(ReadImageFile(avt, {32, 24}).error, "Invalid BitMap Color Depth: " + avt);
}

TEST(ReadImageFile, HostileFilesAreRefusedWithTheirPath) {
    TempFolder folder;
    const Bytes good = Targa(2, 2, 24, 0, Bytes(12, 1));
    Bytes shortBitmap = Bitmap(3, 2, 24);
    shortBitmap.resize(shortBitmap.size() - 4);
    Bytes hugeBitmap = Bitmap(3, 2, 24);
    platform::StoreLe32(&hugeBitmap[18], 1u << 30);
    platform::StoreLe32(&hugeBitmap[22], 1u << 30);
    Bytes offsetPast = Bitmap(3, 2, 24);
    platform::StoreLe32(&offsetPast[10], 0xFFFFFFF0);
    Bytes topDown = Bitmap(3, 2, 24);
    platform::StoreLe32(&topDown[22], static_cast<std::uint32_t>(-2));
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"empty", {}},
        {"unknown kind", {'G', 'I', 'F', '8', '9'}},
        {"Targa header cut", Bytes(good.begin(), good.begin() + 10)},
        {"Targa pixels cut", Bytes(good.begin(), good.end() - 1)},
        {"Targa run-length coded", Targa(2, 2, 24, 0, Bytes(12, 1), 10)},
        {"Targa with a colour map", Targa(2, 2, 24, 0, Bytes(12, 1), 2, 1)},
        {"Targa with an origin", Targa(2, 2, 24, 0, Bytes(12, 1), 2, 0, 5)},
        {"Targa 16-bit", Targa(2, 2, 16, 0, Bytes(8, 1))},
        {"Targa right-to-left", Targa(2, 2, 24, 0x10, Bytes(12, 1))},
        {"Targa zero width", Targa(0, 2, 24, 0, {})},
        {"Targa claiming 65535 x 65535 in 1 KB", Targa(65535, 65535, 32, 8, Bytes(1000, 1))},
        {"bitmap cut", shortBitmap},
        {"bitmap huge", hugeBitmap},
        {"bitmap pixel offset past the end", offsetPast},
        {"bitmap top-down", topDown},
        {"bitmap bit fields", Bitmap(4, 4, 32, 3)},
        {"BM alone", {'B', 'M'}},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Write("hostile.tga", c.file);
        const ImageRead read = ReadImageFile(path, {32, 24});
        EXPECT_EQ(read.error, "Invalid or Corrupt File: " + path) << c.name;
        EXPECT_TRUE(read.image.empty()) << c.name;
    }
    const std::string missing = folder.Path("none.bmp");
    EXPECT_EQ(ReadImageFile(missing, {32, 24}).error, "Invalid or Corrupt File: " + missing);

    // A picture file too big for any avatar picture is one over the cap; it is not read (the
    // files are sparse).
    const struct {
        Bytes start;
        std::string error;
    } oversized[] = {
        {Bitmap(3, 2, 24), "Insufficient System Memory"},
        {Targa(2, 2, 24, 0, Bytes(12, 1)), "Insufficient System Memory"},
        {{'G', 'I', 'F', '8', '9'}, "Invalid or Corrupt File: "},
    };
    for (const auto& o : oversized) {
        const std::string path = folder.Write("oversized", o.start);
        std::filesystem::resize_file(path, (kMaxAvatarPixels * 4 + 4096) + 1);
        const std::string expected =
            o.error + (o.error.starts_with("Invalid") ? path : std::string());
        EXPECT_EQ(ReadImageFile(path, {32, 24}).error, expected);
    }

    // A file short of a picture over the avatar cap is corrupt too.
    const platform::ScopedPictureCap cap({16, platform::kMaxPictureBytes});
    const Bytes whole = Bitmap(5, 4, 24);
    const std::string cut = folder.Write("cut.bmp", Bytes(whole.begin(), whole.end() - 2));
    EXPECT_EQ(ReadImageFile(cut, {32, 24}).error, "Invalid or Corrupt File: " + cut);
}

TEST(IsAvatarFileName, IsDecidedByTheFileNameAlone) {
    EXPECT_TRUE(IsAvatarFileName("/home/u/walk.avt"));
    EXPECT_TRUE(IsAvatarFileName("WALK.AVT"));
    EXPECT_FALSE(IsAvatarFileName("/home/u/frames.avt/one.bmp"));
    EXPECT_FALSE(IsAvatarFileName("/home/u/one.bmp"));
}

}  // namespace
