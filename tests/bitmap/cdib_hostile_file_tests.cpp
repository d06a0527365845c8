// Bitmap files that lie about themselves: each is refused (or read within its real bytes)
// without reading or writing out of bounds; the address sanitizer build checks the latter.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "bitmap/cdib.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

BmpSpec Valid24(int width = 3, int height = 2) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixels.assign(static_cast<std::size_t>((width * 3 + 3) / 4 * 4 * height), 0x5A);
    return spec;
}

BmpSpec Valid8() {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 8;
    spec.colorTable.assign(1024, 0x11);
    spec.pixels.assign(8, 1);
    return spec;
}

int ReadFrom(const std::string& bytes, CDIB* dib = nullptr) {
    CDIB local(2, 2, 24);
    CDIB& target = dib != nullptr ? *dib : local;
    std::istringstream in(bytes);
    const int result = target.Read(in);
    if (result == 0) {
        EXPECT_TRUE(target.IsEmpty());
        EXPECT_EQ(in.tellg(), 0);
    }
    return result;
}

// A valid file whose header-size field says `size`.
std::string WithHeaderSize(std::uint32_t size) {
    std::string file = BuildBmp(Valid24());
    for (int i = 0; i < 4; ++i) file[14 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return file;
}

template <typename Change>
std::string Altered(BmpSpec spec, Change change) {
    change(spec);
    return BuildBmp(spec);
}

TEST(CdibHostileFile, RefusedFiles) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::int32_t kHuge = std::numeric_limits<std::int32_t>::max();
    std::string notBm = BuildBmp(Valid24());
    notBm[1] = 'A';
    const Case kCases[] = {
        {"empty stream", ""},
        {"shorter than the file header", "BM\x10\x00"},
        {"not BM", notBm},
        {"header cut short", BuildBmp(Valid24()).substr(0, 30)},
        {"header size 0", Altered(Valid24(), [](BmpSpec& s) { s.headerSize = 0; })},
        {"header size 16", Altered(Valid24(), [](BmpSpec& s) { s.headerSize = 16; })},
        {"header size 39", Altered(Valid24(), [](BmpSpec& s) { s.headerSize = 39; })},
        {"header larger than the file", WithHeaderSize(0x7FFFFFF0)},
        {"header size wraps the offsets", WithHeaderSize(0xFFFFFFFF)},
        {"run-length 8", Altered(Valid8(), [](BmpSpec& s) { s.compression = 1; })},
        {"run-length 4", Altered(Valid8(), [](BmpSpec& s) { s.compression = 2; })},
        {"width 0", Altered(Valid24(), [](BmpSpec& s) { s.width = 0; })},
        {"negative width", Altered(Valid24(), [](BmpSpec& s) { s.width = -3; })},
        {"height 0", Altered(Valid24(), [](BmpSpec& s) { s.height = 0; })},
        {"lowest height", Altered(Valid24(), [](BmpSpec& s) {
             s.height = std::numeric_limits<std::int32_t>::min();
         })},
        {"depth 0", Altered(Valid24(), [](BmpSpec& s) { s.bitCount = 0; })},
        {"depth 12", Altered(Valid24(), [](BmpSpec& s) { s.bitCount = 12; })},
        {"depth 64", Altered(Valid24(), [](BmpSpec& s) { s.bitCount = 64; })},
        {"bit fields at 24 bits", Altered(Valid24(), [](BmpSpec& s) {
             s.compression = 3;
             s.masks = {0xFF0000, 0xFF00, 0xFF};
         })},
        {"huge dimensions", Altered(Valid24(), [&](BmpSpec& s) { s.width = s.height = kHuge; })},
        {"huge width", Altered(Valid24(), [&](BmpSpec& s) { s.width = kHuge; })},
        {"huge top-down height", Altered(Valid24(), [&](BmpSpec& s) { s.height = -kHuge; })},
        {"lying height", Altered(Valid24(), [](BmpSpec& s) { s.height = 3; })},
        {"truncated last row", Altered(Valid24(), [](BmpSpec& s) { s.pixels.resize(20); })},
        {"truncated top-down rows", Altered(Valid24(), [](BmpSpec& s) {
             s.height = -2;
             s.pixels.resize(13);
         })},
        {"pixel offset past the end", Altered(Valid24(), [](BmpSpec& s) { s.pixelOffset = 5000; })},
        {"pixel offset inside the header", Altered(Valid24(), [](BmpSpec& s) { s.pixelOffset = 30; })},
        {"pixel offset shifts rows out of the file",
         Altered(Valid24(), [](BmpSpec& s) { s.pixelOffset = 58; })},
        {"file size below the pixel offset", Altered(Valid24(), [](BmpSpec& s) { s.fileSize = 40; })},
        {"codec data larger than the file", Altered(Valid24(), [](BmpSpec& s) {
             s.compression = 0x64697663;  // "cvid"
             s.sizeImage = 1000;
         })},
        {"codec data top-down", Altered(Valid24(), [](BmpSpec& s) {
             s.compression = 0x64697663;
             s.height = -2;
         })},
        {"codec data stated empty and none there", Altered(Valid24(), [](BmpSpec& s) {
             s.compression = 0x64697663;
             s.pixels.clear();
         })},
        {"non-contiguous 16-bit mask", Altered(Valid24(), [](BmpSpec& s) {
             s.bitCount = 16;
             s.compression = 3;
             s.masks = {0xF801, 0x07E0, 0x001E};
         })},
        {"16-bit mask wider than the pixel", Altered(Valid24(), [](BmpSpec& s) {
             s.bitCount = 16;
             s.compression = 3;
             s.masks = {0xFF0000, 0xFF00, 0xFF};
         })},
        {"masks missing", Altered(Valid24(), [](BmpSpec& s) {
             s.bitCount = 16;
             s.compression = 3;
             s.pixels.clear();
         })},
    };
    for (const Case& c : kCases) EXPECT_EQ(ReadFrom(c.bytes), 0) << c.name;
}

