#include "engine/imaging/image_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>

#include "engine/imaging/display_conversion.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "platform/byte_order.h"
#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/picture_limits.h"

namespace {

constexpr const char* kUnsupportedFormat = "Unsupported file fomat";
constexpr const char* kNoMemory = "Insufficient system memory";
constexpr const char* kNoCodecBridge = "MS Video for Windows not installed";
constexpr const char* kCodecFailed = "File decompression failed; Codec: ";

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// The rows of a header whose height is neither 0 nor the one value without a magnitude.
std::size_t RowCount(const platform::BitmapInfoHeader& header) {
    if (header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == std::numeric_limits<std::int32_t>::min()) {
        throw LoadError(kUnsupportedFormat);
    }
    return static_cast<std::size_t>(
        header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight);
}

// A plain or bit-field bitmap record, copied and turned bottom-up.
GlobalDib CopyBitmapRecord(const platform::BitmapInfoHeader& header,
                           std::span<const std::uint8_t> body) {
    const std::size_t rows = RowCount(header);
    const bool depthKnown = header.biBitCount == 8 || header.biBitCount == 16 ||
                            header.biBitCount == 24 || header.biBitCount == 32;
    const bool masksFit = header.biCompression == platform::kBiRgb || header.biBitCount == 16 ||
                          header.biBitCount == 32;
    if (!depthKnown || !masksFit)
        throw LoadError(kUnsupportedFormat);

    const std::size_t pixelOffset = platform::kInfoHeaderSize + ColourTableBytes(header);
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    if (body.size() < pixelOffset || (body.size() - pixelOffset) / stride < rows) {
        throw LoadError(kUnsupportedFormat);
    }
    if (!platform::PictureBlockBytes(header.biWidth, static_cast<std::int64_t>(rows),
                                     header.biBitCount, pixelOffset) ||
        !platform::FitsPanoramaSides(header.biWidth, static_cast<std::int64_t>(rows))) {
        throw LoadError(kNoMemory);
    }
    const std::size_t size = pixelOffset + stride * rows;
    GlobalDib dib = GlobalDib::Allocate(size);
    if (!dib)
        throw LoadError(kNoMemory);
    std::memcpy(dib.Data(), body.data(), pixelOffset);
    const std::uint8_t* source = body.data() + pixelOffset;
    std::uint8_t* target = dib.Data() + pixelOffset;
    if (header.biHeight > 0) {
        std::memcpy(target, source, stride * rows);
    } else {
        for (std::size_t r = 0; r < rows; ++r)
            std::memcpy(target + r * stride, source + (rows - 1 - r) * stride, stride);
        platform::BitmapInfoHeader bottomUp = header;
        bottomUp.biHeight = static_cast<std::int32_t>(rows);
        dib.SetHeader(bottomUp);
    }
    return dib;
}

// A record whose pixels a video codec compressed: decoded by the codec bridge to 24 bits.
GlobalDib DecodeCodecRecord(const platform::BitmapInfoHeader& header,
                            std::span<const std::uint8_t> body) {
    const std::size_t rows = RowCount(header);
    // The codec's own buffers grow with the picture it is told to make: the ceiling is checked
    // on the 24-bit picture before the codec sees a byte.
    if (!platform::PictureBlockBytes(header.biWidth, static_cast<std::int64_t>(rows), 24,
                                     platform::kInfoHeaderSize) ||
        !platform::FitsPanoramaSides(header.biWidth, static_cast<std::int64_t>(rows))) {
        throw LoadError(kNoMemory);
    }
    std::span<const std::uint8_t> data = body.subspan(platform::kInfoHeaderSize);
    if (header.biSizeImage != 0) {
        if (header.biSizeImage > data.size())
            throw LoadError(kUnsupportedFormat);
        data = data.first(header.biSizeImage);
    }
    // A record the codec would refuse unread is refused before its block is allocated.
    if (!platform::CodecForFourcc(header.biCompression) ||
        data.size() < platform::FewestCodedBytes(header.biCompression, header.biWidth,
                                                 static_cast<int>(rows))) {
        throw LoadError(kCodecFailed + platform::FourccText(header.biCompression));
    }

    platform::BitmapInfoHeader decoded;
    decoded.biWidth = header.biWidth;
    decoded.biHeight = static_cast<std::int32_t>(rows);
    decoded.biBitCount = 24;
    const std::size_t stride = platform::DibRowStride(decoded.biWidth, 24);
    GlobalDib dib = GlobalDib::Allocate(platform::kInfoHeaderSize + stride * rows);
    if (!dib)
        throw LoadError(kNoMemory);
    dib.SetHeader(decoded);

    // The codec writes the rows bottom-up into the block, the top row last in memory.
    const platform::CompressedPicture input{header.biCompression, header.biWidth,
                                            static_cast<int>(rows), header.biBitCount, data};
    const platform::PictureDestination destination{dib.Pixels() + (rows - 1) * stride,
                                                   -static_cast<std::ptrdiff_t>(stride)};
    switch (platform::DecodeCompressedPicture(input, destination)) {
        case platform::CodecStatus::Decoded:
            break;
        case platform::CodecStatus::Unavailable:
            throw LoadError(kNoCodecBridge);
        case platform::CodecStatus::Failed:
            throw LoadError(kCodecFailed + platform::FourccText(header.biCompression));
    }
    return dib;
}

GlobalDib DecodeRecord(std::span<const std::uint8_t> record, int depth) {
    std::span<const std::uint8_t> body = record;
    if (StartsWith(record, {'B', 'M'})) {
        if (record.size() < platform::kFileHeaderSize)
            throw LoadError(kUnsupportedFormat);
        body = record.subspan(platform::kFileHeaderSize);
    }
    if (body.size() >= 4 && platform::LoadLe32(body.data()) == platform::kInfoHeaderSize) {
        if (body.size() < platform::kInfoHeaderSize)
            throw LoadError(kUnsupportedFormat);
        const platform::BitmapInfoHeader header = platform::LoadInfoHeader(body.data());
        if (header.biCompression != platform::kBiRgb &&
            header.biCompression != platform::kBiBitfields) {
            return DecodeCodecRecord(header, body);
        }
        return CopyBitmapRecord(header, body);
    }
    if (StartsWith(record, {0xFF, 0xD8, 0xFF, 0xE0})) {
        platform::BitmapInfoHeader header;
        if (DecodeJpeg(record, header, {}, depth, 0) == 0 ||
            !platform::FitsPanoramaSides(header.biWidth, header.biHeight)) {
            throw LoadError(kUnsupportedFormat);
        }
        GlobalDib dib = JpegToDib(record, depth, 0);
        if (!dib)
            throw LoadError(kUnsupportedFormat);
        return dib;
    }
    throw LoadError(kUnsupportedFormat);
}

}  // namespace

GlobalDib DecompressImage(std::span<const std::uint8_t> record) {
    const int depth = ProbeDisplayDepth();
    return ConvertToDisplayDepth(DecodeRecord(record, depth), depth);
}
