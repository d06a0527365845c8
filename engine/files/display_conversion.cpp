#include "engine/files/display_conversion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/files/jpeg_glue.h"
#include "engine/files/load_error.h"
#include "engine/files/pixel_formats.h"
#include "platform/display_depth.h"

namespace {

constexpr const char* kUnsupportedFormat = "Unsupported file fomat";
constexpr const char* kNoMemory = "Insufficient system memory";

// The depth code of an image: 16 bits without masks is 15.
int DepthOf(const DibHeader& header) {
    if (header.bitCount == 16 && header.compression == kCompressionNone)
        return 15;
    return header.bitCount;
}

DibPixelFormat FormatForDepth(int depth) {
    switch (depth) {
        case 15:
            return DibPixelFormat::Rgb555;
        case 16:
            return DibPixelFormat::Rgb565;
        default:
            return DibPixelFormat::Bgr24;
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
        (format.compression != kCompressionBitFields || format.redMask != kRedMask565 ||
         format.greenMask != kGreenMask565 || format.blueMask != kBlueMask565)) {
        depth = 15;
    }
    return std::clamp(depth, 8, 24);
}

GlobalDib ConvertToDisplayDepth(GlobalDib image, int depth) {
    const DibHeader old = image.Header();
    const int current = DepthOf(old);
    if (current != 8 && current != 15 && current != 16 && current != 24 && current != 32) {
        throw LoadError(kUnsupportedFormat);
    }
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24;
    if (current == 8 || current == depth || !knownDepth)
        return image;
    if (depth == 8)
        return ThroughJpeg(std::move(image));

    DibHeader header = old;
    header.bitCount = static_cast<std::uint16_t>(depth == 15 ? 16 : depth);
    header.compression = depth == 16 ? kCompressionBitFields : kCompressionNone;
    header.sizeImage = 0;
    header.clrUsed = depth == 16 ? 3 : 0;

    const DibPixelFormat from = *DibFormatOf(old);
    const DibPixelFormat to = FormatForDepth(depth);
    const auto width = static_cast<std::size_t>(old.width);
    const auto rows = static_cast<std::size_t>(std::abs(old.height));
    const std::size_t oldStride = DibRowStride(old.width, old.bitCount);
    const std::size_t newStride = DibRowStride(header.width, header.bitCount);
    const std::size_t oldOffset = kDibHeaderSize + ColourTableBytes(old);
    const std::size_t newOffset = kDibHeaderSize + ColourTableBytes(header);
    const bool inPlace = newOffset <= oldOffset && DibBitsPerPixel(to) <= DibBitsPerPixel(from);

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
