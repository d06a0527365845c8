#pragma once
// The seam through which code with no codec of its own (the bitmap class) has codec-compressed
// pixels decoded: the stand-in for asking the system for an installed video codec. A program
// that reads such bitmaps installs the codec bridge's decoder (platform/codec/codec_bridge.h)
// at start-up; until then every request is answered Unavailable, and nothing links a codec
// library that does not install one.

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
    Unavailable,  // the bridge itself could not be set up, or none is installed
};

// A decoder: fills `picture` from `input`; on any status but Decoded `picture` is empty. It is
// called from any thread, several at once.
using PictureDecoder = CodecStatus (*)(const CompressedPicture& input, DecodedPicture& picture);

// Makes `decoder` the one DecodeWithInstalledCodec calls; nullptr removes it. Any thread.
void InstallCodecDecoder(PictureDecoder decoder);

// Decodes `input` with the installed decoder: Unavailable (and `picture` empty) when none is
// installed. Any thread.
CodecStatus DecodeWithInstalledCodec(const CompressedPicture& input, DecodedPicture& picture);

}  // namespace platform
