#pragma once
// Bilinear sampling of a 24-bit face straight from its rows, with exactly the arithmetic of
// CDIB::Sample (clamping, weights, rounding, black outside), for the pixels that the seam
// samples one by one. Reads only; any thread, as long as the bitmap is not changed meanwhile.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "bitmap/cdib.h"

class FaceSampler {
  public:
    // `face` must be a non-empty 24-bit bitmap and outlive the sampler.
    explicit FaceSampler(const CDIB& face)
        : bits_(face.GetBits().data()),
          stride_(face.GetStride()),
          width_(face.GetWidth()),
          height_(face.GetHeight()) {}

    // Blue | green << 8 | red << 16 at (u, v); (0, 0) is the centre of the top-left pixel.
    std::uint32_t Sample(double u, double v) const {
        u = Clamp(u, width_ - 1.0);
        v = Clamp(v, height_ - 1.0);
        const int x0 = static_cast<int>(std::floor(u));
        const int y0 = static_cast<int>(std::floor(v));
        const double fu = u - x0;
        const double fv = v - y0;
        int sum[3] = {};
        Add(x0, y0, (1 - fu) * (1 - fv), sum);
        Add(x0 + 1, y0, fu * (1 - fv), sum);
        Add(x0, y0 + 1, (1 - fu) * fv, sum);
        Add(x0 + 1, y0 + 1, fu * fv, sum);
        return Saturate(sum[0]) | (Saturate(sum[1]) << 8) | (Saturate(sum[2]) << 16);
    }

  private:
    static double Clamp(double value, double highest) {
        if (std::isnan(value))
            return 0;
        if (value > highest)
            value = highest;
        if (value < 0)
            value = 0;
        return value;
    }
    static std::uint32_t Saturate(int sum) { return static_cast<std::uint32_t>(sum > 255 ? 255 : sum); }

    // Adds the rounded weighted channels of picture pixel (x, y); nothing outside.
    void Add(int x, int y, double weight, int* sum) const {
        if (x >= width_ || y >= height_)
            return;
        const std::uint8_t* pixel = bits_ + static_cast<std::size_t>(height_ - 1 - y) * stride_ +
                                    3 * static_cast<std::size_t>(x);
        for (int channel = 0; channel < 3; ++channel)
            sum[channel] += static_cast<int>(std::floor(pixel[channel] * weight + 0.5));
    }

    const std::uint8_t* bits_;
    std::size_t stride_;
    int width_;
    int height_;
};
