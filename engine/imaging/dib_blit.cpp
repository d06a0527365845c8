#include "engine/imaging/dib_blit.h"

#include "platform/surface.h"

namespace {

int FormatCode(const platform::BitmapInfoHeader& header) {
    switch (header.biBitCount) {
        case 8:
            return platform::kPixelFormatIndexed;
        case 16:
            return header.biCompression == platform::kBiBitfields ? platform::kPixelFormat565
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
    if (bitmapInfo.size() < platform::kInfoHeaderSize)
        return std::nullopt;
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(bitmapInfo.data());
    const int format = FormatCode(header);
    if (format == 0 || header.biWidth <= 0 || header.biHeight <= 0)
        return std::nullopt;
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    if (pixels.size() / stride < static_cast<std::size_t>(header.biHeight))
        return std::nullopt;
    const std::uint8_t* palette = nullptr;
    if (format == platform::kPixelFormatIndexed) {
        if (bitmapInfo.size() < platform::kInfoHeaderSize + kColourTableBytes)
            return std::nullopt;
        palette = bitmapInfo.data() + platform::kInfoHeaderSize;
    }
    return platform::PixelView{header.biWidth, header.biHeight, format,
                               pixels.data(),  stride,          palette};
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
