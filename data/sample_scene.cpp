#include "data/sample_scene.h"

#include <algorithm>
#include <cmath>

#include "data/block_font.h"

namespace {

constexpr double kGridHeading = 30.0;
constexpr double kGridPitch = 15.0;
constexpr double kPoleCap = 78.0;
constexpr double kPoleSector = 30.0;

Rgb Mix(Rgb a, Rgb b, double t) {
    const auto lerp = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

Rgb Shade(Rgb colour, double factor) {
    const auto scale = [factor](std::uint8_t x) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(x * factor), 0L, 255L));
    };
    return {scale(colour.r), scale(colour.g), scale(colour.b)};
}

// Distance in pixels from `value` to the nearest multiple of `step`, given `perPixel` units a
// pixel.
double PixelsToGridLine(double value, double step, double perPixel) {
    const double offset = std::fabs(value - step * std::round(value / step));
    return offset / perPixel;
}

// Where the compass text goes: the cell sizes of letters and bearings and the pitch of each
// row's bottom edge. The letters sit just above the horizon, the bearings just below it.
struct CompassLayout {
    int letterCell;
    int numberCell;
    double letterPitch;
    double numberPitch;
};

CompassLayout LayoutCompass(const SphereCanvas& canvas) {
    const int numberCell = std::max(1, canvas.Height() / 340);
    return {std::max(2, canvas.Height() / 110), numberCell, 2.0,
            -3.0 - 7.0 * numberCell * 180.0 / canvas.Height()};
}

// Whether `pitch` lies in the band of the compass text, widened to the pitch lines around it
// so that the heading lines end on a line. Every letter and bearing stands on a heading line,
// which would otherwise run through the gaps of its glyphs.
bool InCompassBand(const SphereCanvas& canvas, double pitch) {
    const CompassLayout layout = LayoutCompass(canvas);
    const double degreesPerPixel = 180.0 / canvas.Height();
    const double margin = (std::max(1, layout.letterCell / 4) + 1) * degreesPerPixel;
    const double top = layout.letterPitch + kGlyphRows * layout.letterCell * degreesPerPixel;
    const double low = kGridPitch * std::floor((layout.numberPitch - margin) / kGridPitch);
    const double high = kGridPitch * std::ceil((top + margin) / kGridPitch);
    return pitch > low && pitch < high;
}

Rgb SphereColour(const SphereCanvas& canvas, const SceneColours& colours, double heading,
                 double pitch) {
    const double degreesPerPixel = 180.0 / canvas.Height();
    if (std::fabs(pitch) < 1.5 * degreesPerPixel)
        return {255, 255, 255};

    if (std::fabs(pitch) > kPoleCap) {
        const bool alternate =
            static_cast<long>(std::floor((heading + 180.0) / kPoleSector)) % 2 == 0;
        if (pitch > 0)
            return alternate ? Rgb{220, 30, 30} : Rgb{250, 250, 250};
        return alternate ? Rgb{20, 20, 20} : Rgb{245, 210, 30};
    }

    Rgb base;
    if (pitch > 0) {
        base = Mix(colours.skyHorizon, colours.skyZenith, pitch / 90.0);
    } else {
        base = Mix(colours.groundHorizon, colours.groundNadir, -pitch / 90.0);
        const long tileH = static_cast<long>(std::floor(heading / 10.0));
        const long tileP = static_cast<long>(std::floor(pitch / 5.0));
        if ((tileH + tileP) % 2 == 0)
            base = Shade(base, 0.88);
    }
    const bool onHeadingLine = PixelsToGridLine(heading, kGridHeading, degreesPerPixel) < 1.0 &&
                               !InCompassBand(canvas, pitch);
    const bool onGrid = onHeadingLine || PixelsToGridLine(pitch, kGridPitch, degreesPerPixel) < 1.0;
    return onGrid ? Shade(base, 0.55) : base;
}

}  // namespace

void PaintSphere(SphereCanvas& canvas, const SceneColours& colours) {
    for (int row = 0; row < canvas.Height(); ++row) {
        const double pitch = canvas.PitchOf(row);
        for (int column = 0; column < canvas.Width(); ++column) {
            canvas.Set(column, row, SphereColour(canvas, colours, canvas.HeadingOf(column), pitch));
        }
    }
}

void PaintCompass(SphereCanvas& canvas) {
    const CompassLayout layout = LayoutCompass(canvas);
    const struct {
        const char* letter;
        double heading;
        Rgb colour;
    } kLetters[] = {{"N", 0.0, {230, 40, 40}},
                    {"E", -90.0, {255, 255, 255}},
                    {"S", 180.0, {255, 255, 255}},
                    {"W", 90.0, {255, 255, 255}}};
    for (const auto& entry : kLetters) {
        canvas.Text(entry.letter, entry.heading, layout.letterPitch, layout.letterCell,
                    entry.colour);
    }
    for (int bearing = 0; bearing < 360; bearing += 30) {
        canvas.Text(std::to_string(bearing), -bearing, layout.numberPitch, layout.numberCell,
                    {255, 240, 160});
    }
}

void PaintHotspot(SphereCanvas& canvas, const SampleHotspot& hotspot) {
    const double left = std::max(hotspot.heading1, hotspot.heading2);
    const double right = std::min(hotspot.heading1, hotspot.heading2);
    const double top = std::max(hotspot.pitch1, hotspot.pitch2);
    const double bottom = std::min(hotspot.pitch1, hotspot.pitch2);
    const int x0 = canvas.ColumnOf(left);
    int x1 = canvas.ColumnOf(right);
    if (x1 < x0)
        x1 += canvas.Width();
    const int y0 = canvas.RowOf(top);
    const int y1 = canvas.RowOf(bottom);
    const int border = std::max(2, canvas.Height() / 400);
    canvas.Fill(x0, y0, x1, y1, {20, 20, 20});
    canvas.Fill(x0 + border, y0 + border, x1 - border, y1 - border, hotspot.colour);
    const int labelCells = static_cast<int>(hotspot.label.size()) * 6 + 2;
    const int cell = std::max(1, std::min((y1 - y0) / 14, (x1 - x0) / labelCells));
    canvas.Text(hotspot.label, (left + right) / 2.0,
                (top + bottom) / 2.0 - 3.5 * cell * 180.0 / canvas.Height(), cell, {255, 255, 255});
}
