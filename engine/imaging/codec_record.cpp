#include "engine/imaging/codec_record.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "engine/imaging/bitmap_record.h"
#include "engine/imaging/display_conversion.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/imaging/pixel_formats.h"
#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/picture_limits.h"

namespace {

constexpr const char* kUnsupportedFormat = "Unsupported file fomat";
constexpr const char* kNoMemory = "Insufficient system memory";
constexpr const char* kNoCodecBridge = "MS Video for Windows not installed";
constexpr const char* kCodecFailed = "File decompression failed; Codec: ";

// How many bytes of blue, green, red rows are taken from the codec's frame at a time.
constexpr std::size_t kBandBytes = std::size_t{4} << 20;
// How many bytes of rows a codec that decodes band by band makes at a time.
constexpr std::size_t kCodecBandBytes = std::size_t{16} << 20;

// The codec's picture: what it decodes and the 24-bit bottom-up header of what it makes.
struct CodecJob {
    platform::CompressedPicture input;
    platform::BitmapInfoHeader decoded;
    std::size_t Width() const { return static_cast<std::size_t>(input.width); }
    std::size_t Rows() const { return static_cast<std::size_t>(input.height); }
};

void ThrowFor(platform::CodecStatus status, const CodecJob& job) {
    switch (status) {
        case platform::CodecStatus::Decoded:
            return;
        case platform::CodecStatus::Unavailable:
            throw LoadError(kNoCodecBridge);
        case platform::CodecStatus::Failed:
            break;
    }
    throw LoadError(kCodecFailed + platform::FourccText(job.input.fourcc));
}

GlobalDib AllocateOrThrow(std::size_t size) {
    GlobalDib dib = GlobalDib::Allocate(size);
    if (!dib)
        throw LoadError(kNoMemory);
    return dib;
}

// Reads rows `first` on (0 the top) of the codec's picture as blue, green, red into `out`, packed:
// at most `count` of them, the rows read (0 when the codec fails).
using RowsReader =
    std::function<std::size_t(std::size_t first, std::size_t count, std::uint8_t* out)>;

// The rows of the codec's picture, top to bottom, a band at a time.
class BandReader {
  public:
    BandReader(RowsReader read, const CodecJob& job)
        : read_(std::move(read)),
          rowBytes_(job.Width() * 3),
          rows_(job.Rows()),
          band_(std::max<std::size_t>(1, kBandBytes / rowBytes_) * rowBytes_) {}

    std::size_t RowBytes() const { return rowBytes_; }

    // Rows from `first` on, as many as the band holds and the codec gives at once; null when
    // the codec fails.
    const std::uint8_t* Read(std::size_t first) {
        count_ = read_(first, std::min(band_.size() / rowBytes_, rows_ - first), band_.data());
        first_ = first;
        return count_ == 0 ? nullptr : band_.data();
    }
    std::size_t Count() const { return count_; }

    // Row `line`, reading the band that starts there when it is not the current one.
    const std::uint8_t* Row(std::size_t line) {
        if ((line < first_ || line >= first_ + count_) && Read(line) == nullptr)
            return nullptr;
        return band_.data() + (line - first_) * rowBytes_;
    }

