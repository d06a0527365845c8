#pragma once
// Decode side of the codec bridge: the stand-in for asking an installed video codec to
// decompress the pixels of a bitmap record. Backed by FFmpeg's libavcodec, the codec chosen by
// the record's four-character code (platform/codec/codec_fourcc.h). Code that reaches codecs
// only through the seam (platform/picture_codec.h) gets this decoder once a program installs
// it: InstallCodecDecoder(DecodeCompressedPicture).

#include "platform/picture_codec.h"

namespace platform {

// The fewest bytes the codec of `fourcc` spends on a whole `width` x `height` picture coded on
// its own, as every picture record is: Cinepak one codebook index for each 4 x 4 block, Video 1
// a two-byte code for each 4 x 4 block, Indeo 4 (whose empty bands cost nothing) a byte for each
// 256 pixels. A record with fewer bytes claims more pixels than its data can describe. 0 for an
// unknown code or a side not above 0.
std::uint64_t FewestCodedBytes(std::uint32_t fourcc, int width, int height);

// Decodes `input` straight into `destination` (platform/picture_codec.h): the codec's frame is
// converted row by row into the caller's block; besides that frame, in the codec's own pixel
// format, no copy of the picture is made. Refused before the codec allocates anything: an
// unknown code, a size FFmpeg cannot hold, a destination with no block or rows narrower than the
// picture, and data shorter than FewestCodedBytes (so the work of a decode stays in proportion
// to the record's size). A picture whose decoded size differs from the header's is a failure.
// Any thread; calls share no state. On any status but Decoded the destination's bytes are
// undefined (untouched or partly written).
CodecStatus DecodeCompressedPicture(const CompressedPicture& input,
                                    const PictureDestination& destination);

}  // namespace platform
