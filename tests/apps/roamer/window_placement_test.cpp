#include "apps/roamer/window_placement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, StoresFractionsThatComeBackToTheSamePixels) {
    const PixelRect window{100, 50, 740, 530};
    const StoredPlacement stored = StorePlacement(window, 1024, 768);
    EXPECT_EQ(stored, (StoredPlacement{977, 652, 7227, 6902}));
    EXPECT_EQ(RestorePlacement(stored, 1024, 768), window);
}

TEST(WindowPlacement, RoundTripsWithoutCreepingOnCommonScreens) {
    const struct {
        int width, height;
    } screens[] = {{640, 480},   {1024, 768},  {1280, 1024}, {1366, 768},
                   {1920, 1080}, {2560, 1440}, {3840, 2160}, {7680, 4320}};
    for (const auto& screen : screens) {
        for (int left = 0; left < screen.width; left += 37) {
            const PixelRect window{
                left, left * screen.height / screen.width, std::min(screen.width, left + 516),
                std::min(screen.height, left * screen.height / screen.width + 400)};
            const StoredPlacement stored = StorePlacement(window, screen.width, screen.height);
            ASSERT_EQ(RestorePlacement(stored, screen.width, screen.height), window)
                << screen.width << "x" << screen.height << " left " << left;
        }
    }
}

TEST(WindowPlacement, AWindowPartlyOffTheScreenStoresZeros) {
    const struct {
        const char* name;
        PixelRect window;
        bool kept;
    } cases[] = {
        {"inside", {10, 10, 500, 400}, true},
        {"filling the screen", {0, 0, 1024, 768}, true},
        {"touching the right edge", {500, 10, 1024, 400}, true},
        {"touching the bottom edge", {10, 300, 500, 768}, true},
        {"past the left edge", {-1, 10, 500, 400}, false},
        {"past the top edge", {10, -8, 500, 400}, false},
        {"past the right edge", {600, 10, 1025, 400}, false},
        {"past the bottom edge", {10, 300, 500, 769}, false},
    };
    for (const auto& c : cases) {
        const StoredPlacement stored = StorePlacement(c.window, 1024, 768);
        EXPECT_EQ(stored != StoredPlacement{}, c.kept) << c.name;
    }
}

TEST(WindowPlacement, NothingStoredMeansTheCentredDefault) {
    EXPECT_FALSE(RestorePlacement({}, 1024, 768).has_value());
    EXPECT_FALSE(RestorePlacement({100, 100, 0, 5000}, 1024, 768).has_value());
    EXPECT_FALSE(RestorePlacement({100, 100, 5000, 0}, 1024, 768).has_value());
    EXPECT_EQ(CentredPlacement(516, 360, 1024, 768), (PixelRect{254, 204, 770, 564}));
}

TEST(WindowPlacement, FractionsFollowAChangeOfResolution) {
    const StoredPlacement stored = StorePlacement({256, 192, 768, 576}, 1024, 768);
    EXPECT_EQ(RestorePlacement(stored, 2048, 1536), (PixelRect{512, 384, 1536, 1152}));
}

}  // namespace
