#pragma once
// The compression choices shared by the options dialog, the command line and the writers.
// Plain data, any thread.

#include <optional>
#include <string_view>

enum CompressionCodec : int {
    kCodecJpeg = 0,     // panorama file with a JPEG image (and thumbnail)
    kCodecIndeo = 1,    // bitmap compressed by the codec "iv41"
    kCodecCinepak = 2,  // codec "cvid"
    kCodecVideo1 = 3,   // codec "msvc"
    kCodec16Bit = 4,    // 16-bit (5-5-5) bitmap
    kCodec24Bit = 5,    // 24-bit bitmap
};

inline constexpr int kCodecCount = 6;

// The codec whose command word is `word` ("jpeg", "indeo", "cinepak", "video1", "16bit",
// "24bit"; compared exactly, callers lower-case first), or nothing for any other word.
std::optional<CompressionCodec> CodecFromCommandWord(std::string_view word);

// The four-character code of a codec-compressed bitmap ("iv41", "cvid", "msvc"), or nothing
// for the codecs that write no codec bitmap.
std::optional<std::string_view> CodecFourCharacterCode(int codec);
