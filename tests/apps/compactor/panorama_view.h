#pragma once
// Reads the compressor's output for the tests with the engine's own code, kept apart from the
// bitmap class's headers: JPEG decoding, and the view of a panorama file as the viewer draws it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct DecodedPicture24 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;  // rows packed, top row first
};

// Decodes a JPEG stream at 24 bits. False when the glue cannot decode it.
bool DecodeJpegForTest(std::span<const std::uint8_t> stream, DecodedPicture24& picture);

// Opens the panorama file at `path` in the viewer engine, bound to a headless `size` x `size`
// window, and draws one frame at `heading` (pitch 0, roll 0, field of view 60). The centre
// pixel's blue, green and red go to `centre`. False when the engine refuses the file or draws
// nothing.
bool RenderViewCentre(const std::string& path, double heading, int size, std::uint8_t centre[3]);
