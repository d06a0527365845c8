#include "apps/roamer/freedom_limits.h"

#include <gtest/gtest.h>

namespace {

TEST(FreedomLimits, GivesTheRangesOfEachCombination) {
    const struct {
        const char* name;
        int freedoms;
        FreedomRanges expected;
    } cases[] = {
        {"default: pan, tilt, zoom", 11, {-360, 360, -90, 90, 0, 0, 10, 170}},
        {"everything", 31, {-360, 360, -360, 360, -360, 360, 10, 170}},
        {"nothing", 0, {0, 0, 0, 0, 0, 0, 60, 60}},
        {"zoom off fixes the view at 60", 7, {-360, 360, -90, 90, -90, 90, 60, 60}},
        {"zoom alone", 8, {0, 0, 0, 0, 0, 0, 10, 170}},
        {"upside-down alone frees nothing", 16, {0, 0, 0, 0, 0, 0, 60, 60}},
        {"upside-down frees tilt only", 2 | 16, {0, 0, -360, 360, 0, 0, 60, 60}},
        {"roll stays upright without upside-down", 4, {0, 0, 0, 0, -90, 90, 60, 60}},
        {"bits above 16 are ignored", 64 | 1, {-360, 360, 0, 0, 0, 0, 60, 60}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FreedomLimits(c.freedoms), c.expected) << c.name;
}

TEST(FreedomLimits, FieldOfViewNeverReachesZeroOrAHalfTurn) {
    for (int freedoms = 0; freedoms <= kFreedomAll; ++freedoms) {
        const FreedomRanges limits = FreedomLimits(freedoms);
        EXPECT_GE(limits[6], 10) << freedoms;
        EXPECT_LE(limits[7], 170) << freedoms;
        EXPECT_LE(limits[6], limits[7]) << freedoms;
    }
}

TEST(ToggleFlag, SetsAClearBitAndClearsASetOne) {
    int flags = 11;
    ToggleFlag(flags, kFreedomZoom);
    EXPECT_EQ(flags, 3);
    ToggleFlag(flags, kFreedomZoom);
    EXPECT_EQ(flags, 11);
    ToggleFlag(flags, kFreedomUpsideDown);
    EXPECT_EQ(flags, 27);
}

}  // namespace
