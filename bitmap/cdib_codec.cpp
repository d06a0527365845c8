// Decompression of codec-compressed bitmaps through the installed codec decoder.
#include <cstddef>

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
    // The codec writes the rows straight into the new bitmap, bottom-up as it stores them.
    CDIB picture(m_header.biWidth, m_header.biHeight, 24);
    if (picture.IsEmpty())
        return std::nullopt;
    const platform::PictureDestination destination{
        picture.RowAt(0), -static_cast<std::ptrdiff_t>(picture.GetStride())};
    if (platform::DecodeWithInstalledCodec(input, destination) != platform::CodecStatus::Decoded)
        return std::nullopt;
    if (picture.ChangeBitDepth(bitsPerPixel) == 0)
        return std::nullopt;
    return picture;
}
