#include <gtest/gtest.h>

#include "engine/container/init_section.h"
#include "tests/engine/container/container_test_support.h"

namespace {

// Eight values as little-endian 16-bit bytes.
Bytes InitBytes(std::initializer_list<int> values) {
    Bytes out;
    for (const int value : values) {
        out.push_back(static_cast<std::uint8_t>(value & 0xFF));
        out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
    return out;
}

TEST(InitSection, ValuesAreSignedLittleEndian) {
    const Bytes bytes = {0xA6, 0xFF, 0x5A, 0x00, 0xE2, 0xFF, 0x1E, 0x00,
                         0x00, 0x80, 0xFF, 0x7F, 0x01, 0x01, 0x3C, 0x00};
    const InitValues expected{-90, 90, -30, 30, -32768, 32767, 257, 60};
    EXPECT_EQ(ReadInitValues(bytes), expected);
    const InitSectionBytes built = BuildInitSection(expected);
    EXPECT_EQ(Bytes(built.begin(), built.end()), bytes);
    EXPECT_EQ(ReadInitValues(Bytes(15, 0)), std::nullopt);
}

TEST(InitSection, EngineReadsBothFormsAndClampsSpans) {
    struct Case {
        const char* what;
        Bytes section;
        int headingSpan, pitchSpan, heading, pitch, roll, fov, homeFov;
    };
    const Case cases[] = {
        {"sixteen zeros", Bytes(16, 0), 360, 180, 0, 0, 0, 0, 60},
        {"long form", InitBytes({-90, 90, -30, 30, 0, 0, 0, 0}), 180, 60, 0, 0, 0, 0, 60},
        {"short form", InitBytes({180, 90, 0, 0, 10, 5, 0, 0}), 180, 90, 10, 5, 0, 0, 60},
        {"odd short spans stay whole", InitBytes({360, 45, 0, 0, 0, 0, 0, 60}), 360, 45, 0, 0, 0,
         60, 60},
        {"wide field of view", InitBytes({0, 0, 0, 0, 0, 0, 0, 200}), 360, 180, 0, 0, 0, 200, 170},
        {"narrow field of view", InitBytes({0, 0, 0, 0, 0, 0, 0, 5}), 360, 180, 0, 0, 0, 5, 10},
        {"negative view", InitBytes({0, 0, 0, 0, -20, -10, -5, 0}), 360, 180, -20, -10, -5, 0, 60},
        {"spans too large", InitBytes({400, 200, 0, 0, 0, 0, 0, 0}), 360, 180, 0, 0, 0, 0, 60},
        {"negative short spans", InitBytes({-10, -5, 0, 0, 0, 0, 0, 0}), 360, 180, 0, 0, 0, 0, 60},
        {"reversed long range", InitBytes({90, -90, 30, -30, 0, 0, 0, 0}), 360, 180, 0, 0, 0, 0,
         60},
        {"extreme long range does not wrap", InitBytes({-32768, 32767, -32768, 32767, 0, 0, 0, 0}),
         360, 180, 0, 0, 0, 0, 60},
        {"long form with one zero end", InitBytes({0, 90, 0, 45, 0, 0, 0, 0}), 90, 45, 0, 0, 0, 0,
         60},
    };
    for (const Case& c : cases) {
        const auto view = ReadInitForEngine(c.section);
        ASSERT_TRUE(view.has_value()) << c.what;
        EXPECT_EQ(view->headingSpan, c.headingSpan) << c.what;
        EXPECT_EQ(view->pitchSpan, c.pitchSpan) << c.what;
        EXPECT_EQ(view->heading, c.heading) << c.what;
        EXPECT_EQ(view->pitch, c.pitch) << c.what;
        EXPECT_EQ(view->roll, c.roll) << c.what;
        EXPECT_EQ(view->fieldOfView, c.fov) << c.what;
        EXPECT_EQ(view->homeFieldOfView, c.homeFov) << c.what;
    }
}

TEST(InitSection, EngineIgnoresAnyOtherLength) {
    for (const std::size_t size : {0, 1, 15, 17, 32}) {
        EXPECT_FALSE(ReadInitForEngine(Bytes(size, 0)).has_value()) << size;
    }
}

TEST(InitSection, EditorReadsTheViewAsTheEngineDoes) {
    struct Case {
        const char* what;
        Bytes section;
        int horizontal, vertical, pan, tilt, roll, fov;
    };
    const Case cases[] = {
        {"absent", {}, 360, 180, 0, 0, 0, 0},
        {"full sphere written as zeros", InitBytes({0, 0, 0, 0, 15, -5, 2, 70}), 360, 180, 15, -5,
         2, 70},
        {"partial", InitBytes({360, 90, 0, 0, 0, 0, 0, 0}), 360, 90, 0, 0, 0, 0},
        {"negative values, the field of view kept as stored",
         InitBytes({-1, -2, 0, 0, 0, 0, 0, -30}), 360, 180, 0, 0, 0, -30},
        {"long form gives the spans of its ranges", InitBytes({-90, 90, -30, 30, 0, 0, 0, 0}), 180,
         60, 0, 0, 0, 0},
        {"long form with only a pitch range", InitBytes({0, 0, -45, 45, 0, 0, 0, 0}), 360, 90, 0, 0,
         0, 0},
        {"spans beyond the sphere", InitBytes({400, 200, 0, 0, 0, 0, 0, 0}), 360, 180, 0, 0, 0, 0},
        {"longer than 16 bytes",
         [] {
             Bytes b = InitBytes({200, 100, 0, 0, 1, 2, 3, 4});
             b.push_back(0x77);
             return b;
         }(),
         360, 180, 0, 0, 0, 0},
        {"shorter than 16 bytes", Bytes(15, 0x11), 360, 180, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const EditorInitialView view = ReadInitForEditor(c.section);
        EXPECT_EQ(view.horizontalDegrees, c.horizontal) << c.what;
        EXPECT_EQ(view.verticalDegrees, c.vertical) << c.what;
        EXPECT_EQ(view.pan, c.pan) << c.what;
        EXPECT_EQ(view.tilt, c.tilt) << c.what;
        EXPECT_EQ(view.roll, c.roll) << c.what;
        EXPECT_EQ(view.fieldOfView, c.fov) << c.what;
    }
}

TEST(InitSection, EditorWritesOnlyWhatDiffersFromTheDefault) {
    struct Case {
        const char* what;
        EditorInitialView view;
        std::optional<Bytes> expected;
    };
    const Case cases[] = {
        {"default view, full sphere", {360, 180, 0, 0, 0, 0}, std::nullopt},
        {"moved view with the default field of view is kept",
         {360, 180, 30, 10, 0, 0},
         InitBytes({0, 0, 0, 0, 30, 10, 0, 0})},
        {"roll alone is kept", {360, 180, 0, 0, -5, 0}, InitBytes({0, 0, 0, 0, 0, 0, -5, 0})},
        {"half height", {360, 90, 0, 0, 0, 0}, InitBytes({360, 90, 0, 0, 0, 0, 0, 0})},
        {"set view on a full sphere",
         {360, 180, 30, -10, 5, 75},
         InitBytes({0, 0, 0, 0, 30, -10, 5, 75})},
        {"partial heading", {180, 180, 0, 0, 0, 0}, InitBytes({180, 180, 0, 0, 0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        const auto built = BuildEditorInitSection(c.view);
        ASSERT_EQ(built.has_value(), c.expected.has_value()) << c.what;
        if (built) {
            EXPECT_EQ(Bytes(built->begin(), built->end()), *c.expected) << c.what;
        }
    }
}

}  // namespace
