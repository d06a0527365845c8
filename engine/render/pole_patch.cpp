// Redraws the neighbourhood of the two poles, where linear interpolation over 32 x 32 cells is
// not good enough, by recursive subdivision with exact mapping at block corners.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/render/pixel_samplers.h"
#include "engine/render/renderer_state.h"

namespace {

constexpr int kBlock = 16;
constexpr int kBlockDepth = 4;  // kBlock == 1 << kBlockDepth
constexpr int kWindow = 96;     // side of the redrawn square around a pole

// Corners are ordered (x, y + c), (x + c, y + c), (x, y), (x + c, y) for a block at (x, y) of
// side c.
enum Corner { kTopLeft = 0, kTopRight = 1, kBottomLeft = 2, kBottomRight = 3 };

}  // namespace

void RendererState::PatchPoles() {
    // Only whole cells were drawn; the patch stays inside them.
    const int drawnWidth = cellColumns_ * 32;
    const int drawnHeight = bands_ * 32;
    for (double pitch : {-90.0, 90.0}) {
        ScreenPoint pole;
        if (!ProjectHeadingPitch(pan_, tilt_, roll_, scale_, shiftX_, shiftY_, 0.0, pitch, pole)) {
            continue;
        }
        // A pole this far out lies nowhere near the frame.
        if (!(std::fabs(pole.x) < 1e6 && std::fabs(pole.y) < 1e6)) {
            continue;
        }
        const int poleX = outWidth_ / 2 + static_cast<int>(pole.x);
        const int poleY = outHeight_ / 2 + static_cast<int>(pole.y);
        int x0 = poleX / kBlock * kBlock - kWindow / 2;
        int y0 = poleY / kBlock * kBlock - kWindow / 2;
        int x1 = x0 + kWindow;
        int y1 = y0 + kWindow;
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, drawnWidth);
        y1 = std::min(y1, drawnHeight);
        for (int y = y0; y < y1; y += kBlock) {
            for (int x = x0; x < x1; x += kBlock) {
                const SourcePoint corners[4] = {
                    MapScreenPoint(x, y + kBlock), MapScreenPoint(x + kBlock, y + kBlock),
                    MapScreenPoint(x, y), MapScreenPoint(x + kBlock, y)};
                switch (format_) {
                    case PixelFormatCode::Indexed8:
                        SubdivideBlock<Indexed8Format>(x, y, kBlock, kBlockDepth, corners);
                        break;
                    case PixelFormatCode::Rgb555:
                    case PixelFormatCode::Rgb565:
                        SubdivideBlock<Rgb565Format>(x, y, kBlock, kBlockDepth, corners);
                        break;
                    case PixelFormatCode::Bgr24:
                        SubdivideBlock<Bgr24Format>(x, y, kBlock, kBlockDepth, corners);
                        break;
                    default:  // refused before drawing
                        break;
                }
            }
        }
    }
}

template <class Format>
void RendererState::SubdivideBlock(int x, int y, int size, int depth,
                                   const SourcePoint corners[4]) {
    if (size == 1) {
        FillBlock<Format>(x, y, size, depth, corners);
        return;
    }
    // Rows this near the top or bottom of the image need smaller blocks.
    const double poleRows = srcHeight_ * 2048.0 / (scale_ * scale_);
    const double vHigh = std::trunc((srcHeight_ - poleRows) * 65536.0);
    const double vLow = std::trunc(poleRows * 65536.0);
    const std::int64_t half = std::int64_t{srcWidth_ / 2} * 65536;
    const std::int64_t quarter = std::int64_t{srcWidth_ / 4} * 65536;
    const std::int64_t threeHalves = std::int64_t{srcWidth_ * 3 / 2} * 65536;
    bool nearPoleRow = false;
    bool pastHalf = false;
    bool inFirstQuarter = false;
    bool allPastHalf = true;
    bool allBelowThreeHalves = true;
    for (int i = 0; i < 4; ++i) {
        nearPoleRow = nearPoleRow || corners[i].v > vHigh || corners[i].v < vLow;
        pastHalf = pastHalf || corners[i].u > half;
        inFirstQuarter = inFirstQuarter || corners[i].u <= quarter;
        allPastHalf = allPastHalf && corners[i].u >= half;
        allBelowThreeHalves = allBelowThreeHalves && corners[i].u < threeHalves;
    }
    bool split = false;
    if (size > kBlock) {
        split = true;
    } else if (size > 8 && nearPoleRow) {
        split = true;
    } else if (pastHalf && inFirstQuarter) {
        split = true;
    } else {
        split = !(allPastHalf || allBelowThreeHalves);
    }
    if (!split) {
        FillBlock<Format>(x, y, size, depth, corners);
        return;
    }

    const int h = size / 2;
    const SourcePoint top = MapScreenPoint(x + h, y + size);
    const SourcePoint left = MapScreenPoint(x, y + h);
    const SourcePoint centre = MapScreenPoint(x + h, y + h);
    const SourcePoint right = MapScreenPoint(x + size, y + h);
    const SourcePoint bottom = MapScreenPoint(x + h, y);
    const SourcePoint lowerLeft[4] = {left, centre, corners[kBottomLeft], bottom};
    const SourcePoint lowerRight[4] = {centre, right, bottom, corners[kBottomRight]};
    const SourcePoint upperLeft[4] = {corners[kTopLeft], top, left, centre};
    const SourcePoint upperRight[4] = {top, corners[kTopRight], centre, right};
    SubdivideBlock<Format>(x, y, h, depth - 1, lowerLeft);
    SubdivideBlock<Format>(x + h, y, h, depth - 1, lowerRight);
    SubdivideBlock<Format>(x, y + h, h, depth - 1, upperLeft);
    SubdivideBlock<Format>(x + h, y + h, h, depth - 1, upperRight);
}

template <class Format>
void RendererState::FillBlock(int x, int y, int size, int depth, const SourcePoint corners[4]) {
    const SourceGrid grid{srcWidth_, srcHeight_ + 1, srcRowBytes_, Format::kBytes};
    std::int32_t leftU = corners[kBottomLeft].u;
    std::int32_t leftV = corners[kBottomLeft].v;
    std::int32_t rightU = corners[kBottomRight].u;
    std::int32_t rightV = corners[kBottomRight].v;
    const std::int32_t leftStepU = (corners[kTopLeft].u - leftU) >> depth;
    const std::int32_t leftStepV = (corners[kTopLeft].v - leftV) >> depth;
    const std::int32_t rightStepU = (corners[kTopRight].u - rightU) >> depth;
    const std::int32_t rightStepV = (corners[kTopRight].v - rightV) >> depth;
    for (int row = 0; row < size; ++row) {
        const std::int32_t du = (rightU - leftU) >> depth;
        const std::int32_t dv = (rightV - leftV) >> depth;
        std::uint8_t* out =
            outPixels_ + ((static_cast<std::ptrdiff_t>(y) + row) * outWidth_ + x) * Format::kBytes;
        for (int i = 0; i < size; ++i) {
            const std::int32_t u = leftU + i * du;
            const std::int32_t v = leftV + i * dv;
            const Taps taps = grid.TapsAt(srcOrigin_ + (u >> 16), v >> 16);
            Format::Store(out + i * Format::kBytes,
                          Format::Nearest(Format::Load(srcPixels_, taps.pixel)));
        }
        leftU += leftStepU;
        leftV += leftStepV;
        rightU += rightStepU;
        rightV += rightStepV;
    }
}
