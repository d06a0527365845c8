#include "engine/imaging/display_conversion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/imaging/pixel_formats.h"
#include "platform/display_depth.h"

namespace {

constexpr const char* kUnsupportedFormat = "Unsupported file fomat";
constexpr const char* kNoMemory = "Insufficient system memory";

// The depth code of an image: 16 bits without masks is 15.
int DepthOf(const platform::BitmapInfoHeader& header) {
    if (header.biBitCount == 16 && header.biCompression == platform::kBiRgb)
        return 15;
    return header.biBitCount;
}

platform::PixelFormatCode FormatForDepth(int depth) {
    switch (depth) {
        case 15:
            return platform::PixelFormatCode::Rgb555;
        case 16:
            return platform::PixelFormatCode::Rgb565;
        default:
            return platform::PixelFormatCode::Bgr24;
    }
}

GlobalDib ThroughJpeg(GlobalDib image) {
    const std::vector<std::uint8_t> stream = DibToJpeg(image, 100);
    if (stream.empty())
        return image;
    GlobalDib quantized = JpegToDib(stream, 8, 0);
    return quantized ? std::move(quantized) : std::move(image);
}

}  // namespace

int ProbeDisplayDepth() {
    const platform::DisplayFormat format = platform::QueryDisplayFormat();
    int depth = format.bitsPerPixel;
    if (depth == 16 &&
        (format.compression != platform::kBiBitfields || format.redMask != kRedMask565 ||
         format.greenMask != kGreenMask565 || format.blueMask != kBlueMask565)) {
        depth = 15;
    }
    return std::clamp(depth, 8, 24);
}

GlobalDib ConvertToDisplayDepth(GlobalDib image, int depth) {
    const platform::BitmapInfoHeader old = image.Header();
    const int current = DepthOf(old);
    if (current != 8 && current != 15 && current != 16 && current != 24 && current != 32) {
        throw LoadError(kUnsupportedFormat);
    }
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24;
    if (current == 8 || current == depth || !knownDepth)
        return image;
    if (depth == 8)
        return ThroughJpeg(std::move(image));

    platform::BitmapInfoHeader header = old;
    header.biBitCount = static_cast<std::uint16_t>(depth == 15 ? 16 : depth);
    header.biCompression = depth == 16 ? platform::kBiBitfields : platform::kBiRgb;
    header.biSizeImage = 0;
    header.biClrUsed = depth == 16 ? 3 : 0;

    const platform::PixelFormatCode from = platform::DibPixelFormatCode(old);
    const platform::PixelFormatCode to = FormatForDepth(depth);
    const auto width = static_cast<std::size_t>(old.biWidth);
    const auto rows = static_cast<std::size_t>(std::abs(old.biHeight));
    const std::size_t oldStride = platform::DibRowStride(old.biWidth, old.biBitCount);
    const std::size_t newStride = platform::DibRowStride(header.biWidth, header.biBitCount);
    const std::size_t oldOffset = platform::kInfoHeaderSize + ColourTableBytes(old);
    const std::size_t newOffset = platform::kInfoHeaderSize + ColourTableBytes(header);
    const bool inPlace =
        newOffset <= oldOffset && platform::BitsPerPixel(to) <= platform::BitsPerPixel(from);

    GlobalDib target;
    if (!inPlace) {
        target = GlobalDib::Allocate(newOffset + newStride * rows);
        if (!target)
            throw LoadError(kNoMemory);
    }
    GlobalDib& result = inPlace ? image : target;
    const DibSourceRows source{from, image.Data() + oldOffset, oldStride, {}};
    ConvertDibPixels(source, {to, result.Data() + newOffset, newStride}, width, rows, false);
    result.SetHeader(header);
    if (depth == 16) {
        const std::uint32_t masks[3] = {kRedMask565, kGreenMask565, kBlueMask565};
        std::memcpy(result.Colours(), masks, sizeof masks);
    }
    return inPlace ? std::move(image) : std::move(target);
}
