#include "engine/imaging/bitmap_record.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "engine/imaging/display_conversion.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/imaging/pixel_formats.h"
#include "platform/picture_limits.h"

namespace {

constexpr const char* kUnsupportedFormat = "Unsupported file fomat";
constexpr const char* kNoMemory = "Insufficient system memory";

// How many bytes of rows a record is read in at a time.
constexpr std::size_t kBandBytes = std::size_t{4} << 20;

// Where a record's pixels lie and how they are laid out.
struct RecordPixels {
    std::uint64_t offset;  // of the first stored row, from the record's start
    std::size_t stride;
    std::size_t rows;
    bool topDown;  // stored top row first (a negative height)
};

// The rows of a record in their stored order, read by position a band at a time. A band ends at
// the row asked for when the rows are asked for last to first, else it starts there.
class RecordRows {
  public:
    RecordRows(const RecordReader& read, const RecordPixels& pixels, bool lastToFirst)
        : read_(read),
          pixels_(pixels),
          lastToFirst_(lastToFirst),
          band_(std::max<std::size_t>(1, kBandBytes / pixels.stride) * pixels.stride) {}

    // Stored row `index`; null when it cannot be read. Valid until the next call.
    const std::uint8_t* Row(std::size_t index) {
        if (index < first_ || index >= first_ + count_) {
            const std::size_t capacity = band_.size() / pixels_.stride;
            first_ = lastToFirst_ && index + 1 > capacity ? index + 1 - capacity
                     : lastToFirst_                       ? 0
                                                          : index;
            count_ = std::min(capacity, pixels_.rows - first_);
            if (!read_(pixels_.offset + std::uint64_t{first_} * pixels_.stride,
                       {band_.data(), count_ * pixels_.stride})) {
                count_ = 0;
                return nullptr;
            }
        }
        return band_.data() + (index - first_) * pixels_.stride;
    }

