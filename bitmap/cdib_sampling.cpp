// Bilinear sampling and the 16 x 16 block warp of the cube seam.
#include <cmath>

#include "bitmap/block_warp.h"
#include "bitmap/cdib.h"

namespace {

constexpr int kBlock = 16;

// 16.16 fixed point, truncated toward zero.
std::int64_t ToFixed(double z) {
    return static_cast<std::int64_t>(z * 65536.0);
}

double Clamp(double value, double highest) {
    if (std::isnan(value))
        return 0;
    if (value > highest)
        value = highest;
    if (value < 0)
        value = 0;
    return value;
}

bool Inside(double value, double lowest, double highest) {
    return value >= lowest && value <= highest;
}

}  // namespace

void CDIB::SumWeightedPixels(std::uint8_t* out, const std::array<std::array<int, 3>, 4>& weighted) {
    for (int channel = 0; channel < 3; ++channel) {
        int sum = 0;
        for (const std::array<int, 3>& pixel : weighted)
            sum += pixel[channel];
        out[channel] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
}

int CDIB::SampleBilinear(double u, double v, std::uint8_t* bgr) const {
    u = Clamp(u, m_header.biWidth - 1.0);
    v = Clamp(v, m_header.biHeight - 1.0);
    const int x0 = static_cast<int>(std::floor(u));
    const int y0 = static_cast<int>(std::floor(v));
    const double fu = u - x0;
    const double fv = v - y0;
    struct Neighbour {
        int x, y;
        double weight;
    };
    const Neighbour neighbours[4] = {{x0, y0, (1 - fu) * (1 - fv)},
                                     {x0 + 1, y0, fu * (1 - fv)},
                                     {x0, y0 + 1, (1 - fu) * fv},
                                     {x0 + 1, y0 + 1, fu * fv}};
    std::array<std::array<int, 3>, 4> weighted{};
    for (int i = 0; i < 4; ++i) {
        std::uint8_t r = 0, g = 0, b = 0;
        if (GetPixel(neighbours[i].x, neighbours[i].y, &r, &g, &b) == 0)
            continue;
        const double w = neighbours[i].weight;
        weighted[i] = {static_cast<int>(std::floor(b * w + 0.5)),
                       static_cast<int>(std::floor(g * w + 0.5)),
                       static_cast<int>(std::floor(r * w + 0.5))};
    }
    SumWeightedPixels(bgr, weighted);
    return 1;
}

int CDIB::Sample(double u, double v, std::uint32_t* value) const {
    std::uint8_t bgr[4] = {};
    SampleBilinear(u, v, bgr);
    *value = std::uint32_t{bgr[0]} | (std::uint32_t{bgr[1]} << 8) | (std::uint32_t{bgr[2]} << 16);
    return 1;
}

void CDIB::WarpBlockBySampling(int x, int y, const CDIB& source, const double* c) {
    for (int j = 0; j < kBlock; ++j) {
        const double down = j / double{kBlock};
        const double leftU = c[0] + down * (c[4] - c[0]);
        const double leftV = c[1] + down * (c[5] - c[1]);
        const double rightU = c[2] + down * (c[6] - c[2]);
        const double rightV = c[3] + down * (c[7] - c[3]);
        for (int i = 0; i < kBlock; ++i) {
            const double across = i / double{kBlock};
            std::uint32_t value = 0;
            source.Sample(leftU + across * (rightU - leftU), leftV + across * (rightV - leftV),
                          &value);
            SetPixelValue(x + i, y + j, value);
        }
    }
}

void CDIB::WarpBlock(int x, int y, const CDIB& source, double uA, double vA, double uB, double vB,
                     double uC, double vC, double uD, double vD) {
    const double corners[8] = {uA, vA, uB, vB, uC, vC, uD, vD};
    const int sourceWidth = source.m_header.biWidth;
    const int sourceHeight = source.m_header.biHeight;
    bool fast = GetBitCount() == 24 && source.GetBitCount() == 24 && x >= 0 && y >= 0 &&
                x <= m_header.biWidth - kBlock && y <= m_header.biHeight - kBlock;
    for (int i = 0; fast && i < 8; i += 2) {
        fast = Inside(corners[i], 1, sourceWidth - 2.0) &&
               Inside(corners[i + 1], 1, sourceHeight - 2.0);
    }
    if (!fast) {
        WarpBlockBySampling(x, y, source, corners);
        return;
    }

    // Source positions in the source's bottom-up memory rows: picture row v is memory row
    // height - 1 - v. Row j of the block lies j/16 of the way from the top corners to the
    // bottom ones, pixel i of a row i/16 of the way from its left end to its right end.
    const double top = sourceHeight - 1.0;
    const std::int64_t fixed[8] = {ToFixed(uA), ToFixed(top - vA), ToFixed(uB), ToFixed(top - vB),
                                   ToFixed(uC), ToFixed(top - vC), ToFixed(uD), ToFixed(top - vD)};
    const BlockWarpJob job =
        BlockWarpJobFor(RowAt(y) + 3 * static_cast<std::size_t>(x), GetStride(), source.m_pBits,
                        source.GetStride(), fixed);
    if (VectorReadsStayInside(fixed, sourceHeight, job.sourceStride))
        FastestBlockWarpKernel()(job);
    else
        WarpBlockScalar(job);
}
