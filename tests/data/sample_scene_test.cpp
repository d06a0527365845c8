// The sample scenes as a viewer sees them: compass text where the headings say, readable, with
// no grid line through it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "data/sample_scene.h"

namespace {

constexpr SceneColours kColours{{200, 225, 255}, {40, 80, 170}, {170, 150, 110}, {60, 90, 40}};

bool Same(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// The rows of a heading's column, between two pitches, that show a grid line: the pixel is the
// darkened copy of its neighbour two columns on (same sky, same ground tile).
int GridLinePixels(const SphereCanvas& canvas, const std::vector<Rgb>& pixels, double heading,
                   double pitchHigh, double pitchLow) {
    const auto darkened = [](std::uint8_t line, std::uint8_t beside) {
        return std::abs(line - static_cast<int>(std::lround(beside * 0.55))) <= 2;
    };
    const int column = canvas.ColumnOf(heading);
    const int besideColumn = (column + 2) % canvas.Width();
    int count = 0;
    for (int row = canvas.RowOf(pitchHigh); row <= canvas.RowOf(pitchLow); ++row) {
        const std::size_t rowStart = static_cast<std::size_t>(row) * canvas.Width();
        const Rgb on = pixels[rowStart + column];
        const Rgb beside = pixels[rowStart + besideColumn];
        if (darkened(on.r, beside.r) && darkened(on.g, beside.g) && darkened(on.b, beside.b))
            ++count;
    }
    return count;
}

// The top-down pixels of the canvas.
std::vector<Rgb> PixelsOf(const SphereCanvas& canvas) {
    const std::vector<std::uint8_t> bgr = canvas.BottomUpBgr();
    std::vector<Rgb> pixels(static_cast<std::size_t>(canvas.Width()) * canvas.Height());
    for (int row = 0; row < canvas.Height(); ++row) {
        for (int column = 0; column < canvas.Width(); ++column) {
            const std::size_t from =
                (static_cast<std::size_t>(canvas.Height() - 1 - row) * canvas.Width() + column) * 3;
            pixels[static_cast<std::size_t>(row) * canvas.Width() + column] = {
                bgr[from + 2], bgr[from + 1], bgr[from]};
        }
    }
    return pixels;
}

TEST(SampleScene, NoHeadingLineRunsThroughTheCompassText) {
    for (const int height : {512, 2048}) {
        SphereCanvas canvas(height);
        PaintSphere(canvas, kColours);
        PaintCompass(canvas);
        const std::vector<Rgb> pixels = PixelsOf(canvas);
        // Every 30 degrees a heading line carries a bearing below the horizon, and at the four
        // quarters a letter above it.
        for (int heading = -180; heading < 180; heading += 30) {
            EXPECT_EQ(GridLinePixels(canvas, pixels, heading, 11.0, -5.0), 0)
                << "heading " << heading << " at height " << height;
            EXPECT_GT(GridLinePixels(canvas, pixels, heading, 60.0, 30.0), 10)
                << "the line is still drawn away from the text: heading " << heading;
        }
    }
}

TEST(SampleScene, CompassLettersStandAtTheirHeadings) {
    SphereCanvas canvas(1024);
    PaintSphere(canvas, kColours);
    SphereCanvas lettered(1024);
    PaintSphere(lettered, kColours);
    PaintCompass(lettered);
    const std::vector<Rgb> plain = PixelsOf(canvas);
    const std::vector<Rgb> pixels = PixelsOf(lettered);
    // N red in the middle column; E to its right (heading -90); W to its left; S on the seam.
    const struct {
        const char* name;
        double heading;
        Rgb colour;
    } kLetters[] = {{"N", 0.0, {230, 40, 40}},
                    {"E", -90.0, {255, 255, 255}},
                    {"W", 90.0, {255, 255, 255}},
                    {"S", 180.0, {255, 255, 255}}};
    for (const auto& letter : kLetters) {
        int found = 0;
        const int centre = lettered.ColumnOf(letter.heading);
        for (int row = lettered.RowOf(14.0); row < lettered.RowOf(2.0); ++row) {
            for (int dx = -12; dx <= 12; ++dx) {
                const int column = (centre + dx + lettered.Width()) % lettered.Width();
                const std::size_t at = static_cast<std::size_t>(row) * lettered.Width() + column;
                if (Same(pixels[at], letter.colour) && !Same(plain[at], letter.colour))
                    ++found;
            }
        }
        EXPECT_GT(found, 20) << letter.name;
    }
    // Seen from inside, east is a quarter turn to the right of north.
    EXPECT_EQ(lettered.ColumnOf(0.0), lettered.Width() / 2);
    EXPECT_EQ(lettered.ColumnOf(-90.0), lettered.Width() * 3 / 4);
}

}  // namespace
