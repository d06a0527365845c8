#pragma once
// Compression side of the codec bridge: the stand-in for opening an installed video codec in
// compress mode and compressing one picture into the pixels of a bitmap record. Backed by
// FFmpeg's libavcodec, the codec chosen by the four-character code as the decode side chooses
// it (platform/codec/codec_fourcc.h): "cvid" (Cinepak) and "msvc" / "CRAM" (Video 1). Other codes,
// "iv41" (Indeo 4.1) among them, have no encoder here and fail.

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// One uncompressed picture: blue, green, red bytes, rows packed (width x 3 bytes each), top row
// first.
struct UncompressedPicture {
    int width = 0;
    int height = 0;
    std::span<const std::uint8_t> bgr;
};

// What the codec made: the data of a bitmap record whose header carries `fourcc` as its
// compression, `bitsPerPixel` as its bit count (24 for Cinepak, 16 for Video 1) and the data's
// length as its image size.
struct EncodedPicture {
    std::uint32_t fourcc = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint8_t> data;
};

enum class EncodeStatus {
    Encoded,      // `picture` holds the codec's output
    Failed,       // no encoder for the code, a size the codec refuses, or the codec failed
    Unavailable,  // the bridge itself could not be set up (no memory for the codec)
};

// Compresses `input` with the codec of `fourcc` at `quality` (0..10000, higher is better;
// values outside are clamped). Cinepak maps the quality onto its rate-distortion weight, 7500
// giving the encoder's own default; Video 1 has a fixed quality and ignores it. The width and
// the height must be positive multiples of 4 and `input.bgr` must hold width x height x 3
// bytes. Any thread; calls share no state. On any status but Encoded `picture` is empty.
EncodeStatus EncodePicture(std::uint32_t fourcc, const UncompressedPicture& input, int quality,
                           EncodedPicture& picture);

// The packed bitmap record of an encoded picture: its information header (size, code, bit
// count and data length as above), then the codec's data. Pure; any thread.
std::vector<std::uint8_t> BitmapRecordOf(const EncodedPicture& picture);

}  // namespace platform
