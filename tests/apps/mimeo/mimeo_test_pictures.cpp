#include "mimeo_test_pictures.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

PackedDib TrueColour(int width, int height, const std::function<Bgr(int, int)>& colour, int bits) {
    PackedDib image = *NewPackedDib(width, height, bits);
    const std::size_t bytes = static_cast<std::size_t>(bits / 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Bgr c = colour(x, y);
            std::uint8_t* p = image.data() + 40 +
                              (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                               static_cast<std::size_t>(x)) *
                                  bytes;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    }
    return image;
}

Bgr PixelAt(const PackedDib& image, int x, int y) {
    const platform::BitmapInfoHeader header = HeaderOf(image);
    const std::size_t bytes = header.biBitCount / 8u;
    const std::uint8_t* p =
        image.data() + 40 +
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(header.biWidth) +
         static_cast<std::size_t>(x)) *
            bytes;
    return {p[0], p[1], p[2]};
}

// A name of its own for every folder: runs of one test from two build trees at once (or two
// copies of one test executable) never share files.
TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mimeo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(path_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return Path(name);
}
