#include "engine/avatar_file/avatar_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/byte_order.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A picture whose pixel bytes count up from `seed`, with a grid and a palette.
PackedDib Picture(int width, int height, int bits, std::uint8_t seed = 1, int columns = 1,
                  int rows = 1) {
    PackedDib image = *NewPackedDib(width, height, bits);
    platform::BitmapInfoHeader header = HeaderOf(image);
    header.biXPelsPerMeter = columns;
    header.biYPelsPerMeter = rows;
    SetHeader(image, header);
    for (std::size_t i = platform::kInfoHeaderSize; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(seed + i);
    return image;
}

PackedDib Solid8(int width, int height, std::uint8_t index) {
    PackedDib image = *NewPackedDib(width, height, 8);
    std::fill(image.begin() + kHeaderAndPalette, image.end(), index);
    image[platform::kInfoHeaderSize + 4 * index + 3] = kTransparentFlag;
    return image;
}

TEST(AvatarFile, WrittenSizesFollowTheFormatAndReadBack) {
    struct Case {
        const char* name;
        PackedDib image;
        std::uint32_t fileSize, pixelOffset;
        int storedBits;
        std::uint32_t storedImageSize;
    };
    const Case cases[] = {
        {"8-bit, four different indices: plain", Picture(4, 1, 8), 54 + 1024 + 4, 1078, 8, 0},
        {"8-bit, one index: one word", Solid8(4, 1, 6), 1080, 1078, 16, 1026},
        {"8-bit, 300 x 1 of one index: two words", Solid8(300, 1, 2), 54 + 1024 + 4, 1078, 16,
         1028},
        {"24-bit 3 x 2: rows of 9 bytes unpadded", Picture(3, 2, 24), 72, 54, 24, 0},
        {"32-bit 3 x 2", Picture(3, 2, 32, 9, 3, 2), 78, 54, 32, 0},
        {"8-bit grid 4 x 2", Picture(8, 4, 8, 5, 4, 2), 54 + 1024 + 32, 1078, 8, 0},
    };
    for (const Case& c : cases) {
        const std::optional<Bytes> file = EncodeAvatarFile(c.image);
        ASSERT_TRUE(file) << c.name;
        ASSERT_EQ(file->size(), c.fileSize) << c.name;
        EXPECT_EQ((*file)[0], 'B') << c.name;
        EXPECT_EQ((*file)[1], 'M') << c.name;
        EXPECT_EQ(platform::LoadLe32(&(*file)[2]), c.fileSize) << c.name;
        EXPECT_EQ(platform::LoadLe32(&(*file)[6]), 0u) << c.name << ": reserved words";
        EXPECT_EQ(platform::LoadLe32(&(*file)[10]), c.pixelOffset) << c.name;
        const platform::BitmapInfoHeader header = platform::LoadInfoHeader(&(*file)[14]);
        EXPECT_EQ(header.biBitCount, c.storedBits) << c.name;
        EXPECT_EQ(header.biSizeImage, c.storedImageSize) << c.name;
        EXPECT_EQ(header.biXPelsPerMeter, HeaderOf(c.image).biXPelsPerMeter) << c.name;
        EXPECT_EQ(header.biYPelsPerMeter, HeaderOf(c.image).biYPelsPerMeter) << c.name;

        const AvatarRead read = ParseAvatarFile(*file);
        ASSERT_EQ(read.fault, AvatarFault::None) << c.name;
        EXPECT_EQ(read.image, c.image) << c.name << ": round trip";
    }
    const PackedDib picture = Picture(3, 2, 24);
    const Bytes file = *EncodeAvatarFile(picture);
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 63),
              Bytes(picture.begin() + 40, picture.begin() + 49))
        << "the first row is the first 9 pixel bytes";
    EXPECT_FALSE(EncodeAvatarFile(Bytes(30, 0))) << "no header";
}

// Changes `file` at `offset` to the 32-bit `value`.
Bytes With32(Bytes file, std::size_t offset, std::uint32_t value) {
    platform::StoreLe32(&file[offset], value);
    return file;
}

Bytes With16(Bytes file, std::size_t offset, std::uint16_t value) {
    platform::StoreLe16(&file[offset], value);
    return file;
}

