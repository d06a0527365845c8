#pragma once
// The video codecs that bitmap records may name by four-character code, and the libavcodec
// codec behind each. Shared by the decode and encode sides of the codec bridge.

#include <cstdint>
#include <optional>
#include <string>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace platform {

// The four characters of `text` packed as a bitmap header stores them (first character in the
// lowest byte).
constexpr std::uint32_t MakeFourcc(const char (&text)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}

// The four characters of `fourcc`, stopping at the first NUL.
std::string FourccText(std::uint32_t fourcc);

// The libavcodec codec for `fourcc`, compared without regard to case: "cvid" (Cinepak), "msvc"
// and "CRAM" (Video 1), "iv41" (Indeo 4.1). Nothing for any other code.
std::optional<AVCodecID> CodecForFourcc(std::uint32_t fourcc);

}  // namespace platform
