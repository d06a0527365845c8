#include "engine/imaging/pixel_formats.h"

#include "platform/byte_order.h"

std::optional<DibPixelFormat> DibFormatOf(const platform::BitmapInfoHeader& header) {
    switch (header.biBitCount) {
        case 8:
            return DibPixelFormat::Indexed8;
        case 16:
            return header.biCompression == platform::kBiBitfields ? DibPixelFormat::Rgb565
                                                                  : DibPixelFormat::Rgb555;
        case 24:
            return DibPixelFormat::Bgr24;
        case 32:
            return DibPixelFormat::Bgrx32;
        default:
            return std::nullopt;
    }
}

int DibBitsPerPixel(DibPixelFormat format) {
    switch (format) {
        case DibPixelFormat::Indexed8:
            return 8;
        case DibPixelFormat::Rgb555:
        case DibPixelFormat::Rgb565:
            return 16;
        case DibPixelFormat::Bgr24:
            return 24;
        case DibPixelFormat::Bgrx32:
            return 32;
    }
    return 0;
}

BgrPixel ReadDibPixel(DibPixelFormat format, const std::uint8_t* row, std::size_t x,
                      std::span<const std::uint8_t> colours) {
    switch (format) {
        case DibPixelFormat::Indexed8: {
            const std::size_t entry = std::size_t{row[x]} * 4;
            if (entry + 3 > colours.size())
                return {0, 0, 0};
            return {colours[entry], colours[entry + 1], colours[entry + 2]};
        }
        case DibPixelFormat::Rgb555:
            return Expand555(platform::LoadLe16(row + 2 * x));
        case DibPixelFormat::Rgb565:
            return Expand565(platform::LoadLe16(row + 2 * x));
        case DibPixelFormat::Bgr24:
            return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
        case DibPixelFormat::Bgrx32:
            return {row[4 * x], row[4 * x + 1], row[4 * x + 2]};
    }
    return {0, 0, 0};
}

void WriteDibPixel(DibPixelFormat format, std::uint8_t* row, std::size_t x, BgrPixel pixel) {
    switch (format) {
        case DibPixelFormat::Indexed8:
            break;
        case DibPixelFormat::Rgb555:
            platform::StoreLe16(row + 2 * x, Pack555(pixel));
            break;
        case DibPixelFormat::Rgb565:
            platform::StoreLe16(row + 2 * x, Pack565(pixel));
            break;
        case DibPixelFormat::Bgr24:
            row[3 * x] = pixel.blue;
            row[3 * x + 1] = pixel.green;
            row[3 * x + 2] = pixel.red;
            break;
        case DibPixelFormat::Bgrx32:
            row[4 * x] = pixel.blue;
            row[4 * x + 1] = pixel.green;
            row[4 * x + 2] = pixel.red;
            row[4 * x + 3] = 0;
            break;
    }
}

void ConvertDibPixels(const DibSourceRows& source, const DibPixelRows& target, std::size_t width,
                      std::size_t rows, bool flipRows) {
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t sourceRow = flipRows ? rows - 1 - r : r;
        const std::uint8_t* from = source.first + sourceRow * source.stride;
        std::uint8_t* to = target.first + r * target.stride;
        for (std::size_t x = 0; x < width; ++x) {
            WriteDibPixel(target.format, to, x,
                          ReadDibPixel(source.format, from, x, source.colours));
        }
    }
}
