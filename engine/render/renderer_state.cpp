#include "engine/render/renderer_state.h"

#include <cmath>

#include "engine/render/renderer.h"

namespace {

constexpr int kCell = 32;  // cells are kCell x kCell pixels

bool IsFinite(const DrawRequest& r) {
    return std::isfinite(r.pan) && std::isfinite(r.tilt) && std::isfinite(r.roll) &&
           std::isfinite(r.scale) && std::isfinite(r.shiftX) && std::isfinite(r.shiftY);
}

ScreenVector Add(const ScreenVector& a, const ScreenVector& b) {
    return {a.p + b.p, a.q + b.q, a.r + b.r};
}

}  // namespace

RendererState::RendererState() : rowOffsets_(1, 0) {}

bool RendererState::Accepts(const DrawRequest& r) const {
    if (!platform::IsFrameFormat(r.format)) {
        return false;
    }
    if (r.format != PixelFormatCode::Indexed8 && r.antialias != AntialiasLevel::Nearest &&
        r.antialias != AntialiasLevel::Half && r.antialias != AntialiasLevel::Bilinear) {
        return false;
    }
    return r.outPixels != nullptr && r.srcPixels != nullptr && r.outWidth > 0 && r.outHeight > 0 &&
           r.srcWidth > 0 && r.srcHeight > 0 && r.srcWidth <= Renderer::kMaxSourceSide &&
           r.srcHeight <= Renderer::kMaxSourceSide && IsFinite(r) && r.scale > 0.0;
}

int RendererState::Draw(const DrawRequest& request) {
    if (!Accepts(request)) {
        return 0;
    }
    pan_ = request.pan;
    tilt_ = request.tilt;
    roll_ = request.roll;
    scale_ = request.scale;
    shiftX_ = request.shiftX;
    shiftY_ = request.shiftY;
    outWidth_ = request.outWidth;
    outHeight_ = request.outHeight;
    cellColumns_ = outWidth_ / kCell;
    bands_ = outHeight_ / kCell;
    outPixels_ = static_cast<std::uint8_t*>(request.outPixels);
    srcWidth_ = request.srcWidth;
    srcHeight_ = request.srcHeight;
    srcPixels_ = static_cast<const std::uint8_t*>(request.srcPixels);
    format_ = request.format;

    PrepareSource();
    PrepareView();
    switch (format_) {
        case PixelFormatCode::Indexed8:
            DrawIndexed8();
            break;
        case PixelFormatCode::Rgb555:
            if (request.antialias == AntialiasLevel::Nearest) {
                Draw555Nearest();
            } else if (request.antialias == AntialiasLevel::Half) {
                Draw555Half();
            } else {
                Draw555Bilinear();
            }
            break;
        case PixelFormatCode::Rgb565:
            if (request.antialias == AntialiasLevel::Nearest) {
                Draw565Nearest();
            } else if (request.antialias == AntialiasLevel::Half) {
                Draw565Half();
            } else {
                Draw565Bilinear();
            }
            break;
        case PixelFormatCode::Bgr24:
            if (request.antialias == AntialiasLevel::Nearest) {
                Draw24Nearest();
            } else if (request.antialias == AntialiasLevel::Half) {
                Draw24Half();
            } else {
                Draw24Bilinear();
            }
            break;
        default:  // refused by Accepts
            break;
    }
    PatchPoles();
    return 1;
}

void RendererState::PrepareSource() {
    // Turn the pan into 0..360 so that the view centre maps to three quarters of the width from
    // the column that u = 0 addresses; the place where u wraps then lies 90 degrees aside.
    double pan = pan_;
    if (std::fabs(pan) > 3600.0) {
        pan = std::fmod(pan, 360.0);
    }
    while (pan > 360.0) {
        pan -= 360.0;
    }
    while (pan < 0.0) {
        pan += 360.0;
    }
    const int shift = static_cast<int>(srcWidth_ * (270.0 - pan) / 360.0);
    srcOrigin_ = shift;
    pan_ = pan + shift * 360.0 / srcWidth_;

    const int rows = srcHeight_;
    srcHeight_ = rows - 1;
    // Rows are padded to whole 4-byte words, as in bitmaps.
    srcRowBytes_ = (srcWidth_ * BytesPerPixel(format_) + 3) / 4 * 4;

    // The kernels look rows 0..rows-1 up in the table.
    if (rowOffsets_.size() < static_cast<std::size_t>(rows)) {
        rowOffsets_.assign(static_cast<std::size_t>(srcHeight_) + 10, 0);
        cachedRowBytes_ = 0;
    }
    if (srcRowBytes_ != cachedRowBytes_) {
        for (std::size_t i = 0; i < rowOffsets_.size(); ++i) {
            rowOffsets_[i] = static_cast<std::int32_t>(i) * srcRowBytes_;
        }
        cachedRowBytes_ = srcRowBytes_;
        ++rowOffsetRebuilds_;
    }
}

