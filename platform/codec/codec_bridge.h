#pragma once
// Decode side of the codec bridge: the stand-in for asking an installed video codec to
// decompress the pixels of a bitmap record. Backed by FFmpeg's libavcodec, the codec chosen by
// the record's four-character code (platform/codec/codec_fourcc.h). Code that reaches codecs
// only through the seam (platform/picture_codec.h) gets this decoder once a program installs
// it: InstallCodecDecoder(DecodeCompressedPicture).

#include "platform/picture_codec.h"

namespace platform {

// Decodes `input` into `picture`. A picture whose decoded size differs from the header's is a
// failure. Any thread; calls share no state. On any status but Decoded `picture` is empty.
CodecStatus DecodeCompressedPicture(const CompressedPicture& input, DecodedPicture& picture);

}  // namespace platform
