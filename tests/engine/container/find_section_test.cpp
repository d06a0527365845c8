#include <gtest/gtest.h>

#include "engine/container/container_layout.h"
#include "engine/container/data_type_sniff.h"
#include "engine/container/find_section.h"
#include "tests/engine/container/container_test_support.h"

namespace {

TEST(SniffDataType, ClassifiesByTheFirstFourBytesInOrder) {
    struct Case {
        const char* what;
        Bytes block;
        DataTypeCode expected;
    };
    const Case cases[] = {
        {"bitmap file", TextBytes("BM\x36\x00"), DataTypeCode::Bitmap},
        {"just BM", TextBytes("BM"), DataTypeCode::Bitmap},
        {"bare information header", {40, 0, 0, 0, 1, 2}, DataTypeCode::Bitmap},
        {"JFIF", {0xFF, 0xD8, 0xFF, 0xE0, 0x00}, DataTypeCode::Jpeg},
        {"JPEG without JFIF marker", {0xFF, 0xD8, 0xFF, 0xE1}, DataTypeCode::None},
        {"container", TextBytes("HVXK"), DataTypeCode::Container},
        {"lower-case magic", TextBytes("hvxk"), DataTypeCode::None},
        {"three bytes of magic", TextBytes("HVX"), DataTypeCode::None},
        {"empty", {}, DataTypeCode::None},
        {"41 is no header size", {41, 0, 0, 0}, DataTypeCode::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SniffDataType(c.block), c.expected) << c.what;
    }
}

TEST(FindSection, ComparesFourCharactersStoppingAtANul) {
    const Bytes tail = TextBytes("abcdefgh");
    const Bytes file =
        RawContainer("HVXK", 72, 3, {{"ABC ", 64, 2}, {"INIT", 66, 2}, {"INIT", 68, 4}}, tail);
    struct Case {
        std::string_view name;
        std::size_t size;
    };
    const Case cases[] = {
        {"INIT", 2},     // the first of two entries of that name
        {"INITIAL", 2},  // only four characters count
        {"INI", 0},      // a short name is not padded here
        {"ABC", 0},      // ... so it does not find the padded one
        {"ABC ", 2},
        {"init", 0},  // case matters
        {std::string_view("IN\0T", 4), 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindSection(c.name, file).size(), c.size) << c.name;
    }
}

TEST(FindSection, FindsNothingOutsideAContainer) {
    Bytes bitmapStart = RawContainer("HVXK", 36, 1, {{"INIT", 32, 4}}, TextBytes("data"));
    bitmapStart[0] = 'B';
    bitmapStart[1] = 'M';
    EXPECT_TRUE(FindSection("INIT", bitmapStart).empty());
    EXPECT_TRUE(FindSection("INIT", {}).empty());
}

TEST(FindSection, StaysInsideHostileBlocks) {
    const Bytes data(8, 0x55);
    struct Case {
        const char* what;
        Bytes block;
    };
    const Case cases[] = {
        {"header cut short", TextBytes("HVXK\x20\x00")},
        {"count larger than the table", RawContainer("HVXK", 40, 1000, {{"JUNK", 32, 8}}, data)},
        {"entry cut short",
         [] {
             Bytes b = RawContainer("HVXK", 40, 1, {{"INIT", 32, 8}}, {});
             b.resize(24);
             return b;
         }()},
        {"offset past the block", RawContainer("HVXK", 40, 1, {{"INIT", 400, 8}}, data)},
        {"size past the block", RawContainer("HVXK", 40, 1, {{"INIT", 32, 9}}, data)},
        {"size 0xFFFFFFFF", RawContainer("HVXK", 40, 1, {{"INIT", 32, 0xFFFFFFFF}}, data)},
        {"offset 0xFFFFFFFF", RawContainer("HVXK", 40, 1, {{"INIT", 0xFFFFFFFF, 1}}, data)},
        {"offset plus size wraps", RawContainer("HVXK", 40, 1, {{"INIT", 0xFFFFFFF8, 0x10}}, data)},
        {"count 0xFFFFFFFF", RawContainer("HVXK", 40, 0xFFFFFFFF, {{"JUNK", 32, 8}}, data)},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(FindSection("INIT", c.block).empty()) << c.what;
    }
}

TEST(FindSection, TrustsNeitherTotalSizeNorEntriesThatDoNotMatch) {
    // The total size field lies and the first entry points nowhere, but the wanted one fits.
    const Bytes file = RawContainer("HVXK", 0xFFFFFFFF, 2,
                                    {{"JUNK", 0xFFFFFFFF, 5}, {"INIT", 48, 4}}, TextBytes("data"));
    EXPECT_EQ(FindSection("INIT", file).size(), 4u);
    // Overlapping sections are read as they stand.
    const Bytes overlapping =
        RawContainer("HVXK", 52, 2, {{"AAAA", 48, 4}, {"BBBB", 50, 2}}, TextBytes("wxyz"));
    EXPECT_EQ(FindSection("BBBB", overlapping)[0], 'y');
}

TEST(ContainerHeader, VersionCodeIsTheSignedByteAtOffsetTwelve) {
    struct Case {
        std::uint8_t byte12;
        std::uint8_t byte13;
        int code;
    };
    const Case cases[] = {{0, 0, 0}, {1, 0, 1}, {0xFF, 0, -1}, {0x80, 0, -128}, {0, 7, 0}};
    for (const Case& c : cases) {
        Bytes block = RawContainer("HVXK", 16, 0, {}, {});
        block[12] = c.byte12;
        block[13] = c.byte13;
        const auto header = ReadContainerHeader(block);
        ASSERT_TRUE(header.has_value());
        EXPECT_EQ(VersionCode(*header), c.code) << int{c.byte12};
    }
    EXPECT_FALSE(ReadContainerHeader(Bytes(15, 0)).has_value());
}

}  // namespace
