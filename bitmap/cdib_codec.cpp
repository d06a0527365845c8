// Decompression of codec-compressed bitmaps through the installed codec decoder.
#include <cstring>
#include <utility>

#include "bitmap/cdib.h"
#include "platform/dib_header.h"
#include "platform/picture_codec.h"
#include "platform/picture_limits.h"

std::optional<CDIB> CDIB::DecompressTo(int bitsPerPixel) const {
    if (!IsCompressed())
        return std::nullopt;
    // The codec's buffers grow with the picture the header claims: held to the picture ceiling
    // before the codec sees a byte.
    if (!platform::PictureBlockBytes(m_header.biWidth, m_header.biHeight, 24,
                                     platform::kInfoHeaderSize)) {
        return std::nullopt;
    }
    platform::CompressedPicture input;
    input.fourcc = m_header.biCompression;
    input.width = m_header.biWidth;
    input.height = m_header.biHeight;
    input.bitsPerPixel = m_header.biBitCount;
    input.data = GetBits();
    platform::DecodedPicture decoded;
    if (platform::DecodeWithInstalledCodec(input, decoded) != platform::CodecStatus::Decoded ||
        decoded.width != m_header.biWidth || decoded.height != m_header.biHeight) {
        return std::nullopt;
    }
    CDIB picture(decoded.width, decoded.height, 24);
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(decoded.width);
    if (picture.IsEmpty() ||
        decoded.bgr.size() < rowBytes * static_cast<std::size_t>(decoded.height)) {
        return std::nullopt;
    }
    for (int y = 0; y < decoded.height; ++y) {
        std::memcpy(picture.RowAt(y), decoded.bgr.data() + static_cast<std::size_t>(y) * rowBytes,
                    rowBytes);
    }
    if (picture.ChangeBitDepth(bitsPerPixel) == 0)
        return std::nullopt;
    return picture;
}
