#include "platform/display_depth.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

struct EnvironmentCase {
    const char* value;
    int bitsPerPixel;
    std::uint32_t compression;
    std::uint32_t greenMask;
};

TEST(DisplayDepth, EnvironmentVariableChoosesTheReportedFormat) {
    const EnvironmentCase cases[] = {
        {nullptr, 24, 0, 0},   {"8", 8, 0, 0},    {"15", 16, 0, 0},
        {"16", 16, 3, 0x07E0}, {"24", 24, 0, 0},  {"32", 32, 0, 0},
        {"12", 24, 0, 0},      {"16x", 24, 0, 0}, {"", 24, 0, 0},
    };
    for (const EnvironmentCase& c : cases) {
        if (c.value != nullptr) {
            setenv(platform::kDisplayDepthVariable, c.value, 1);
        } else {
            unsetenv(platform::kDisplayDepthVariable);
        }
        const platform::DisplayFormat format = platform::QueryDisplayFormat();
        EXPECT_EQ(format.bitsPerPixel, c.bitsPerPixel) << (c.value ? c.value : "unset");
        EXPECT_EQ(format.compression, c.compression) << (c.value ? c.value : "unset");
        EXPECT_EQ(format.greenMask, c.greenMask) << (c.value ? c.value : "unset");
    }
    unsetenv(platform::kDisplayDepthVariable);
}

TEST(DisplayDepth, OverrideWinsOverTheEnvironmentUntilCleared) {
    setenv(platform::kDisplayDepthVariable, "8", 1);
    EXPECT_TRUE(platform::OverrideDisplayDepth(16));
    EXPECT_EQ(platform::QueryDisplayFormat().redMask, 0xF800U);
    EXPECT_FALSE(platform::OverrideDisplayDepth(12));
    EXPECT_EQ(platform::QueryDisplayFormat().compression, 3U);
    platform::ClearDisplayDepthOverride();
    EXPECT_EQ(platform::QueryDisplayFormat().bitsPerPixel, 8);
    unsetenv(platform::kDisplayDepthVariable);
}

}  // namespace