void RendererState::PrepareView() {
    edge_ = RotateView(
        pan_, tilt_, roll_, shiftX_, shiftY_,
        {-static_cast<double>(outWidth_ / 2), -static_cast<double>(outHeight_ / 2), scale_});
    columnStep_ = RotateView(pan_, tilt_, roll_, 0.0, 0.0, {kCell, 0.0, 0.0});
    rowStep_ = RotateView(pan_, tilt_, roll_, 0.0, 0.0, {0.0, kCell, 0.0});
    bandEdge_.resize(static_cast<std::size_t>(cellColumns_) + 1);
    cellCorners_.resize(static_cast<std::size_t>(cellColumns_));
    cellNodes_.resize(static_cast<std::size_t>(cellColumns_));
}

SourcePoint RendererState::MapVector(const ScreenVector& v) const {
    const double heading = std::atan2(v.p, v.r) * kRadToDeg + 180.0;
    const double pitch = std::atan2(v.q, std::sqrt(v.p * v.p + v.r * v.r)) * kRadToDeg + 90.0;
    return {static_cast<std::int32_t>(heading * srcWidth_ * 182.04444444444445),
            static_cast<std::int32_t>(pitch * srcHeight_ * 364.0888888888889)};
}

SourcePoint RendererState::MapScreenPoint(int x, int y) const {
    return MapVector(RotateView(
        pan_, tilt_, roll_, shiftX_, shiftY_,
        {static_cast<double>(x - outWidth_ / 2), static_cast<double>(y - outHeight_ / 2), scale_}));
}

void RendererState::MapBandEdge() {
    ScreenVector node = edge_;
    for (SourcePoint& point : bandEdge_) {
        point = MapVector(node);
        node = Add(node, columnStep_);
    }
    edge_ = Add(edge_, rowStep_);
}

void RendererState::LoadBandNodes() {
    for (int j = 0; j < cellColumns_; ++j) {
        cellCorners_[j].nearLeft = bandEdge_[j];
        cellCorners_[j].nearRight = bandEdge_[j + 1];
    }
    MapBandEdge();
    // A cell that reaches past the middle of the image and also holds columns of its first
    // quarter spans the wrap of u: those columns are lifted by one width so that the cell does
    // not interpolate across the whole image.
    const std::int32_t half = (srcWidth_ / 2) * 65536;
    const std::int32_t quarter = (srcWidth_ / 4) * 65536;
    const std::int32_t width = srcWidth_ * 65536;
    for (int j = 0; j < cellColumns_; ++j) {
        CellCorners& cell = cellCorners_[j];
        cell.farLeft = bandEdge_[j];
        cell.farRight = bandEdge_[j + 1];
        SourcePoint* corners[] = {&cell.nearLeft, &cell.nearRight, &cell.farLeft, &cell.farRight};
        bool spansWrap = false;
        for (const SourcePoint* corner : corners) {
            spansWrap = spansWrap || corner->u > half;
        }
        if (spansWrap) {
            for (SourcePoint* corner : corners) {
                if (corner->u < quarter) {
                    corner->u += width;
                }
            }
        }
    }
}

void RendererState::ComputeNodeSteps() {
    for (int j = 0; j < cellColumns_; ++j) {
        const CellCorners& cell = cellCorners_[j];
        CellNodes& nodes = cellNodes_[j];
        nodes.leftU = cell.nearLeft.u;
        nodes.leftV = cell.nearLeft.v;
        nodes.rightU = cell.nearRight.u;
        nodes.rightV = cell.nearRight.v;
        nodes.leftStepU = (cell.farLeft.u - cell.nearLeft.u) >> 5;
        nodes.leftStepV = (cell.farLeft.v - cell.nearLeft.v) >> 5;
        nodes.rightStepU = (cell.farRight.u - cell.nearRight.u) >> 5;
        nodes.rightStepV = (cell.farRight.v - cell.nearRight.v) >> 5;
    }
}
