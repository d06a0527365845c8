// Bitmap files that lie about themselves: each is refused, or read within its real bytes,
// without reading or writing out of bounds (the address sanitizer build checks that part).
#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "bitmap/cdib.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

constexpr std::int32_t kHuge = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t kCinepak = 0x64697663;

BmpSpec Valid(int bits = 24) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = static_cast<std::uint16_t>(bits);
    if (bits == 8)
        spec.colorTable.assign(1024, 0x11);
    spec.pixels.assign(bits == 8 ? 8 : 24, 0x5A);
    return spec;
}

template <typename Change>
std::string Bmp(Change change, int bits = 24) {
    BmpSpec spec = Valid(bits);
    change(spec);
    return BuildBmp(spec);
}

std::string WithHeaderSize(std::uint32_t size) {
    std::string file = BuildBmp(Valid());
    for (int i = 0; i < 4; ++i)
        file[14 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return file;
}

// Reads `bytes` into `dib` from the middle of a stream; a refusal must leave it empty and the
// stream where it started.
int ReadFrom(const std::string& bytes, CDIB& dib) {
    std::istringstream in("xyz" + bytes);
    in.seekg(3);
    const int result = dib.Read(in);
    if (result == 0) {
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(in.tellg(), 3);
    }
    return result;
}

TEST(CdibHostileFile, RefusedFiles) {
    std::string notBm = BuildBmp(Valid());
    notBm[1] = 'A';
    const std::pair<const char*, std::string> kCases[] = {
        {"empty", ""},
        {"not BM", notBm},
        {"header cut short", BuildBmp(Valid()).substr(0, 30)},
        {"header size 16", WithHeaderSize(16)},
        {"header size 39", WithHeaderSize(39)},
        {"header larger than the file", WithHeaderSize(0x7FFFFFF0)},
        {"header size wraps the offsets", WithHeaderSize(0xFFFFFFFF)},
        {"run-length 8", Bmp([](BmpSpec& s) { s.compression = 1; }, 8)},
        {"run-length 4", Bmp([](BmpSpec& s) { s.compression = 2; }, 8)},
        {"width 0", Bmp([](BmpSpec& s) { s.width = 0; })},
        {"negative width", Bmp([](BmpSpec& s) { s.width = -3; })},
        {"height 0", Bmp([](BmpSpec& s) { s.height = 0; })},
        {"lowest height",
         Bmp([](BmpSpec& s) { s.height = std::numeric_limits<std::int32_t>::min(); })},
        {"depth 12", Bmp([](BmpSpec& s) { s.bitCount = 12; })},
        {"bit fields at 24 bits", Bmp([](BmpSpec& s) {
             s.compression = 3, s.masks = {0xFF0000, 0xFF00, 0xFF};
         })},
        {"huge dimensions", Bmp([](BmpSpec& s) { s.width = s.height = kHuge; })},
        {"huge top-down height", Bmp([](BmpSpec& s) { s.height = -kHuge; })},
        {"lying height", Bmp([](BmpSpec& s) { s.height = 3; })},
        {"truncated last row", Bmp([](BmpSpec& s) { s.pixels.resize(20); })},
        {"truncated top-down rows", Bmp([](BmpSpec& s) { s.height = -2, s.pixels.resize(13); })},
        {"pixel offset past the end", Bmp([](BmpSpec& s) { s.pixelOffset = 5000; })},
        {"pixel offset inside the header", Bmp([](BmpSpec& s) { s.pixelOffset = 30; })},
        {"pixel offset pushes rows out", Bmp([](BmpSpec& s) { s.pixelOffset = 58; })},
        {"file size below the pixel offset", Bmp([](BmpSpec& s) { s.fileSize = 40; })},
        {"codec data larger than the file",
         Bmp([](BmpSpec& s) { s.compression = kCinepak, s.sizeImage = 1000; })},
        {"codec data top-down", Bmp([](BmpSpec& s) { s.compression = kCinepak, s.height = -2; })},
        {"codec data absent", Bmp([](BmpSpec& s) { s.compression = kCinepak, s.pixels.clear(); })},
        {"non-contiguous 16-bit mask", Bmp([](BmpSpec& s) {
             s.bitCount = 16, s.compression = 3, s.masks = {0xF801, 0x07E0, 0x1E};
         })},
        {"16-bit mask wider than the pixel", Bmp([](BmpSpec& s) {
             s.bitCount = 16, s.compression = 3, s.masks = {0xFF0000, 0xFF00, 0xFF};
         })},
        {"masks missing",
         Bmp([](BmpSpec& s) { s.bitCount = 16, s.compression = 3, s.pixels.clear(); })},
    };
    for (const auto& [name, bytes] : kCases) {
        CDIB dib;
        EXPECT_EQ(ReadFrom(bytes, dib), 0) << name;
    }
}

TEST(CdibHostileFile, LiesReadWithinTheRealBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        int bits;
        std::uint8_t lastTableByte;
    };
    const Case kCases[] = {
        {"file size beyond the file", Bmp([](BmpSpec& s) { s.fileSize = 1u << 31; }), 24, 0},
        {"file size 0", Bmp([](BmpSpec& s) { s.fileSize = 0; }), 24, 0},
        {"pixel offset 0", Bmp([](BmpSpec& s) { s.pixelOffset = 0; }), 24, 0},
        {"extra bytes after the rows", Bmp([](BmpSpec& s) { s.pixels.resize(100); }), 24, 0},
        {"colours used beyond the depth", Bmp([](BmpSpec& s) { s.colorsUsed = 0xFFFFFFFF; }, 8), 8,
         0x11},
        {"colour table cut by the pixel offset",
         Bmp([](BmpSpec& s) { s.colorTable.resize(16); }, 8), 8, 0},
        {"two colours used", Bmp([](BmpSpec& s) { s.colorsUsed = 2, s.colorTable.resize(8); }, 8),
         8, 0},
        {"codec data size 0 takes the rest", Bmp([](BmpSpec& s) { s.compression = kCinepak; }), 0,
         0},
    };
    for (const Case& c : kCases) {
        CDIB dib;
        ASSERT_EQ(ReadFrom(c.bytes, dib), 1) << c.name;
        EXPECT_EQ(dib.GetBitCount(), c.bits) << c.name;
        EXPECT_EQ(dib.GetWidth() * 10 + dib.GetHeight(), 32) << c.name;
        if (c.bits != 8)
            continue;
        // The table always has the depth's 256 entries; those the file lacks are black.
        ASSERT_EQ(dib.GetColorTable().size(), 1024u) << c.name;
        EXPECT_EQ(dib.GetColorTable()[0], 0x11) << c.name;
        EXPECT_EQ(dib.GetColorTable()[1023], c.lastTableByte) << c.name;
        EXPECT_EQ(dib.GetHeader().biClrUsed, 0u) << c.name;
    }
}

TEST(CdibHostileFile, EveryTruncationAndEveryHeaderByteIsSafe) {
    for (int bits : {8, 24}) {
        const std::string file = BuildBmp(Valid(bits));
        for (std::size_t length = 0; length < file.size(); ++length) {
            CDIB dib;
            EXPECT_EQ(ReadFrom(file.substr(0, length), dib), 0) << length;
        }
        for (std::size_t at = 0; at < 54; ++at) {
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                std::string altered = file;
                altered[at] = static_cast<char>(value);
                CDIB dib;
                if (ReadFrom(altered, dib) == 0)
                    continue;
                // Whatever was accepted is whole: every pixel can be read and written.
                for (int y = 0; y < dib.GetHeight(); ++y) {
                    for (int x = 0; x < dib.GetWidth(); ++x) {
                        std::uint8_t r, g, b;
                        dib.GetPixel(x, y, &r, &g, &b);
                        dib.SetPixel(x, y, r, g, b);
                    }
                }
                std::ostringstream out;
                dib.Write(out);
            }
        }
    }
}

}  // namespace
