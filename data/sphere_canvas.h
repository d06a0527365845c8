#pragma once
// A full-sphere picture being painted for a sample panorama: columns are headings (heading 0
// in the middle column, headings growing to the left), rows are pitches (+90 at the top row,
// -90 at the bottom). Single-threaded.

#include <cstdint>
#include <string_view>
#include <vector>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

class SphereCanvas {
  public:
    // `height` rows and twice as many columns, all black.
    explicit SphereCanvas(int height);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The heading and pitch at the centre of a pixel, and the pixel of a heading and pitch
    // (the column wraps around, the row is clamped to the picture).
    double HeadingOf(int column) const;
    double PitchOf(int row) const;
    int ColumnOf(double heading) const;
    int RowOf(double pitch) const;

    void Set(int column, int row, Rgb colour);
    // Fills columns [left, right) and rows [top, bottom); columns wrap around the seam.
    void Fill(int left, int top, int right, int bottom, Rgb colour);
    // Writes `text` in the block font with cells of `cell` pixels, centred on `heading`, its
    // bottom row on `pitch`, with a dark outline so that it reads on any background.
    void Text(std::string_view text, double heading, double pitch, int cell, Rgb colour);

    // The picture as bottom-up rows of blue, green, red bytes (the width is a multiple of 4,
    // so no row needs padding).
    std::vector<std::uint8_t> BottomUpBgr() const;

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;  // top-down
};
