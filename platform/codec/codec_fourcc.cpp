#include "platform/codec/codec_fourcc.h"

#include <array>
#include <cctype>

namespace platform {
namespace {

struct FourccCodec {
    std::uint32_t fourcc;
    AVCodecID codec;
};

constexpr std::array<FourccCodec, 4> kCodecs{{
    {MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK},
    {MakeFourcc("msvc"), AV_CODEC_ID_MSVIDEO1},
    {MakeFourcc("cram"), AV_CODEC_ID_MSVIDEO1},
    {MakeFourcc("iv41"), AV_CODEC_ID_INDEO4},
}};

std::uint32_t LowerCase(std::uint32_t fourcc) {
    std::uint32_t lowered = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto byte = static_cast<unsigned char>(fourcc >> shift);
        lowered |= static_cast<std::uint32_t>(std::tolower(byte)) << shift;
    }
    return lowered;
}

}  // namespace

std::string FourccText(std::uint32_t fourcc) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char character = static_cast<char>(fourcc >> shift);
        if (character == '\0')
            break;
        text += character;
    }
    return text;
}

std::optional<AVCodecID> CodecForFourcc(std::uint32_t fourcc) {
    const std::uint32_t lowered = LowerCase(fourcc);
    for (const FourccCodec& entry : kCodecs) {
        if (entry.fourcc == lowered)
            return entry.codec;
    }
    return std::nullopt;
}

}  // namespace platform
