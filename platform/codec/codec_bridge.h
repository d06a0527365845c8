#pragma once
// Decode side of the codec bridge: the stand-in for asking an installed video codec to
// decompress the pixels of a bitmap record. Backed by FFmpeg's libavcodec, the codec chosen by
// the record's four-character code (platform/codec/codec_fourcc.h).

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// The compressed pixels of one picture and what its bitmap header says about them.
struct CompressedPicture {
    std::uint32_t fourcc = 0;  // the header's compression field
    int width = 0;             // pixels, above 0
    int height = 0;            // rows, above 0
    int bitsPerPixel = 0;      // the header's bit count (Video 1 tells 8 from 16 by it)
    std::span<const std::uint8_t> data;
};

// A decoded picture: blue, green, red bytes, rows packed (width x 3 bytes each), top row first.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;
};

enum class CodecStatus {
    Decoded,      // `picture` holds the image
    Failed,       // no codec for the code, or the codec refused the data
    Unavailable,  // the bridge itself could not be set up
};

// Decodes `input` into `picture`. A picture whose decoded size differs from the header's is a
// failure. Any thread; calls share no state. On any status but Decoded `picture` is empty.
CodecStatus DecodeCompressedPicture(const CompressedPicture& input, DecodedPicture& picture);

}  // namespace platform
