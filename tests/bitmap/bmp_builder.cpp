#include "tests/bitmap/bmp_builder.h"

#include <algorithm>

namespace {

void Put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string BuildBmp(const BmpSpec& spec) {
    std::string header;
    if (spec.headerSize == 12) {
        Put32(header, 12);
        Put16(header, static_cast<std::uint32_t>(spec.width));
        Put16(header, static_cast<std::uint32_t>(spec.height));
        Put16(header, 1);
        Put16(header, spec.bitCount);
    } else {
        Put32(header, spec.headerSize);
        Put32(header, static_cast<std::uint32_t>(spec.width));
        Put32(header, static_cast<std::uint32_t>(spec.height));
        Put16(header, 1);
        Put16(header, spec.bitCount);
        Put32(header, spec.compression);
        Put32(header, spec.sizeImage);
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, spec.colorsUsed);
        Put32(header, 0);
        const bool masksInside = spec.headerSize >= 52;
        if (masksInside) {
            for (std::uint32_t mask : spec.masks)
                Put32(header, mask);
        }
        header.resize(spec.headerSize, '\0');
        if (!masksInside) {
            for (std::uint32_t mask : spec.masks)
                Put32(header, mask);
        }
    }
    header.append(spec.colorTable.begin(), spec.colorTable.end());
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + header.size());
    const std::uint32_t total = static_cast<std::uint32_t>(offset + spec.pixels.size());

    std::string file = "BM";
    Put32(file, spec.fileSize.value_or(total));
    Put32(file, 0);
    Put32(file, spec.pixelOffset.value_or(offset));
    file += header;
    file.append(spec.pixels.begin(), spec.pixels.end());
    return file;
}

std::vector<std::uint8_t> PackedHeader(int width, int height, int bitCount,
                                       std::uint32_t compression, std::uint32_t sizeImage,
                                       std::uint32_t colorsUsed) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitCount = static_cast<std::uint16_t>(bitCount);
    spec.compression = compression;
    spec.sizeImage = sizeImage;
    spec.colorsUsed = colorsUsed;
    const std::string file = BuildBmp(spec);
    std::vector<std::uint8_t> header(file.begin() + 14, file.begin() + 54);
    std::fill(header.begin() + 24, header.begin() + 32, 0);  // no resolution
    return header;
}
