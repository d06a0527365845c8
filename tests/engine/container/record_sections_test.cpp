#include <gtest/gtest.h>

#include "engine/container/file_section.h"
#include "engine/container/hotspot_section.h"
#include "engine/container/image_section.h"
#include "engine/container/panorama_note.h"
#include "tests/engine/container/container_test_support.h"

namespace {

// Two hotspots: (1, -2.5)-(90, 0.5) "go", and (0, 0)-(-1, 2) with an empty text.
const Bytes kTwoHotspots = {
    0x02,                                                                    //
    0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x20, 0xC0, 0x00, 0x00, 0xB4, 0x42,  //
    0x00, 0x00, 0x00, 0x3F, 'g',  'o',  0x00,                                //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xBF,  //
    0x00, 0x00, 0x00, 0x40, 0x00,
};

TEST(HotspotSection, ReadsAndWritesTheDocumentedBytes) {
    const std::vector<SectionHotspot> expected = {{1.0f, -2.5f, 90.0f, 0.5f, "go"},
                                                  {0.0f, 0.0f, -1.0f, 2.0f, ""}};
    EXPECT_EQ(ParseHotspotSection(kTwoHotspots), expected);
    EXPECT_EQ(BuildHotspotSection(expected), kTwoHotspots);
    EXPECT_EQ(BuildHotspotSection({}), Bytes{0});
}

TEST(HotspotSection, WalkStopsAtTheCountOrTheFirstRecordThatDoesNotFit) {
    struct Case {
        const char* what;
        Bytes section;
        std::size_t count;
    };
    Bytes countTooHigh = kTwoHotspots;
    countTooHigh[0] = 200;
    Bytes textUnterminated = kTwoHotspots;
    textUnterminated.pop_back();
    const Case cases[] = {
        {"empty", {}, 0},
        {"count 0 with records behind",
         Concat({{0}, Bytes(kTwoHotspots.begin() + 1, kTwoHotspots.end())}), 0},
        {"count 1 of 2", Concat({{1}, Bytes(kTwoHotspots.begin() + 1, kTwoHotspots.end())}), 1},
        {"count larger than the records", countTooHigh, 2},
        {"second text unterminated", textUnterminated, 1},
        {"corners cut short", Bytes(kTwoHotspots.begin(), kTwoHotspots.begin() + 10), 0},
        {"corners without text", Bytes(kTwoHotspots.begin(), kTwoHotspots.begin() + 17), 0},
        {"count byte only", {5}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseHotspotSection(c.section).size(), c.count) << c.what;
    }
}

TEST(HotspotSection, WriterKeepsTheCountTrue) {
    std::vector<SectionHotspot> many(255, SectionHotspot{0, 0, 1, 1, "x"});
    const auto full = BuildHotspotSection(many);
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ((*full)[0], 255);
    EXPECT_EQ(full->size(), 1u + 255u * 18u);
    many.push_back(many.back());
    EXPECT_FALSE(BuildHotspotSection(many).has_value());

    const SectionHotspot withNul{0, 0, 0, 0, std::string("run\0junk", 8)};
    EXPECT_EQ(BuildHotspotSection({&withNul, 1})->size(), 1u + 17u + 3u);
}

TEST(FileSection, ReadsAndWritesTheDocumentedBytes) {
    const Bytes section = Concat({TextBytes("~a.txt"),
                                  {0, 3, 0, 0, 0},
                                  TextBytes("abc"),
                                  TextBytes("~b"),
                                  {0, 0, 0, 0, 0},
                                  {0}});
    const auto entries = ParseFileSection(section);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "~a.txt");
    EXPECT_EQ(Bytes(entries[0].contents.begin(), entries[0].contents.end()), TextBytes("abc"));
    EXPECT_EQ(entries[1].name, "~b");
    EXPECT_TRUE(entries[1].contents.empty());
    EXPECT_EQ(BuildFileSection(entries), section);
    EXPECT_EQ(BuildFileSection({}), Bytes{0});
    EXPECT_TRUE(ParseFileSection(Bytes{0}).empty());
}

TEST(FileSection, WalkStopsAtTheFirstEntryThatDoesNotFit) {
    const Bytes good = Concat({TextBytes("~ok"), {0, 2, 0, 0, 0}, TextBytes("hi")});
    struct Case {
        const char* what;
        Bytes section;
        std::size_t count;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"no closing NUL", good, 1},
        {"name without NUL", Concat({good, TextBytes("~name")}), 1},
        {"length cut short", Concat({good, TextBytes("~x"), {0, 1, 0}}), 1},
        {"contents past the end", Concat({good, TextBytes("~x"), {0, 9, 0, 0, 0}, {1, 2}}), 1},
        {"length 0xFFFFFFFF", Concat({good, TextBytes("~x"), {0, 0xFF, 0xFF, 0xFF, 0xFF}, {1}}), 1},
        {"lying first length", Concat({TextBytes("~x"), {0, 0xF0, 0xFF, 0xFF, 0xFF}, good}), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseFileSection(c.section).size(), c.count) << c.what;
    }
}