  private:
    RowsReader read_;
    std::size_t rowBytes_;
    std::size_t rows_;
    std::vector<std::uint8_t> band_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

// The rows of a picture the codec made whole.
RowsReader FrameRows(platform::CodecPicture& codec, const CodecJob& job) {
    return [&codec, rowBytes = job.Width() * 3](std::size_t first, std::size_t count,
                                                std::uint8_t* out) -> std::size_t {
        return codec.ReadRows(static_cast<int>(first), static_cast<int>(count), out,
                              static_cast<std::ptrdiff_t>(rowBytes))
                   ? count
                   : 0;
    };
}

// The rows of a picture the codec makes band by band, never more than the band holds at once.
RowsReader BandRows(platform::CodecBands& bands, const CodecJob& job) {
    return [&bands, rowBytes = job.Width() * 3](std::size_t first, std::size_t count,
                                                std::uint8_t* out) -> std::size_t {
        while (first >= static_cast<std::size_t>(bands.First() + bands.Count())) {
            if (bands.Next() != platform::CodecStatus::Decoded)
                return 0;
        }
        const auto top = static_cast<std::size_t>(bands.First());
        if (first < top)
            return 0;
        count = std::min(count, top + static_cast<std::size_t>(bands.Count()) - first);
        return bands.ReadRows(static_cast<int>(first - top), static_cast<int>(count), out,
                              static_cast<std::ptrdiff_t>(rowBytes))
                   ? count
                   : 0;
    };
}

// Swaps row r with row rows - 1 - r: the rows, made top-down, become bottom-up.
void TurnRowsOver(std::uint8_t* pixels, std::size_t stride, std::size_t rows) {
    std::vector<std::uint8_t> row(stride);
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = pixels + top * stride;
        std::uint8_t* b = pixels + bottom * stride;
        std::memcpy(row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row.data(), stride);
    }
}

// The codec decodes beside the picture, in memory of its own (a frame of several planes); its
// rows are then converted into the 24-bit picture at once.
GlobalDib DecodeBeside(platform::CodecPicture& codec, const CodecJob& job) {
    const std::size_t stride = platform::DibRowStride(job.decoded.biWidth, 24);
    GlobalDib dib = AllocateOrThrow(platform::kInfoHeaderSize + stride * job.Rows());
    dib.SetHeader(job.decoded);
    ThrowFor(codec.Decode({}), job);
    // The rows go bottom-up into the block, the top row last in memory.
    if (!codec.ReadRows(0, job.input.height, dib.Pixels() + (job.Rows() - 1) * stride,
                        -static_cast<std::ptrdiff_t>(stride))) {
        ThrowFor(platform::CodecStatus::Failed, job);
    }
    return dib;
}

// The codec makes its frame inside the picture's own block, behind where the picture's rows go:
// far enough behind that the rows converted so far (top-down, at `depth`) never reach a frame
// row not yet read. The rows are then turned bottom-up and the block cut to the picture.
GlobalDib DecodeInBlock(platform::CodecPicture& codec, const CodecJob& job, int depth) {
    const platform::BitmapInfoHeader target =
        depth == 24 ? job.decoded : DisplayDepthHeader(job.decoded, depth);
    const platform::PixelFormatCode format = DisplayPixelFormat(depth);
    const std::size_t pixelOffset = platform::kInfoHeaderSize + ColourTableBytes(target);
    const std::size_t stride = platform::DibRowStride(target.biWidth, target.biBitCount);
    const std::size_t rows = job.Rows();
    const std::size_t pitch = codec.FramePitch();
    const std::size_t frameAt = stride > pitch ? (stride - pitch) * rows : 0;
    const std::size_t area = std::max(stride * rows, frameAt + codec.FrameBytes());
    GlobalDib dib = AllocateOrThrow(pixelOffset + area);
    ThrowFor(codec.Decode(dib.Bytes().subspan(pixelOffset + frameAt)), job);

    BandReader reader(FrameRows(codec, job), job);
    std::uint8_t* const pixels = dib.Data() + pixelOffset;
    const std::size_t width = job.Width();
    const std::size_t used = width * static_cast<std::size_t>(platform::BytesPerPixel(format));
    for (std::size_t first = 0; first < rows; first += reader.Count()) {
        const std::uint8_t* band = reader.Read(first);
        if (band == nullptr)
            ThrowFor(platform::CodecStatus::Failed, job);
        for (std::size_t r = 0; r < reader.Count(); ++r) {
            std::uint8_t* out = pixels + (first + r) * stride;
            ConvertDibPixels({platform::PixelFormatCode::Bgr24,
                              band + r * reader.RowBytes(),
                              reader.RowBytes(),
                              {}},
                             {format, out, stride}, width, 1, false);
            std::memset(out + used, 0, stride - used);
        }
    }
    TurnRowsOver(pixels, stride, rows);
    StoreDisplayHeader(dib, target);
    // A block that does not shrink stays longer than its picture, which harms no reader.
    static_cast<void>(dib.Resize(pixelOffset + stride * rows));
    return dib;
}

// The JPEG stream of the picture's rows, top to bottom; empty when the encoder refuses them.
std::vector<std::uint8_t> EncodeRows(RowsReader read, const CodecJob& job, bool& codecFailed) {
    BandReader reader(std::move(read), job);
    std::vector<std::uint8_t> stream = EncodeJpegRows({platform::PixelFormatCode::Bgr24,
                                                       {},
                                                       job.Width(),
                                                       job.Rows(),
                                                       [&](std::size_t line) {
                                                           const std::uint8_t* row =
                                                               reader.Row(line);
                                                           codecFailed = row == nullptr;
                                                           return row;
                                                       }},
                                                      100);
    if (codecFailed)
        ThrowFor(platform::CodecStatus::Failed, job);
    return stream;
}

// The picture for an 8-bit display: the codec's picture goes band by band into the JPEG round
// trip, made band by band where the codec can (a band's memory at a time), else whole in a block
// of its own, which is freed before the quantized picture is decoded. Empty when the encoder
// refuses the picture.
GlobalDib DecodeThroughJpeg(platform::CodecPicture& codec, const CodecJob& job) {
    std::vector<std::uint8_t> stream;
    bool codecFailed = false;
    if (platform::CodecBands bands; bands.Open(job.input, kCodecBandBytes)) {
        stream = EncodeRows(BandRows(bands, job), job, codecFailed);
    } else {
        GlobalDib frame = AllocateOrThrow(codec.FrameBytes());
        ThrowFor(codec.Decode(frame.Bytes()), job);
        stream = EncodeRows(FrameRows(codec, job), job, codecFailed);
    }
    return stream.empty() ? GlobalDib{} : DecodeRoundTrip(stream);
}

void Open(platform::CodecPicture& codec, const CodecJob& job) {
    ThrowFor(codec.Open(job.input), job);
}

}  // namespace

