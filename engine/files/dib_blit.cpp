#include "engine/files/dib_blit.h"

#include "platform/surface.h"

namespace {

int FormatCode(const DibHeader& header) {
    switch (header.bitCount) {
        case 8:
            return platform::kPixelFormatIndexed;
        case 16:
            return header.compression == kCompressionBitFields ? platform::kPixelFormat565
                                                               : platform::kPixelFormat555;
        case 24:
            return platform::kPixelFormatBgr;
        default:
            return 0;
    }
}

}  // namespace

std::optional<platform::PixelView> DibPixelView(std::span<const std::uint8_t> bitmapInfo,
                                                std::span<const std::uint8_t> pixels) {
    if (bitmapInfo.size() < kDibHeaderSize)
        return std::nullopt;
    const DibHeader header = ReadDibHeader(bitmapInfo.data());
    const int format = FormatCode(header);
    if (format == 0 || header.width <= 0 || header.height <= 0)
        return std::nullopt;
    const std::size_t stride = DibRowStride(header.width, header.bitCount);
    if (pixels.size() / stride < static_cast<std::size_t>(header.height))
        return std::nullopt;
    const std::uint8_t* palette = nullptr;
    if (format == platform::kPixelFormatIndexed) {
        if (bitmapInfo.size() < kDibHeaderSize + kColourTableBytes)
            return std::nullopt;
        palette = bitmapInfo.data() + kDibHeaderSize;
    }
    return platform::PixelView{header.width, header.height, format, pixels.data(), stride, palette};
}

bool BlitDib(platform::WindowHandle window, std::span<const std::uint8_t> bitmapInfo,
             std::span<const std::uint8_t> pixels, const platform::Rect* destination) {
    const std::optional<platform::PixelView> view = DibPixelView(bitmapInfo, pixels);
    if (!view)
        return false;
    const platform::Rect whole{0, 0, view->width, view->height};
    return platform::PresentToWindow(window, *view, destination != nullptr ? *destination : whole);
}

bool BlitDib(platform::WindowHandle window, const GlobalDib& dib,
             const platform::Rect* destination) {
    return BlitDib(window, dib.Info(), dib.PixelBytes(), destination);
}
