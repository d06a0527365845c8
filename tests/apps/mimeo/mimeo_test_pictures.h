#pragma once
// Pictures and files for Mimeo's tests.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/avatar_file/packed_dib.h"

using Bytes = std::vector<std::uint8_t>;

struct Bgr {
    std::uint8_t blue, green, red;
};

// A 24-bit (or 32-bit) picture whose pixel (x, y), y counted from the bottom, is `colour(x, y)`.
PackedDib TrueColour(int width, int height, const std::function<Bgr(int, int)>& colour,
                     int bits = 24);
Bgr PixelAt(const PackedDib& image, int x, int y);

// A fresh temporary folder of its own for one test, removed with it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string Write(const std::string& name, const Bytes& bytes) const;
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};