  private:
    const RecordReader& read_;
    RecordPixels pixels_;
    bool lastToFirst_;
    std::vector<std::uint8_t> band_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

// The header as a bottom-up picture holds it.
platform::BitmapInfoHeader BottomUp(platform::BitmapInfoHeader header, std::size_t rows) {
    header.biHeight = static_cast<std::int32_t>(rows);
    return header;
}

GlobalDib AllocateOrThrow(std::size_t size) {
    GlobalDib dib = GlobalDib::Allocate(size);
    if (!dib)
        throw LoadError(kNoMemory);
    return dib;
}

// The picture at the record's own depth: header and colours as stored, rows turned bottom-up.
GlobalDib ReadAsStored(const platform::BitmapInfoHeader& header, std::uint64_t bodyOffset,
                       const RecordPixels& pixels, const RecordReader& read) {
    const std::size_t pixelOffset = platform::kInfoHeaderSize + ColourTableBytes(header);
    GlobalDib dib = AllocateOrThrow(pixelOffset + pixels.stride * pixels.rows);
    if (!read(bodyOffset, {dib.Data(), pixelOffset}))
        throw LoadError(kUnsupportedFormat);
    std::uint8_t* target = dib.Data() + pixelOffset;
    if (!pixels.topDown) {
        if (!read(pixels.offset, {target, pixels.stride * pixels.rows}))
            throw LoadError(kUnsupportedFormat);
        return dib;
    }
    // Top-down rows arrive top row first: each goes to its place from the bottom.
    for (std::size_t r = 0; r < pixels.rows; ++r) {
        if (!read(pixels.offset + std::uint64_t{r} * pixels.stride,
                  {target + (pixels.rows - 1 - r) * pixels.stride, pixels.stride})) {
            throw LoadError(kUnsupportedFormat);
        }
    }
    dib.SetHeader(BottomUp(header, pixels.rows));
    return dib;
}

// The picture converted to `depth` (15, 16 or 24) row by row as the rows are read.
GlobalDib ReadConverted(const platform::BitmapInfoHeader& header, const RecordPixels& pixels,
                        const RecordReader& read, int depth) {
    const platform::BitmapInfoHeader converted =
        DisplayDepthHeader(BottomUp(header, pixels.rows), depth);
    const std::size_t pixelOffset = platform::kInfoHeaderSize + ColourTableBytes(converted);
    const std::size_t stride = platform::DibRowStride(converted.biWidth, converted.biBitCount);
    GlobalDib dib = AllocateOrThrow(pixelOffset + stride * pixels.rows);
    StoreDisplayHeader(dib, converted);

    const platform::PixelFormatCode from = platform::DibPixelFormatCode(header);
    const platform::PixelFormatCode to = DisplayPixelFormat(depth);
    const auto width = static_cast<std::size_t>(header.biWidth);
    const std::size_t used = width * static_cast<std::size_t>(platform::BytesPerPixel(to));
    RecordRows rows(read, pixels, false);
    for (std::size_t r = 0; r < pixels.rows; ++r) {
        const std::uint8_t* row = rows.Row(r);
        if (row == nullptr)
            throw LoadError(kUnsupportedFormat);
        const std::size_t stored = pixels.topDown ? pixels.rows - 1 - r : r;
        std::uint8_t* out = dib.Data() + pixelOffset + stored * stride;
        ConvertDibPixels({from, row, pixels.stride, {}}, {to, out, stride}, width, 1, false);
        std::memset(out + used, 0, stride - used);
    }
    return dib;
}

// The picture for an 8-bit display: its rows, top row first, go straight into the JPEG round
// trip. Empty when the encoder refuses the picture (the picture then stays at its own depth).
GlobalDib ReadThroughJpeg(const platform::BitmapInfoHeader& header, const RecordPixels& pixels,
                          const RecordReader& read) {
    bool readFailed = false;
    std::vector<std::uint8_t> stream;
    {
        RecordRows rows(read, pixels, !pixels.topDown);
        stream = EncodeJpegRows({platform::DibPixelFormatCode(header),
                                 {},
                                 static_cast<std::size_t>(header.biWidth),
                                 pixels.rows,
                                 [&](std::size_t line) {
                                     const std::uint8_t* row =
                                         rows.Row(pixels.topDown ? line : pixels.rows - 1 - line);
                                     readFailed = row == nullptr;
                                     return row;
                                 }},
                                100);
    }
    if (readFailed)
        throw LoadError(kUnsupportedFormat);
    return stream.empty() ? GlobalDib{} : DecodeRoundTrip(stream);
}

}  // namespace

std::size_t RecordRowCount(const platform::BitmapInfoHeader& header) {
    if (header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == std::numeric_limits<std::int32_t>::min()) {
        throw LoadError(kUnsupportedFormat);
    }
    return static_cast<std::size_t>(
        header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight);
}

GlobalDib DecodeBitmapRecord(const platform::BitmapInfoHeader& header, std::uint64_t bodyOffset,
                             std::uint64_t recordSize, const RecordReader& read, int depth) {
    const std::size_t rows = RecordRowCount(header);
    const bool depthKnown = header.biBitCount == 8 || header.biBitCount == 16 ||
                            header.biBitCount == 24 || header.biBitCount == 32;
    const bool masksFit = header.biCompression == platform::kBiRgb || header.biBitCount == 16 ||
                          header.biBitCount == 32;
    if (!depthKnown || !masksFit)
        throw LoadError(kUnsupportedFormat);

    const std::size_t pixelOffset = platform::kInfoHeaderSize + ColourTableBytes(header);
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    const std::uint64_t bodySize = recordSize - bodyOffset;
    if (bodySize < pixelOffset || (bodySize - pixelOffset) / stride < rows)
        throw LoadError(kUnsupportedFormat);
    if (!platform::PictureBlockBytes(header.biWidth, static_cast<std::int64_t>(rows),
                                     header.biBitCount, pixelOffset) ||
        !platform::FitsPanoramaSides(header.biWidth, static_cast<std::int64_t>(rows))) {
        throw LoadError(kNoMemory);
    }

    const RecordPixels pixels{bodyOffset + pixelOffset, stride, rows, header.biHeight < 0};
    try {
        switch (DisplayConversionFor(header, depth)) {
            case DisplayConversion::Keep:
                break;
            case DisplayConversion::Pixels:
                return ReadConverted(header, pixels, read, depth);
            case DisplayConversion::ThroughJpeg:
                if (GlobalDib quantized = ReadThroughJpeg(header, pixels, read))
                    return quantized;
                break;
        }
        return ReadAsStored(header, bodyOffset, pixels, read);
    } catch (const std::bad_alloc&) {
        throw LoadError(kNoMemory);
    }
}
