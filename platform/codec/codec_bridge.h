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

// The fewest bytes the codec of `fourcc` spends on a whole `width` x `height` picture coded on
// its own, as every picture record is: Cinepak one codebook index for each 4 x 4 block, Video 1
// a two-byte code for each 4 x 4 block, Indeo 4 (whose empty bands cost nothing) a byte for each
// 256 pixels. A record with fewer bytes claims more pixels than its data can describe. 0 for an
// unknown code or a side not above 0.
std::uint64_t FewestCodedBytes(std::uint32_t fourcc, int width, int height);

// Decodes `input` into `picture`. Refused before the codec allocates anything: an unknown code,
// a size FFmpeg cannot hold, and data shorter than FewestCodedBytes (so the work of a decode
// stays in proportion to the record's size). A picture whose decoded size differs from the
// header's is a failure. Any thread; calls share no state. On any status but Decoded `picture`
// is empty.
CodecStatus DecodeCompressedPicture(const CompressedPicture& input, DecodedPicture& picture);

}  // namespace platform
