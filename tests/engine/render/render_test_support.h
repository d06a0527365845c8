#pragma once

// Synthetic panoramas and an exact per-pixel projection for the renderer's tests.

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/render/renderer.h"

inline const Renderer::Environment kEngineBox{-1000, 1000, -1000, 1000, -1000, 1000};
inline const Renderer::Orientation kAtOrigin{};

// Bytes from one source row to the next: rows are padded to whole 4-byte words.
inline int SourceRowBytes(int width, int bytesPerPixel) {
    return (width * bytesPerPixel + 3) / 4 * 4;
}

// A 24-bit panorama whose every pixel holds its own column and row: column | row << 12.
inline std::vector<std::uint8_t> CoordinatePanorama(int width, int height) {
    const int rowBytes = SourceRowBytes(width, 3);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const std::uint32_t code = static_cast<std::uint32_t>(column) | (row << 12);
            std::uint8_t* p = &pixels[static_cast<std::size_t>(row) * rowBytes + column * 3];
            p[0] = static_cast<std::uint8_t>(code);
            p[1] = static_cast<std::uint8_t>(code >> 8);
            p[2] = static_cast<std::uint8_t>(code >> 16);
        }
    }
    return pixels;
}

struct SourceCell {
    int column = 0;
    int row = 0;
};

inline SourceCell DecodeCell(const std::uint8_t* pixel) {
    const std::uint32_t code = pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
    return {static_cast<int>(code & 0xFFF), static_cast<int>(code >> 12)};
}

// The panorama pixel that frame point (x, y) sees: the direction from the camera model, then the
// pixel holding it (heading 0 at the middle column, headings growing to the left, row 0 at
// pitch -90 and the last row at pitch +90).
inline SourceCell ExactCell(const Renderer& renderer, const Renderer::Orientation& view,
                            int outWidth, int outHeight, int x, int y, int srcWidth,
                            int srcHeight) {
    double heading = 0;
    double pitch = 0;
    renderer.XYtoHP(kEngineBox, view, kAtOrigin, outWidth, outHeight, x, y, heading, pitch);
    double column = std::fmod(srcWidth * (180.0 - heading) / 360.0, srcWidth);
    if (column < 0) {
        column += srcWidth;
    }
    const double row = (pitch + 90.0) / 180.0 * (srcHeight - 1);
    return {static_cast<int>(column) % srcWidth, static_cast<int>(row)};
}

// A smooth, colourful 24-bit panorama (no two neighbours far apart in colour).
inline std::vector<std::uint8_t> TexturedPanorama(int width, int height) {
    const int rowBytes = SourceRowBytes(width, 3);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            std::uint8_t* p = &pixels[static_cast<std::size_t>(row) * rowBytes + column * 3];
            p[0] = static_cast<std::uint8_t>(128 + 127 * std::sin(column * 0.05 + row * 0.02));
            p[1] = static_cast<std::uint8_t>(128 + 127 * std::sin(row * 0.07));
            p[2] = static_cast<std::uint8_t>((column * 3 + row) & 0xFF);
        }
    }
    return pixels;
}
