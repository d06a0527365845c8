#pragma once
// The seam through which code with no codec of its own (the bitmap class) has codec-compressed
// pixels decoded: the stand-in for asking the system for an installed video codec. A program
// that reads such bitmaps installs the codec bridge's decoder (platform/codec/codec_bridge.h)
// at start-up; until then every request is answered Unavailable, and nothing links a codec
// library that does not install one.

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// The compressed pixels of one picture and what its bitmap header says about them.
struct CompressedPicture {
    std::uint32_t fourcc = 0;  // the header's compression field
    int width = 0;             // pixels, above 0
    int height = 0;            // rows, above 0
    int bitsPerPixel = 0;      // the header's bit count (Video 1 tells 8 from 16 by it)
    std::span<const std::uint8_t> data;
};

// Where a decoder writes the picture: `input.height` rows of `input.width` x 3 bytes (blue,
// green, red), `topRow` the first byte of the top row and `stride` the bytes from one row to the
// next one down, negative when the rows run upward in memory as in a bottom-up bitmap. Each row
// takes |stride| bytes, at least width x 3; the decoder zeroes the bytes past the pixels. The
// caller owns the block and has it allocated before the decoder is called.
struct PictureDestination {
    std::uint8_t* topRow = nullptr;
    std::ptrdiff_t stride = 0;
};

enum class CodecStatus {
    Decoded,      // the destination holds the image
    Failed,       // no codec for the code, or the codec refused the data
    Unavailable,  // the bridge itself could not be set up, or none is installed
};

// A decoder: writes the picture `input` describes into `destination`, the one block it is held
// in (the decoder makes no 24-bit copy of its own). On any status but Decoded the destination's
// bytes are undefined, partly written or untouched: the caller discards the block. It is called
// from any thread, several at once, each call with its own destination.
using PictureDecoder = CodecStatus (*)(const CompressedPicture& input,
                                       const PictureDestination& destination);

// Makes `decoder` the one DecodeWithInstalledCodec calls; nullptr removes it. Any thread.
void InstallCodecDecoder(PictureDecoder decoder);

// Decodes `input` into `destination` with the installed decoder: Unavailable (and the
// destination untouched) when none is installed. Any thread.
CodecStatus DecodeWithInstalledCodec(const CompressedPicture& input,
                                     const PictureDestination& destination);

}  // namespace platform
