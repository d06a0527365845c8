#include "tests/apps/compactor/test_pictures.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

CDIB GradientPicture(int width, int height) {
    CDIB picture(width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y, static_cast<std::uint8_t>(x + y),
                             static_cast<std::uint8_t>(2 * y), static_cast<std::uint8_t>(4 * x));
        }
    }
    return picture;
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes.at(offset)) |
           static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8 |
           static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16 |
           static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24;
}

std::int16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::int16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

double MeanDifference(const CDIB& a, const CDIB& b) {
    double sum = 0;
    for (int y = 0; y < a.GetHeight(); ++y) {
        for (int x = 0; x < a.GetWidth(); ++x) {
            std::uint8_t ca[3] = {};
            std::uint8_t cb[3] = {};
            a.GetPixel(x, y, &ca[0], &ca[1], &ca[2]);
            b.GetPixel(x, y, &cb[0], &cb[1], &cb[2]);
            for (int c = 0; c < 3; ++c)
                sum += std::abs(ca[c] - cb[c]);
        }
    }
    return sum / (3.0 * a.GetWidth() * a.GetHeight());
}