GlobalDib DecodeCodecRecord(const platform::BitmapInfoHeader& header,
                            std::span<const std::uint8_t> body, int depth) {
    const std::size_t rows = RecordRowCount(header);
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
    CodecJob job{
        {header.biCompression, header.biWidth, static_cast<int>(rows), header.biBitCount, data},
        {}};
    job.decoded.biWidth = header.biWidth;
    job.decoded.biHeight = static_cast<std::int32_t>(rows);
    job.decoded.biBitCount = 24;

    try {
        // Open refuses a record the codec would refuse unread before any block is allocated.
        std::optional<platform::CodecPicture> codec;
        codec.emplace();
        Open(*codec, job);
        if (codec->FrameBytes() == 0)
            return ConvertToDisplayDepth(DecodeBeside(*codec, job), depth);
        switch (DisplayConversionFor(job.decoded, depth)) {
            case DisplayConversion::Pixels:
                return DecodeInBlock(*codec, job, depth);
            case DisplayConversion::ThroughJpeg:
                if (job.Width() % 4 == 0 && rows % 4 == 0) {
                    if (GlobalDib quantized = DecodeThroughJpeg(*codec, job))
                        return quantized;
                    // The codec is spent: the 24-bit picture is decoded afresh.
                    codec.emplace();
                    Open(*codec, job);
                }
                break;
            case DisplayConversion::Keep:
                break;
        }
        return DecodeInBlock(*codec, job, 24);
    } catch (const std::bad_alloc&) {
        throw LoadError(kNoMemory);
    }
}
