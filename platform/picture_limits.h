#pragma once
// The one ceiling on what a decoded picture may take, for every decoder of the suite (image
// records, JPEG streams, codec records, enlarged partial panoramas, bitmaps, avatars, Targa
// frames). A picture may have at most kMaxPicturePixels pixels (16384 x 16384) and a block
// (header, colours or masks, padded rows) of at most kMaxPictureBytes bytes (1 GiB). Decoders
// check the size a header claims against it before they allocate anything, so a small hostile
// file can never make the suite ask for more. A panorama's picture, which the renderer draws,
// has besides at most kMaxPictureSide pixels on either side: the renderer takes its limit from
// here, so the viewer never holds a picture it cannot draw. Beside the picture it makes, a
// decoder may use at most kMaxDecoderWorkingBytes (192 MiB) of its own (a progressive JPEG's
// coefficients, a colour quantizer's copy of the picture), so that opening a file never costs
// much more than the picture it holds.
//
// Tests may lower the ceiling for a scope (ScopedPictureCap) to try the edges with small
// pictures. Any thread.

#include <cstdint>
#include <optional>

namespace platform {

inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;
inline constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;
inline constexpr std::uint64_t kMaxDecoderWorkingBytes = std::uint64_t{192} << 20;

struct PictureCap {
    std::uint64_t pixels = kMaxPicturePixels;
    std::uint64_t bytes = kMaxPictureBytes;
    std::int64_t side = kMaxPictureSide;
    std::uint64_t working = kMaxDecoderWorkingBytes;
};

// The ceiling in force: the constants above unless a ScopedPictureCap lowered it.
PictureCap CurrentPictureCap();

// The block size of a `width` x `height` picture at `bitsPerPixel` (rows padded to 4 bytes)
// behind `infoBytes` of header and colours; nullopt when a side is not above 0, or the picture
// is over the ceiling in pixels or bytes.
std::optional<std::uint64_t> PictureBlockBytes(std::int64_t width, std::int64_t height,
                                               int bitsPerPixel, std::uint64_t infoBytes);

// Whether a panorama's picture of `width` x `height` has no side over the ceiling's side limit
// (the renderer's).
bool FitsPanoramaSides(std::int64_t width, std::int64_t height);

// Lowers (or raises) the ceiling until destroyed, then restores the one before. For tests; not
// to be nested across threads.
class ScopedPictureCap {
  public:
    explicit ScopedPictureCap(PictureCap cap);
    ~ScopedPictureCap();
    ScopedPictureCap(const ScopedPictureCap&) = delete;
    ScopedPictureCap& operator=(const ScopedPictureCap&) = delete;

  private:
    PictureCap previous_;
};

}  // namespace platform
