#include "apps/compactor/compression_codec.h"

#include <array>

namespace {

constexpr std::array<std::string_view, kCodecCount> kCommandWords = {"jpeg",   "indeo", "cinepak",
                                                                     "video1", "16bit", "24bit"};

}  // namespace

std::optional<CompressionCodec> CodecFromCommandWord(std::string_view word) {
    for (int codec = 0; codec < kCodecCount; ++codec) {
        if (kCommandWords[codec] == word)
            return static_cast<CompressionCodec>(codec);
    }
    return std::nullopt;
}

std::optional<std::string_view> CodecFourCharacterCode(int codec) {
    switch (codec) {
        case kCodecIndeo:
            return "iv41";
        case kCodecCinepak:
            return "cvid";
        case kCodecVideo1:
            return "msvc";
        default:
            return std::nullopt;
    }
}
