#include <gtest/gtest.h>

#include "engine/viewer/panorama_sections.h"
#include "test_panoramas.h"

namespace {

TEST(Sections, DamagedContainersNeverReadOutside) {
    Bytes good = MakeContainer({{"INIT", Bytes(16, 0)}, {"HSPT", Bytes{0}}});
    Bytes hugeCount = good;
    hugeCount[8] = 0xFF;
    hugeCount[9] = 0xFF;
    Bytes offsetPastEnd = good;
    offsetPastEnd[16 + 4] = 0xF0;
    offsetPastEnd[16 + 7] = 0x7F;
    Bytes sizePastEnd = good;
    sizePastEnd[16 + 8] = 0xFF;
    sizePastEnd[16 + 11] = 0xFF;
    struct Case {
        const char* name;
        Bytes block;
        bool initFound;
    };
    const Case cases[] = {
        {"good", good, true},
        {"count beyond the table", hugeCount, true},
        {"offset past the end", offsetPastEnd, false},
        {"size past the end", sizePastEnd, false},
        {"bitmap with a table inside", MakeBitmap(4, 4), false},
        {"header only", Bytes{'H', 'V', 'X', 'K'}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindPanoramaSection(c.block, "INIT").has_value(), c.initFound) << c.name;
    }
}

TEST(Sections, HotspotWalkStopsAtTheFirstRecordThatDoesNotFit) {
    Bytes two = HotspotSection({{1, 2, 3, 4, "a.pan"}, {5, 6, 7, 8, "b.wav"}});
    Bytes claimsThree = two;
    claimsThree[0] = 3;
    Bytes cutText = two;
    cutText.pop_back();  // the second text loses its NUL
    Bytes zeroCount = two;
    zeroCount[0] = 0;
    struct Case {
        const char* name;
        Bytes section;
        std::size_t records;
    };
    const Case cases[] = {
        {"two", two, 2},
        {"count above the records", claimsThree, 2},
        {"text without NUL", cutText, 1},
        {"count 0", zeroCount, 0},
        {"empty", Bytes{}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadHotspotSection(c.section).size(), c.records) << c.name;
    const auto records = ReadHotspotSection(two);
    EXPECT_EQ(records[1].target, "b.wav");
    EXPECT_EQ(records[1].pitch2, 8.0f);
}

TEST(Sections, FileWalkIsBoundedAndNamesArePlain) {
    Bytes two = FileSection({{"~a", "xyz"}, {"~b", ""}});
    Bytes lengthTooLong = FileSection({{"~a", "xyz"}});
    lengthTooLong[3] = 200;
    EXPECT_EQ(ReadFileSection(two).size(), 2u);
    EXPECT_EQ(ReadFileSection(two)[0].bytes.size(), 3u);
    EXPECT_TRUE(ReadFileSection(lengthTooLong).empty());
    EXPECT_TRUE(ReadFileSection(Bytes{0}).empty()) << "one NUL holds no files";

    for (const char* bad : {"", ".", "..", "a/b", "..\\x", "C:x"}) EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    EXPECT_TRUE(IsPlainFileName("~sound.wav"));
}

}  // namespace
