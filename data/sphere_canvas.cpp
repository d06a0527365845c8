#include "data/sphere_canvas.h"

#include <algorithm>
#include <cmath>

#include "data/block_font.h"

SphereCanvas::SphereCanvas(int height)
    : width_(2 * height), height_(height), pixels_(static_cast<std::size_t>(2 * height) * height) {}

double SphereCanvas::HeadingOf(int column) const {
    return (width_ / 2.0 - column - 0.5) * 360.0 / width_;
}

double SphereCanvas::PitchOf(int row) const {
    return 90.0 - (row + 0.5) * 180.0 / height_;
}

int SphereCanvas::ColumnOf(double heading) const {
    const int column = static_cast<int>(std::floor(width_ / 2.0 - heading * width_ / 360.0));
    return ((column % width_) + width_) % width_;
}

int SphereCanvas::RowOf(double pitch) const {
    const int row = static_cast<int>(std::floor((90.0 - pitch) * height_ / 180.0));
    return std::clamp(row, 0, height_ - 1);
}

void SphereCanvas::Set(int column, int row, Rgb colour) {
    if (row < 0 || row >= height_)
        return;
    column = ((column % width_) + width_) % width_;
    pixels_[static_cast<std::size_t>(row) * width_ + column] = colour;
}

void SphereCanvas::Fill(int left, int top, int right, int bottom, Rgb colour) {
    for (int row = top; row < bottom; ++row) {
        for (int column = left; column < right; ++column)
            Set(column, row, colour);
    }
}

void SphereCanvas::Text(std::string_view text, double heading, double pitch, int cell, Rgb colour) {
    const int advance = (kGlyphColumns + 1) * cell;
    const int textWidth = static_cast<int>(text.size()) * advance - cell;
    const int left = ColumnOf(heading) - textWidth / 2;
    const int top = RowOf(pitch) - kGlyphRows * cell;
    const Rgb outline{20, 20, 20};
    const int border = std::max(1, cell / 4);
    for (const bool drawingOutline : {true, false}) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const Glyph& glyph = GlyphOf(text[i]);
            for (int gy = 0; gy < kGlyphRows; ++gy) {
                for (int gx = 0; gx < kGlyphColumns; ++gx) {
                    if (glyph[gy][gx] != '#')
                        continue;
                    const int x = left + static_cast<int>(i) * advance + gx * cell;
                    const int y = top + gy * cell;
                    if (drawingOutline) {
                        Fill(x - border, y - border, x + cell + border, y + cell + border, outline);
                    } else {
                        Fill(x, y, x + cell, y + cell, colour);
                    }
                }
            }
        }
    }
}

std::vector<std::uint8_t> SphereCanvas::BottomUpBgr() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels_.size() * 3);
    for (int row = height_ - 1; row >= 0; --row) {
        for (int column = 0; column < width_; ++column) {
            const Rgb& p = pixels_[static_cast<std::size_t>(row) * width_ + column];
            bytes.insert(bytes.end(), {p.b, p.g, p.r});
        }
    }
    return bytes;
}
