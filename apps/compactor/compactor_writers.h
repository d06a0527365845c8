#pragma once
// The compressor's writers: a 24-bit bitmap becomes a panorama file (the container with "INIT"
// and the JPEG "BTMP"), optionally with a thumbnail panorama beside it, a bitmap compressed by
// a video codec, or a 16-bit or 24-bit bitmap. Every failure is reported through `messages`
// with its fixed text. Files are written through the suite's safe save (platform/safe_save.h),
// so converting a file in place never loses the input when the conversion fails; a target the
// user may not write, or one that is no regular file (a device, a FIFO), gets the "Failed to
// open file for writing ..." text.
// Main thread only (the message sink may show boxes).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "apps/compactor/compactor_messages.h"

class CDIB;

// Writes `dib` as `codec` (CompressionCodec number) at `quality` (0..100) to `outputName`;
// with `thumbnail` (codec 0 only) and once the panorama is written, also the thumbnail
// panorama beside it: at the path of the file written (the file a symbolic link names) +
// "Thumbnail", with that file's permissions.
// Returns 1 written, 0 failed. Codecs 1 to 4 change `dib` (compressed or converted) before
// saving it; on failure `dib` may hold the changed picture.
int WriteCompressedOutput(CDIB& dib, int codec, int quality, const std::string& outputName,
                          int thumbnail, const MessageSink& messages);

// The panorama file in memory: header {"HVXK", JPEG length + 64, 2, 0}, entries
// {"INIT", 48, 16, 0} and {"BTMP", 64, JPEG length, 0}, sixteen zero "INIT" bytes, the JPEG.
// Returns 1 and fills `container`, or 0 (container empty) when the JPEG step fails.
int BuildPanoramaContainer(const CDIB& dib, int quality, std::vector<std::uint8_t>& container);

// The thumbnail panorama: the same layout around the JPEG of a W/4 x H/16 picture sampled from
// the band around the horizon (every fourth column; every fourth stored row from 3H/8 on),
// with "INIT" values 360, 45, 0, 0, 0, 0, 0, 60. Returns 0 (container empty) when the sampling
// would not stay inside the picture (see ThumbnailSamplingFits) or the JPEG step fails.
int BuildThumbnailContainer(const CDIB& dib, int quality, std::vector<std::uint8_t>& container);

// The JFIF stream of a packed bitmap at `quality` (0..100), through the JPEG glue: `bitmapInfo`
// is the 40-byte header and the colour table (8 bits) or masks, `pixels` the rows as the header
// describes them. Empty when there is no header, the width or the height is not a multiple of
// 4, the depth is not 8, 16, 24 or 32, or the encoder fails. The stream grows as needed, so
// small or high-quality pictures never fail for lack of room.
std::vector<std::uint8_t> CompressDibToJpeg(std::span<const std::uint8_t> bitmapInfo,
                                            std::span<const std::uint8_t> pixels, int quality);

// Whether a thumbnail can be sampled from a width x height picture: both positive multiples of
// 16, and the last sampled column and stored row lie inside the picture.
bool ThumbnailSamplingFits(int width, int height);

// Replaces the picture in `dib` by its compression with the video codec `fourcc` ("cvid",
// "msvc"; "iv41" has no encoder) at `quality` (0..100, handed to the codec as 0..10000): the
// bitmap's header then carries the code as its compression and the codec's data as its pixels.
// Returns 1, or 0 with `dib` unchanged.
int CompressWithCodec(CDIB& dib, std::string_view fourcc, int quality);
