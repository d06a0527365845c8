#include "engine/imaging/image_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "engine/imaging/bitmap_record.h"
#include "engine/imaging/codec_record.h"
#include "engine/imaging/display_conversion.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "platform/byte_order.h"
#include "platform/picture_limits.h"

namespace {

constexpr const char* kUnsupportedFormat = "Unsupported file fomat";

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

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

GlobalDib DecodeRecord(std::span<const std::uint8_t> record, int depth) {
    if (const std::optional<BitmapHead> bitmap = ReadBitmapHead(record, record.size())) {
        if (!IsPlain(bitmap->header)) {
            return DecodeCodecRecord(bitmap->header, record.subspan(bitmap->bodyOffset), depth);
        }
        const RecordReader read = [record](std::uint64_t offset, std::span<std::uint8_t> into) {
            if (offset > record.size() || into.size() > record.size() - offset)
                return false;
            std::memcpy(into.data(), record.data() + offset, into.size());
            return true;
        };
        return DecodeBitmapRecord(bitmap->header, bitmap->bodyOffset, record.size(), read, depth);
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
        return ConvertToDisplayDepth(std::move(dib), depth);
    }
    throw LoadError(kUnsupportedFormat);
}

}  // namespace

GlobalDib DecompressImage(std::span<const std::uint8_t> record) {
    return DecodeRecord(record, ProbeDisplayDepth());
}

std::optional<GlobalDib> DecompressBitmapStream(std::span<const std::uint8_t> head,
                                                std::uint64_t size, const RecordReader& read) {
    const std::optional<BitmapHead> bitmap = ReadBitmapHead(head, size);
    if (!bitmap || !IsPlain(bitmap->header))
        return std::nullopt;
    return DecodeBitmapRecord(bitmap->header, bitmap->bodyOffset, size, read, ProbeDisplayDepth());
}

bool IsPlainBitmapRecord(std::span<const std::uint8_t> head, std::uint64_t size) {
    try {
        const std::optional<BitmapHead> bitmap = ReadBitmapHead(head, size);
        return bitmap && IsPlain(bitmap->header);
    } catch (const LoadError&) {
        return false;
    }
}
