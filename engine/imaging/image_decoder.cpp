#include "engine/imaging/image_decoder.h"

#include <algorithm>
#include <array>
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

// The bytes of a record in order, once: those already read first, then the stream's.
class RecordReader {
  public:
    RecordReader(std::span<const std::uint8_t> head, const RecordStream* next)
        : head_(head), next_(next) {}

    // The next `into.size()` bytes; false when the record gives no more of them.
    bool Read(std::span<std::uint8_t> into) {
        const std::size_t fromHead = std::min(into.size(), head_.size());
        std::memcpy(into.data(), head_.data(), fromHead);
        head_ = head_.subspan(fromHead);
        into = into.subspan(fromHead);
        return into.empty() || (next_ && (*next_)(into));
    }

  private:
    std::span<const std::uint8_t> head_;
    const RecordStream* next_;
};

// Where a bitmap record's information header starts, and the header.
struct BitmapHead {
    std::size_t bodyOffset = 0;
    platform::BitmapInfoHeader header;
};

// The information header of a record of `recordSize` bytes whose first bytes are `head` (at
// least its first kFileHeaderSize + kInfoHeaderSize bytes, or all of a shorter record), or
// nothing when the record is no bitmap with an information header.
std::optional<BitmapHead> ReadBitmapHead(std::span<const std::uint8_t> head,
                                         std::uint64_t recordSize) {
    BitmapHead bitmap;
    if (StartsWith(head, {'B', 'M'})) {
        if (recordSize < platform::kFileHeaderSize)
            throw LoadError(kUnsupportedFormat);
        bitmap.bodyOffset = platform::kFileHeaderSize;
    }
    if (head.size() < bitmap.bodyOffset + 4 ||
        platform::LoadLe32(head.data() + bitmap.bodyOffset) != platform::kInfoHeaderSize) {
        return std::nullopt;
    }
    if (head.size() < bitmap.bodyOffset + platform::kInfoHeaderSize)
        throw LoadError(kUnsupportedFormat);
    bitmap.header = platform::LoadInfoHeader(head.data() + bitmap.bodyOffset);
    return bitmap;
}

bool IsPlain(const platform::BitmapInfoHeader& header) {
    return header.biCompression == platform::kBiRgb ||
           header.biCompression == platform::kBiBitfields;
}

// A plain or bit-field bitmap record whose information header `body` reads next, of
// `bodySize` bytes from there: read straight into the picture and turned bottom-up.
GlobalDib CopyBitmapRecord(const platform::BitmapInfoHeader& header, std::uint64_t bodySize,
                           RecordReader& body) {
    const std::size_t rows = RowCount(header);
    const bool depthKnown = header.biBitCount == 8 || header.biBitCount == 16 ||
                            header.biBitCount == 24 || header.biBitCount == 32;
    const bool masksFit = header.biCompression == platform::kBiRgb || header.biBitCount == 16 ||
                          header.biBitCount == 32;
    if (!depthKnown || !masksFit)
        throw LoadError(kUnsupportedFormat);

    const std::size_t pixelOffset = platform::kInfoHeaderSize + ColourTableBytes(header);
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    if (bodySize < pixelOffset || (bodySize - pixelOffset) / stride < rows)
        throw LoadError(kUnsupportedFormat);
    if (!platform::PictureBlockBytes(header.biWidth, static_cast<std::int64_t>(rows),
                                     header.biBitCount, pixelOffset) ||
        !platform::FitsPanoramaSides(header.biWidth, static_cast<std::int64_t>(rows))) {
        throw LoadError(kNoMemory);
    }
    GlobalDib dib = GlobalDib::Allocate(pixelOffset + stride * rows);
    if (!dib)
        throw LoadError(kNoMemory);
    if (!body.Read({dib.Data(), pixelOffset}))
        throw LoadError(kUnsupportedFormat);
    std::uint8_t* target = dib.Data() + pixelOffset;
    if (header.biHeight > 0) {
        if (!body.Read({target, stride * rows}))
            throw LoadError(kUnsupportedFormat);
    } else {
        // Top-down rows arrive top row first: each goes to its place from the bottom.
        for (std::size_t r = 0; r < rows; ++r) {
            if (!body.Read({target + (rows - 1 - r) * stride, stride}))
                throw LoadError(kUnsupportedFormat);
        }
        platform::BitmapInfoHeader bottomUp = header;
        bottomUp.biHeight = static_cast<std::int32_t>(rows);
        dib.SetHeader(bottomUp);
    }
    return dib;
}

// Reads a plain bitmap's record from its start, skipping the file header.
GlobalDib CopyBitmapRecord(const BitmapHead& bitmap, std::uint64_t recordSize,
                           RecordReader& record) {
    std::array<std::uint8_t, platform::kFileHeaderSize> fileHeader{};
    if (!record.Read(std::span(fileHeader).first(bitmap.bodyOffset)))
        throw LoadError(kUnsupportedFormat);
    return CopyBitmapRecord(bitmap.header, recordSize - bitmap.bodyOffset, record);
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
    if (const std::optional<BitmapHead> bitmap = ReadBitmapHead(record, record.size())) {
        if (!IsPlain(bitmap->header))
            return DecodeCodecRecord(bitmap->header, record.subspan(bitmap->bodyOffset));
        RecordReader reader(record, nullptr);
        return CopyBitmapRecord(*bitmap, record.size(), reader);
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

std::optional<GlobalDib> DecompressBitmapStream(std::span<const std::uint8_t> head,
                                                std::uint64_t size, const RecordStream& next) {
    const std::optional<BitmapHead> bitmap = ReadBitmapHead(head, size);
    if (!bitmap || !IsPlain(bitmap->header))
        return std::nullopt;
    RecordReader reader(head, &next);
    const int depth = ProbeDisplayDepth();
    return ConvertToDisplayDepth(CopyBitmapRecord(*bitmap, size, reader), depth);
}
