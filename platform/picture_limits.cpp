#include "platform/picture_limits.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<std::uint64_t> capPixels{kMaxPicturePixels};
std::atomic<std::uint64_t> capBytes{kMaxPictureBytes};
std::atomic<std::int64_t> capSide{kMaxPictureSide};
std::atomic<std::uint64_t> capWorking{kMaxDecoderWorkingBytes};

void Install(const PictureCap& cap) {
    capPixels.store(cap.pixels);
    capBytes.store(cap.bytes);
    capSide.store(cap.side);
    capWorking.store(cap.working);
}

}  // namespace

PictureCap CurrentPictureCap() {
    return {capPixels.load(), capBytes.load(), capSide.load(), capWorking.load()};
}

std::optional<std::uint64_t> PictureBlockBytes(std::int64_t width, std::int64_t height,
                                               int bitsPerPixel, std::uint64_t infoBytes) {
    const PictureCap cap = CurrentPictureCap();
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 64)
        return std::nullopt;
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    // Each side alone is at most the pixel ceiling, so neither product below can wrap.
    if (w > cap.pixels || h > cap.pixels || w * h > cap.pixels)
        return std::nullopt;
    const std::uint64_t stride = (w * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    if (stride > cap.bytes / h || infoBytes > cap.bytes - stride * h)
        return std::nullopt;
    return infoBytes + stride * h;
}

bool FitsPanoramaSides(std::int64_t width, std::int64_t height) {
    const std::int64_t side = capSide.load();
    return width <= side && height <= side;
}

ScopedPictureCap::ScopedPictureCap(PictureCap cap) : previous_(CurrentPictureCap()) {
    Install(cap);
}

ScopedPictureCap::~ScopedPictureCap() {
    Install(previous_);
}

}  // namespace platform
