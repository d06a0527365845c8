#include "engine/imaging/dib_blit.h"

#include "platform/surface.h"

std::optional<platform::PixelView> DibPixelView(std::span<const std::uint8_t> bitmapInfo,
                                                std::span<const std::uint8_t> pixels) {
    if (bitmapInfo.size() < platform::kInfoHeaderSize)
        return std::nullopt;
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(bitmapInfo.data());
    const platform::PixelFormatCode format = platform::DibPixelFormatCode(header);
    if (!platform::IsFrameFormat(format) || header.biWidth <= 0 || header.biHeight <= 0)
        return std::nullopt;
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    if (pixels.size() / stride < static_cast<std::size_t>(header.biHeight))
        return std::nullopt;
    const std::uint8_t* palette = nullptr;
    if (format == platform::PixelFormatCode::Indexed8) {
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
