#include "apps/mimeo/avatar_attributes.h"

#include <gtest/gtest.h>

#include "apps/mimeo/play_axis.h"
#include "mimeo_test_pictures.h"

namespace {

TEST(AvatarAttributes, TheReportOfAKnownPicture) {
    PackedDib coded = *NewPackedDib(64, 32, 8);  // 2048 pixels of 3 indices in long runs
    std::fill(coded.begin() + 1064, coded.begin() + 1064 + 1000, 7);
    std::fill(coded.begin() + 1064 + 1000, coded.end() - 48, 9);
    platform::BitmapInfoHeader header = HeaderOf(coded);
    header.biXPelsPerMeter = 4;
    header.biYPelsPerMeter = 2;
    SetHeader(coded, header);
    EXPECT_EQ(SavedFileSize(coded), 54u + 1024 + 2 * (4 + 4 + 1));
    EXPECT_EQ(AttributesText("/home/u/walk.avt", coded),
              "\n\nFile Name:\t/home/u/walk.avt\nFile Size:\t\t1 KB\n\nImage Dimensions:\t64 X "
              "32 Pixels\nImage Dimensions:\t4 X 2 Frames\nImage Color Depth:\t8 Bit\nImage "
              "Colors Used:\t3\n\nFrame Dimensions:\t16 X 16 Pixels\n\n\n");

    PackedDib deep = TrueColour(30, 10, [](int x, int) {
        return Bgr{static_cast<std::uint8_t>(x), 0, 0};
    });
    header = HeaderOf(deep);
    header.biXPelsPerMeter = 3;
    SetHeader(deep, header);
    EXPECT_EQ(SavedFileSize(deep), 54u + 900);
    EXPECT_EQ(ColoursUsedText(deep), "Not available");
    const std::string text = AttributesText("", deep);
    EXPECT_NE(text.find("File Name:\tUntitled.avt\n"), std::string::npos);
    EXPECT_NE(text.find("File Size:\t\t1 KB\n"), std::string::npos) << "954 bytes round up";
    EXPECT_NE(text.find("Frame Dimensions:\t10 X 10 Pixels"), std::string::npos);

    PackedDib varied = *NewPackedDib(4, 1, 8);
    for (int i = 0; i < 4; ++i)
        varied[1064 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(SavedFileSize(varied), 1078u + 4) << "coding would not shrink it";
    EXPECT_EQ(ColoursUsedText(varied), "4");
}

TEST(PlayAxis, ButtonsChangeSpeedAndDirection) {
    struct Step {
        char button;  // '>' forwards, '<' backwards, 's' stop
        int level, direction, period;
    };
    const std::vector<Step> steps{
        {'>', 1, 1, 400}, {'>', 2, 1, 200},  {'>', 3, 1, 100},  {'<', 2, 1, 200},  {'<', 1, 1, 400},
        {'<', 0, 0, 0},   {'<', 1, -1, 400}, {'<', 2, -1, 200}, {'<', 3, -1, 100}, {'<', 4, -1, 50},
        {'<', 4, -1, 50}, {'>', 3, -1, 100}, {'s', 0, 0, 0},
    };
    PlayAxis axis;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        if (s.button == '>')
            axis.Forward();
        else if (s.button == '<')
            axis.Backward();
        else
            axis.Stop();
        EXPECT_EQ(axis.level, s.level) << "step " << i;
        EXPECT_EQ(axis.direction, s.direction) << "step " << i;
        EXPECT_EQ(axis.PeriodMs(), s.period) << "step " << i;
    }
    EXPECT_EQ(StepFrame(3, 1, 4), 0);
    EXPECT_EQ(StepFrame(0, -1, 4), 3);
    EXPECT_EQ(StepFrame(1, 1, 4), 2);
    EXPECT_EQ(StepFrame(0, 1, 0), 0);
}

}  // namespace