TEST(CdibHostileFile, LiesThatAreReadWithinTheRealBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        int bits;
    };
    const Case kCases[] = {
        {"file size larger than the file", Altered(Valid24(), [](BmpSpec& s) { s.fileSize = 1u << 31; }), 24},
        {"file size 0", Altered(Valid24(), [](BmpSpec& s) { s.fileSize = 0; }), 24},
        {"pixel offset 0", Altered(Valid24(), [](BmpSpec& s) { s.pixelOffset = 0; }), 24},
        {"colours used beyond the depth", Altered(Valid8(), [](BmpSpec& s) { s.colorsUsed = 0xFFFFFFFF; }), 8},
        {"colour table cut by the pixel offset", Altered(Valid8(), [](BmpSpec& s) {
             s.colorTable.resize(16);
         }), 8},
        {"extra bytes after the rows", Altered(Valid24(), [](BmpSpec& s) { s.pixels.resize(100); }), 24},
        {"codec data stated empty takes the rest", Altered(Valid24(), [](BmpSpec& s) {
             s.compression = 0x64697663;
         }), 0},
    };
    for (const Case& c : kCases) {
        CDIB dib;
        ASSERT_EQ(ReadFrom(c.bytes, &dib), 1) << c.name;
        EXPECT_EQ(dib.GetBitCount(), c.bits) << c.name;
        EXPECT_EQ(dib.GetWidth(), 3) << c.name;
        EXPECT_EQ(dib.GetHeight(), 2) << c.name;
        if (c.bits == 8) {
            EXPECT_EQ(dib.GetColorTable().size(), 1024u) << c.name;
            EXPECT_EQ(dib.GetHeader().biClrUsed, 0u) << c.name;
        }
    }
}

TEST(CdibHostileFile, ShortColourTableLeavesTheRestBlack) {
    CDIB dib;
    ASSERT_EQ(ReadFrom(Altered(Valid8(), [](BmpSpec& s) {
                  s.colorsUsed = 2;
                  s.colorTable.resize(8);
              }),
                       &dib),
              1);
    const std::span<const std::uint8_t> table = dib.GetColorTable();
    ASSERT_EQ(table.size(), 1024u);
    EXPECT_EQ(table[7], 0x11);
    EXPECT_EQ(table[8], 0);
    EXPECT_EQ(table[1023], 0);
}

TEST(CdibHostileFile, NotBmLeavesTheStreamWhereItWas) {
    std::istringstream in("xyzBMnot really");
    in.seekg(3);
    CDIB dib;
    EXPECT_EQ(dib.Read(in), 0);
    EXPECT_EQ(in.tellg(), 3);
}

TEST(CdibHostileFile, EveryTruncationAndEveryHeaderByteIsSafe) {
    for (const BmpSpec& spec : {Valid8(), Valid24(5, 3)}) {
        const std::string file = BuildBmp(spec);
        for (std::size_t length = 0; length < file.size(); ++length) {
            EXPECT_EQ(ReadFrom(file.substr(0, length)), 0) << length;
        }
        for (std::size_t at = 0; at < 54; ++at) {
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                std::string altered = file;
                altered[at] = static_cast<char>(value);
                CDIB dib;
                if (ReadFrom(altered, &dib) == 1) {
                    // Whatever was accepted is whole: every pixel can be read and written.
                    std::uint8_t r, g, b;
                    for (int y = 0; y < dib.GetHeight(); ++y) {
                        for (int x = 0; x < dib.GetWidth(); ++x) {
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
}

}  // namespace
