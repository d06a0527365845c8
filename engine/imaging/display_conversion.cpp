#include "engine/imaging/display_conversion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// Where a picture's pixels lie in its block: behind `offset` bytes, `stride` bytes a row.
struct Layout {
    std::size_t offset;
    std::size_t stride;
    std::size_t End(std::size_t rows) const { return offset + stride * rows; }
};

struct Conversion {
    platform::PixelFormatCode from;
    platform::PixelFormatCode to;
    std::size_t width;
    std::size_t rows;
};

// Converts the pixels of `image` from the `source` layout to the `target` one inside its own
// block, one row at a time through a row buffer, so that no second picture is ever held; the
// block ends up exactly as long as the target layout (it may move). Rows that grow are first
// moved to the end of a block grown for them, so that each target row is written over rows
// already read; rows that shrink are written from the block's start, then moved behind the
// target's colours. False when the block cannot grow; the pixels are then of no use.
bool ConvertInBlock(GlobalDib& image, const Conversion& c, const Layout& source,
                    const Layout& target) {
    const std::size_t oldSize = source.End(c.rows);
    const std::size_t newSize = target.End(c.rows);
    std::vector<std::uint8_t> row(source.stride);
    // The target row's padding is zeroed: it may lie where the block grew, uncleared.
    const std::size_t used = c.width * static_cast<std::size_t>(platform::BytesPerPixel(c.to));
    const auto ConvertRows = [&](std::size_t from, std::size_t to) {
        for (std::size_t r = 0; r < c.rows; ++r) {
            std::uint8_t* out = image.Data() + to + r * target.stride;
            std::memcpy(row.data(), image.Data() + from + r * source.stride, source.stride);
            ConvertDibPixels({c.from, row.data(), source.stride, {}}, {c.to, out, target.stride},
                             c.width, 1, false);
            std::memset(out + used, 0, target.stride - used);
        }
    };
    if (target.stride >= source.stride) {
        const std::size_t size = std::max(oldSize, newSize);
        if (size > oldSize && !image.Resize(size))
            return false;
        const std::size_t moved = size - source.stride * c.rows;
        std::memmove(image.Data() + moved, image.Data() + source.offset, source.stride * c.rows);
        ConvertRows(moved, target.offset);
    } else {
        const std::size_t packed = std::min(source.offset, target.offset);
        ConvertRows(source.offset, packed);
        if (packed != target.offset) {
            if (newSize > oldSize && !image.Resize(newSize))
                return false;
            std::memmove(image.Data() + target.offset, image.Data() + packed,
                         target.stride * c.rows);
        }
    }
    // A block that does not shrink stays longer than its picture, which harms no reader.
    static_cast<void>(image.Resize(newSize));
    return true;
}

// The picture is freed once encoded, so that the 8-bit one is decoded in its place rather than
// beside it.
GlobalDib ThroughJpeg(GlobalDib image) {
    const std::vector<std::uint8_t> stream = DibToJpeg(image, 100);
    if (stream.empty())
        return image;
    image.Reset();
    return DecodeRoundTrip(stream);
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

DisplayConversion DisplayConversionFor(const platform::BitmapInfoHeader& header, int depth) {
    const int current = DepthOf(header);
    if (current != 8 && current != 15 && current != 16 && current != 24 && current != 32) {
        throw LoadError(kUnsupportedFormat);
    }
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24;
    if (current == 8 || current == depth || !knownDepth)
        return DisplayConversion::Keep;
    return depth == 8 ? DisplayConversion::ThroughJpeg : DisplayConversion::Pixels;
}

platform::BitmapInfoHeader DisplayDepthHeader(const platform::BitmapInfoHeader& image, int depth) {
    platform::BitmapInfoHeader header = image;
    header.biBitCount = static_cast<std::uint16_t>(depth == 15 ? 16 : depth);
    header.biCompression = depth == 16 ? platform::kBiBitfields : platform::kBiRgb;
    header.biSizeImage = 0;
    header.biClrUsed = depth == 16 ? 3 : 0;
    return header;
}

platform::PixelFormatCode DisplayPixelFormat(int depth) {
    switch (depth) {
        case 15:
            return platform::PixelFormatCode::Rgb555;
        case 16:
            return platform::PixelFormatCode::Rgb565;
        default:
            return platform::PixelFormatCode::Bgr24;
    }
}

GlobalDib DecodeRoundTrip(std::span<const std::uint8_t> stream) {
    GlobalDib quantized = JpegToDib(stream, 8, 0);
    if (!quantized)
        throw LoadError(kNoMemory);
    return quantized;
}

void StoreDisplayHeader(GlobalDib& image, const platform::BitmapInfoHeader& header) {
    image.SetHeader(header);
    if (header.biCompression == platform::kBiBitfields && header.biBitCount == 16) {
        const std::uint32_t masks[3] = {kRedMask565, kGreenMask565, kBlueMask565};
        std::memcpy(image.Colours(), masks, sizeof masks);
    }
}

GlobalDib ConvertToDisplayDepth(GlobalDib image, int depth) {
    const platform::BitmapInfoHeader old = image.Header();
    switch (DisplayConversionFor(old, depth)) {
        case DisplayConversion::Keep:
            return image;
        case DisplayConversion::ThroughJpeg:
            return ThroughJpeg(std::move(image));
        case DisplayConversion::Pixels:
            break;
    }
    const platform::BitmapInfoHeader header = DisplayDepthHeader(old, depth);
    const platform::PixelFormatCode from = platform::DibPixelFormatCode(old);
    const platform::PixelFormatCode to = DisplayPixelFormat(depth);
    const auto width = static_cast<std::size_t>(old.biWidth);
    const auto rows = static_cast<std::size_t>(std::abs(old.biHeight));
    const Layout source{platform::kInfoHeaderSize + ColourTableBytes(old),
                        platform::DibRowStride(old.biWidth, old.biBitCount)};
    const Layout target{platform::kInfoHeaderSize + ColourTableBytes(header),
                        platform::DibRowStride(header.biWidth, header.biBitCount)};
    if (!ConvertInBlock(image, {from, to, width, rows}, source, target))
        throw LoadError(kNoMemory);
    StoreDisplayHeader(image, header);
    return image;
}
