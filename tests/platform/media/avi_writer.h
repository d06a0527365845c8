#pragma once
// Writes small AVI files for the tests with FFmpeg's own encoders: solid-colour pictures in
// the named video codec ("cinepak", "msvideo1"), with a 16-bit PCM sound track when asked.

#include <cstdint>
#include <string>

namespace platform::testing {

struct AviSpec {
    std::string codec;
    int width = 64;
    int height = 48;
    int frames = 10;
    int framesPerSecond = 10;
    std::uint8_t red = 200, green = 40, blue = 90;
    bool withSound = false;
};

// False when the file could not be written.
bool WriteAvi(const std::string& path, const AviSpec& spec);

}  // namespace platform::testing