TEST(AvatarFile, HostileFilesAreRefusedWithoutReadingPastThem) {
    const Bytes plain = *EncodeAvatarFile(Picture(8, 4, 8));
    const Bytes coded = *EncodeAvatarFile(Solid8(8, 4, 3));
    const Bytes deep = *EncodeAvatarFile(Picture(3, 2, 24));
    struct Case {
        const char* name;
        Bytes file;
        AvatarFault fault;
    };
    const Case cases[] = {
        {"empty", {}, AvatarFault::Corrupt},
        {"headers cut", Bytes(plain.begin(), plain.begin() + 50), AvatarFault::Corrupt},
        {"pixels cut", Bytes(plain.begin(), plain.end() - 1), AvatarFault::Corrupt},
        {"size field past the end", With32(plain, 2, 1u << 31), AvatarFault::Corrupt},
        {"size field inside the headers", With32(plain, 2, 20), AvatarFault::Corrupt},
        {"size field short of the pixels", With32(plain, 2, 54 + 1024), AvatarFault::Corrupt},
        {"zero width", With32(plain, 18, 0), AvatarFault::Corrupt},
        {"negative height", With32(plain, 22, 0xFFFFFFFC), AvatarFault::Corrupt},
        {"width x height overflows 32 bits", With32(With32(deep, 18, 1u << 30), 22, 1u << 30),
         AvatarFault::Corrupt},
        {"huge picture", With32(With32(deep, 18, 70000), 22, 70000), AvatarFault::Corrupt},
        {"24-bit pixels cut", Bytes(deep.begin(), deep.end() - 3), AvatarFault::Corrupt},
        {"another compression", With32(plain, 30, 1), AvatarFault::Corrupt},
        {"16-bit without the code", With16(plain, 28, 16), AvatarFault::Depth},
        {"4-bit", With16(plain, 28, 4), AvatarFault::Depth},
        {"coded with huge size", With32(With32(coded, 18, 1u << 30), 22, 1u << 30),
         AvatarFault::Corrupt},
        {"coded with its words cut", Bytes(coded.begin(), coded.begin() + 1070),
         AvatarFault::Corrupt},
    };
    for (const Case& c : cases) {
        const AvatarRead read = ParseAvatarFile(c.file);
        EXPECT_EQ(read.fault, c.fault) << c.name;
        EXPECT_TRUE(read.image.empty()) << c.name;
    }
    // A coded file whose word count claims more than the file holds reads what is there.
    const AvatarRead claimed = ParseAvatarFile(With32(coded, 34, 1024 + 4000));
    ASSERT_EQ(claimed.fault, AvatarFault::None);
    EXPECT_EQ(claimed.image, Solid8(8, 4, 3));
    const Bytes trailing = [&] {
        Bytes file = plain;
        file.insert(file.end(), 100, 0xEE);
        return file;
    }();
    EXPECT_EQ(ParseAvatarFile(trailing).image, Picture(8, 4, 8)) << "bytes behind the size";
}

class AvatarFileOnDisk : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("avatar-file-" + std::to_string(::getpid()) + "-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    Bytes Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir_;
};

TEST_F(AvatarFileOnDisk, WrittenFilesHoldTheEncodedBytes) {
    const std::string path = (dir_ / "walk.avt").string();
    for (const PackedDib& image : {Solid8(4, 1, 6), Picture(8, 4, 8), Picture(3, 2, 24)}) {
        ASSERT_TRUE(WriteAvatarFile(path, image));
        EXPECT_EQ(Contents(path), *EncodeAvatarFile(image));
    }
}

TEST_F(AvatarFileOnDisk, WritingReplacesWholeFilesAndFailuresKeepTheOldOne) {
    const std::string path = (dir_ / "walk.avt").string();
    std::ofstream(path, std::ios::binary) << std::string(5000, 'x');
    ASSERT_TRUE(WriteAvatarFile(path, Solid8(4, 1, 6)));
    EXPECT_EQ(fs::file_size(path), 1080u) << "no stale bytes of the longer file";
    const AvatarRead read = ReadAvatarFile(path);
    ASSERT_EQ(read.fault, AvatarFault::None);
    EXPECT_EQ(read.image, Solid8(4, 1, 6));

    const Bytes before = Contents(path);
    EXPECT_FALSE(WriteAvatarFile(path, Bytes(20, 0))) << "a damaged picture";
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    if (!fs::exists(dir_ / "probe") && std::ofstream(dir_ / "probe").fail()) {
        EXPECT_FALSE(WriteAvatarFile(path, Picture(3, 2, 24))) << "a folder that refuses";
    }
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Contents(path), before);
    EXPECT_FALSE(WriteAvatarFile((dir_ / "no" / "such.avt").string(), Picture(3, 2, 24)));
    EXPECT_EQ(ReadAvatarFile((dir_ / "missing.avt").string()).fault, AvatarFault::Corrupt);
}

}  // namespace
