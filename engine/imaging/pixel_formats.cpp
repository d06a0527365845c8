#include "engine/imaging/pixel_formats.h"

#include "platform/byte_order.h"

BgrPixel ReadDibPixel(platform::PixelFormatCode format, const std::uint8_t* row, std::size_t x,
                      std::span<const std::uint8_t> colours) {
    switch (format) {
        case platform::PixelFormatCode::Indexed8: {
            const std::size_t entry = std::size_t{row[x]} * 4;
            if (entry + 3 > colours.size())
                return {0, 0, 0};
            return {colours[entry], colours[entry + 1], colours[entry + 2]};
        }
        case platform::PixelFormatCode::Rgb555:
            return Expand555(platform::LoadLe16(row + 2 * x));
        case platform::PixelFormatCode::Rgb565:
            return Expand565(platform::LoadLe16(row + 2 * x));
        case platform::PixelFormatCode::Bgr24:
            return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
        case platform::PixelFormatCode::Bgrx32:
            return {row[4 * x], row[4 * x + 1], row[4 * x + 2]};
        case platform::PixelFormatCode::None:
            break;
    }
    return {0, 0, 0};
}

void WriteDibPixel(platform::PixelFormatCode format, std::uint8_t* row, std::size_t x,
                   BgrPixel pixel) {
    switch (format) {
        case platform::PixelFormatCode::None:
        case platform::PixelFormatCode::Indexed8:
            break;
        case platform::PixelFormatCode::Rgb555:
            platform::StoreLe16(row + 2 * x, Pack555(pixel));
            break;
        case platform::PixelFormatCode::Rgb565:
            platform::StoreLe16(row + 2 * x, Pack565(pixel));
            break;
        case platform::PixelFormatCode::Bgr24:
            row[3 * x] = pixel.blue;
            row[3 * x + 1] = pixel.green;
            row[3 * x + 2] = pixel.red;
            break;
        case platform::PixelFormatCode::Bgrx32:
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
