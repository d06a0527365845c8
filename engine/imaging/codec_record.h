#pragma once
// Decoding a bitmap record whose pixels a video codec compressed, through the codec bridge
// (platform/codec/codec_bridge.h). Where the codec takes memory lent to it, its frame is made in
// the picture's own block and converted there band by band, or for an 8-bit display taken band
// by band into the JPEG round trip, so that the codec's frame and the picture are never held
// side by side. Any thread.

#include <span>

#include "engine/imaging/global_dib.h"

// Decodes the record whose information header `header` (a codec's four-character code as its
// compression) begins `body`, at `depth` (ProbeDisplayDepth's). The result is bottom-up, what
// ConvertToDisplayDepth makes of the codec's 24-bit picture, owned by the caller. Throws
// LoadError with DecompressImage's texts: "File decompression failed; Codec: " and the code for
// a code without a codec, data too short for its picture or data the codec refuses, "MS Video
// for Windows not installed" when the codec cannot be set up, "Insufficient system memory" for
// a picture over the ceiling or memory that cannot be had, "Unsupported file fomat" for a header
// that does not fit the record.
GlobalDib DecodeCodecRecord(const platform::BitmapInfoHeader& header,
                            std::span<const std::uint8_t> body, int depth);
