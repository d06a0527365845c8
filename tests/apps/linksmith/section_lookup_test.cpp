// Finding a section in a panorama file through a stdio stream, on good and lying files.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "apps/linksmith/section_lookup.h"
#include "tests/engine/container/container_test_support.h"

namespace {

struct StreamCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

// A stream over `bytes`, at its start.
Stream StreamOf(const Bytes& bytes) {
    Stream stream(std::tmpfile());
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), stream.get());
    std::rewind(stream.get());
    return stream;
}

TEST(SectionLookup, SniffsTheFileTypeByItsFirstFourBytes) {
    struct Case {
        const char* what;
        Bytes bytes;
        DataTypeCode expected;
    };
    const Case cases[] = {
        {"bitmap", Bytes{'B', 'M', 0x10, 0x00}, DataTypeCode::Bitmap},
        {"jpeg", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00}, DataTypeCode::Jpeg},
        {"jpeg without JFIF first", Bytes{0xFF, 0xD8, 0xFF, 0xE1}, DataTypeCode::None},
        {"container", TextBytes("HVXK...."), DataTypeCode::Container},
        {"bare information header is no bitmap here", Bytes{40, 0, 0, 0}, DataTypeCode::None},
        {"three bytes", TextBytes("HVX"), DataTypeCode::None},
        {"empty", Bytes{}, DataTypeCode::None},
    };
    for (const Case& c : cases) {
        Stream stream = StreamOf(c.bytes);
        EXPECT_EQ(SniffFileType(stream.get()), c.expected) << c.what;
        EXPECT_EQ(std::ftell(stream.get()), 0) << c.what;
    }
}

TEST(SectionLookup, FindsTheFirstEntryAndStopsWhereTheFileEnds) {
    const Bytes data = TextBytes("abcdefgh");
    struct Case {
        const char* what;
        Bytes file;
        const char* tag;
        std::uint32_t size;
        long position;  // where the stream stands afterwards: the data, or the start
    };
    const Case cases[] = {
        {"second entry", RawContainer("HVXK", 56, 2, {{"INIT", 48, 4}, {"HSPT", 52, 4}}, data),
         "HSPT", 4, 52},
        {"first of two equal tags",
         RawContainer("HVXK", 56, 2, {{"HSPT", 48, 2}, {"HSPT", 50, 6}}, data), "HSPT", 2, 48},
        {"case counts", RawContainer("HVXK", 40, 1, {{"HSPT", 32, 8}}, data), "hspt", 0, 0},
        {"size 0 gives the size of an absent one",
         RawContainer("HVXK", 40, 1, {{"NOTE", 32, 0}}, data), "NOTE", 0, 32},
        {"count beyond the table", RawContainer("HVXK", 40, 9999, {{"INIT", 32, 8}}, data), "HSPT",
         0, 0},
        {"data past the end of the file",
         RawContainer("HVXK", 40, 1, {{"HSPT", 36, 0xFFFFFFF0u}}, data), "HSPT", 0, 0},
        {"offset past the end of the file",
         RawContainer("HVXK", 40, 1, {{"HSPT", 0x7FFFFFF0u, 1}}, data), "HSPT", 0, 0},
        {"header cut short", TextBytes("HVXK\x10\x00"), "HSPT", 0, 0},
        {"bitmap that holds a table further on",
         Concat({TextBytes("BM"), RawContainer("HVXK", 40, 1, {{"HSPT", 32, 8}}, data)}), "HSPT", 0,
         0},
    };
    for (const Case& c : cases) {
        Stream stream = StreamOf(c.file);
        EXPECT_EQ(FindSectionInFile(stream.get(), c.tag), c.size) << c.what;
        EXPECT_EQ(std::ftell(stream.get()), c.position) << c.what;
    }
}

}  // namespace
