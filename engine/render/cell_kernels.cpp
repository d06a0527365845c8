// The cell kernels: one per pixel format and antialias level, all sharing one frame that walks
// the frame band by band, row by row and cell by cell, and interpolates source coordinates
// linearly across each cell row.

#include <algorithm>
#include <type_traits>

#include "engine/render/pixel_samplers.h"
#include "engine/render/renderer_state.h"

namespace {

constexpr int kCell = 32;

// Samples one row of one cell, kCell pixels at (u + i du, v + i dv) written one after the
// other, when every read lies in one image row period: the pixel of column c and row r is at
// origin + c + r x stride.
template <class Format, class Level, class RowOffset>
void SampleRunDirect(const std::uint8_t* pixels, const RowOffset& rowOffset,
                     std::ptrdiff_t origin, std::ptrdiff_t stride, std::int32_t u, std::int32_t v,
                     std::int32_t du, std::int32_t dv, std::uint8_t* out) {
    for (int i = 0; i < kCell; ++i) {
        const std::int32_t pu = u + i * du;
        const std::int32_t pv = v + i * dv;
        const std::ptrdiff_t index = origin + (pu >> 16) + rowOffset(pv >> 16);
        const Taps taps{index, index + 1, index + stride, index + stride + 1};
        Format::Store(out + i * Format::kBytes,
                      Level::template Sample<Format>(pixels, taps, pu, pv));
    }
}

// The same for a run that crosses the image's left or right edge or leaves its rows: columns
// wrap around the width, rows are clamped.
template <class Format, class Level>
void SampleRunWrapped(const std::uint8_t* pixels, const SourceGrid& grid, std::ptrdiff_t origin,
                      std::int32_t u, std::int32_t v, std::int32_t du, std::int32_t dv,
                      std::uint8_t* out) {
    for (int i = 0; i < kCell; ++i) {
        const std::int32_t pu = u + i * du;
        const std::int32_t pv = v + i * dv;
        const Taps taps = grid.TapsAt(origin + (pu >> 16), pv >> 16);
        Format::Store(out + i * Format::kBytes,
                      Level::template Sample<Format>(pixels, taps, pu, pv));
    }
}

std::ptrdiff_t FloorDivide(std::ptrdiff_t a, std::ptrdiff_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

template <class Format, class Level>
void RendererState::DrawCells() {
    // Indexed images take their row offsets from the table; the others multiply.
    constexpr bool kRowTable = std::is_same_v<Format, Indexed8Format>;
    const std::ptrdiff_t width = srcWidth_;
    const std::ptrdiff_t stride = srcStride_;
    const std::ptrdiff_t rows = srcHeight_ + 1;
    const std::ptrdiff_t origin = srcOrigin_;
    const SourceGrid grid{width, rows, stride};
    const std::int32_t* table = rowOffsets_.data();
    const auto tableOffset = [table](std::int32_t row) { return std::ptrdiff_t{table[row]}; };
    const auto multipliedOffset = [stride](std::int32_t row) { return row * stride; };
    const std::ptrdiff_t lineBytes = static_cast<std::ptrdiff_t>(outWidth_) * Format::kBytes;

    MapBandEdge();
    for (int band = 0; band < bands_; ++band) {
        LoadBandNodes();
        ComputeNodeSteps();
        for (int row = 0; row < kCell; ++row) {
            std::uint8_t* out = outPixels_ + (static_cast<std::ptrdiff_t>(band) * kCell + row) *
                                                 lineBytes;
            for (CellNodes& nodes : cellNodes_) {
                const std::int32_t du = (nodes.rightU - nodes.leftU) >> 5;
                const std::int32_t dv = (nodes.rightV - nodes.leftV) >> 5;
                // The run is linear, so its first and last pixel bound every read. A run whose
                // columns, neighbours included, lie within one width-long period of the image
                // and whose rows lie within the image reads directly.
                const std::int32_t lastU = nodes.leftU + (kCell - 1) * du;
                const std::int32_t lastV = nodes.leftV + (kCell - 1) * dv;
                const std::ptrdiff_t firstColumn = origin + (std::min(nodes.leftU, lastU) >> 16);
                const std::ptrdiff_t lastColumn =
                    origin + (std::max(nodes.leftU, lastU) >> 16) + Level::kReach;
                const std::ptrdiff_t rowLow = std::min(nodes.leftV, lastV) >> 16;
                const std::ptrdiff_t rowHigh = (std::max(nodes.leftV, lastV) >> 16) + Level::kReach;
                const std::ptrdiff_t period = FloorDivide(firstColumn, width);
                const bool direct = lastColumn < (period + 1) * width && rowLow >= 0 &&
                                    rowHigh < rows;
                if (direct) {
                    const std::ptrdiff_t runOrigin = origin - period * width;
                    if constexpr (kRowTable) {
                        SampleRunDirect<Format, Level>(srcPixels_, tableOffset, runOrigin,
                                                       stride, nodes.leftU, nodes.leftV, du, dv,
                                                       out);
                    } else {
                        SampleRunDirect<Format, Level>(srcPixels_, multipliedOffset, runOrigin,
                                                       stride, nodes.leftU, nodes.leftV, du, dv,
                                                       out);
                    }
                } else {
                    SampleRunWrapped<Format, Level>(srcPixels_, grid, origin, nodes.leftU,
                                                    nodes.leftV, du, dv, out);
                }
                out += kCell * Format::kBytes;
                nodes.leftU += nodes.leftStepU;
                nodes.leftV += nodes.leftStepV;
                nodes.rightU += nodes.rightStepU;
                nodes.rightV += nodes.rightStepV;
            }
        }
    }
}

void RendererState::DrawIndexed8() { DrawCells<Indexed8Format, NearestLevel>(); }
void RendererState::Draw555Nearest() { DrawCells<Rgb555Format, NearestLevel>(); }
void RendererState::Draw555Half() { DrawCells<Rgb555Format, HalfLevel>(); }
void RendererState::Draw555Bilinear() { DrawCells<Rgb555Format, BilinearLevel>(); }
void RendererState::Draw565Nearest() { DrawCells<Rgb565Format, NearestLevel>(); }
void RendererState::Draw565Half() { DrawCells<Rgb565Format, HalfLevel>(); }
void RendererState::Draw565Bilinear() { DrawCells<Rgb565Format, BilinearLevel>(); }
void RendererState::Draw24Nearest() { DrawCells<Bgr24Format, NearestLevel>(); }
void RendererState::Draw24Half() { DrawCells<Bgr24Format, HalfLevel>(); }
void RendererState::Draw24Bilinear() { DrawCells<Bgr24Format, BilinearLevel>(); }