TEST(FileSection, RefusesNamesThatAreNotPlain) {
    struct Case {
        std::string_view name;
        bool plain;
    };
    const Case cases[] = {
        {"~photo.jpg", true}, {"..x", true},   {"a.", true},     {"x", true},
        {"", false},          {".", false},    {"..", false},    {"../x", false},
        {"a/b", false},       {"/etc", false}, {"a\\b", false},  {"..\\x", false},
        {"C:x", false},       {"c:", false},   {"C:\\x", false}, {"1:x", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPlainFileName(c.name), c.plain) << c.name;
    }

    // A refused entry is skipped; the next one is still read.
    const Bytes section = Concat({TextBytes("../evil"),
                                  {0, 1, 0, 0, 0},
                                  {'e'},
                                  TextBytes("~ok"),
                                  {0, 1, 0, 0, 0},
                                  {'k'},
                                  {0}});
    const auto entries = ParseFileSection(section);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "~ok");

    const Bytes contents = {1};
    const EmbeddedFileEntry bad{"dir/file", contents};
    EXPECT_FALSE(BuildFileSection({&bad, 1}).has_value());
}

// A name longer than the longest path is beyond the bounds, so that no section within them is
// longer than kMaxFileSectionBytes.
TEST(FileSection, NamesAreBoundByTheLongestPath) {
    const Bytes contents = {'x'};
    for (const std::size_t length : {kMaxEmbeddedNameBytes, kMaxEmbeddedNameBytes + 1}) {
        const std::string name(length, 'n');
        const EmbeddedFileEntry entry{name, contents};
        EXPECT_EQ(BuildFileSection({&entry, 1}).has_value(), length <= kMaxEmbeddedNameBytes);
        const Bytes section = Concat({TextBytes(name), {0, 1, 0, 0, 0, 'x', 0}});
        EXPECT_EQ(FileSectionWithinLimits(section), length <= kMaxEmbeddedNameBytes) << length;
    }
}

TEST(PanoramaNote, ReadsAndWritesTheDocumentedBytes) {
    const Bytes section =
        Concat({{0x0A}, TextBytes("Ann"), {0}, TextBytes("Org"), {0}, Bytes(8, 0)});
    PanoramaNote expected;
    expected.fields[0] = "Ann";
    expected.fields[1] = "Org";
    EXPECT_EQ(ParsePanoramaNote(section), expected);
    EXPECT_EQ(BuildPanoramaNote(expected), section);
    EXPECT_FALSE(expected.IsEmpty());

    const auto blank = ParsePanoramaNote(Bytes{0x0A});
    ASSERT_TRUE(blank.has_value());
    EXPECT_TRUE(blank->IsEmpty());
    EXPECT_EQ(BuildPanoramaNote(*blank), Concat({{0x0A}, Bytes(10, 0)}));
}

TEST(PanoramaNote, ReadsOnlyWhatTheSectionHolds) {
    EXPECT_FALSE(ParsePanoramaNote({}).has_value());
    EXPECT_FALSE(ParsePanoramaNote(Concat({{0x0B}, Bytes(10, 0)})).has_value());

    const auto cut = ParsePanoramaNote(
        Concat({{0x0A}, TextBytes("a"), {0}, TextBytes("b"), {0}, TextBytes("unterminated")}));
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->fields[0], "a");
    EXPECT_EQ(cut->fields[1], "b");
    EXPECT_EQ(cut->fields[2], "");
    EXPECT_EQ(cut->fields[9], "");

    // Bytes behind the tenth string are not read as more fields.
    const auto extra = ParsePanoramaNote(Concat({{0x0A}, Bytes(10, 0), TextBytes("more"), {0}}));
    ASSERT_TRUE(extra.has_value());
    EXPECT_TRUE(extra->IsEmpty());
}

TEST(ImageSection, StoresBareBitmapAndJpegFilesWhole) {
    struct Case {
        const char* what;
        Bytes file;
        bool storable;
    };
    const Case cases[] = {
        {"bitmap", TextBytes("BM..."), true},
        {"JFIF", {0xFF, 0xD8, 0xFF, 0xE0}, true},
        {"JPEG of another kind", {0xFF, 0xD8, 0xFF, 0xDB}, true},
        {"container", TextBytes("HVXK"), false},
        {"bare information header", {40, 0, 0, 0}, false},
        {"one byte", {0xFF}, false},
        {"empty", {}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsStorableImageFile(c.file), c.storable) << c.what;
    }
}

}  // namespace
