// Avatar slots: loading an avatar file (plain or run-length coded), matching its colours to an
// 8-bit panorama, and the setters that move and animate it.

#include "engine/viewer/avatar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "engine/avatar_file/avatar_file.h"
#include "engine/viewer/owner_lock.h"
#include "platform/dib_header.h"

namespace {

// An avatar file keeps its grid of animation frames where a bitmap keeps its resolution.
std::int32_t FramesAcross(const platform::BitmapInfoHeader& header) {
    return header.biXPelsPerMeter;
}
std::int32_t FramesDown(const platform::BitmapInfoHeader& header) {
    return header.biYPelsPerMeter;
}

}  // namespace

void MatchAvatarPalette(std::vector<std::uint8_t>& avatar, const std::uint8_t* panoramaColours) {
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(avatar.data());
    std::uint8_t* colours = avatar.data() + platform::kInfoHeaderSize;
    std::uint8_t mapping[256] = {0};
    for (int i = 1; i < 256; ++i) {
        int best = 3 * 255 * 255;
        for (int j = 1; j < 256; ++j) {
            int distance = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = colours[4 * i + c] - panoramaColours[4 * j + c];
                distance += d * d;
            }
            if (distance < best) {
                best = distance;
                mapping[i] = static_cast<std::uint8_t>(j);
            }
        }
    }
    const std::size_t pixels =
        static_cast<std::size_t>(header.biWidth) * static_cast<std::size_t>(header.biHeight);
    std::uint8_t* p = avatar.data() + kHeaderAndPalette;
    for (std::size_t k = 0; k < pixels; ++k) {
        p[k] = colours[4 * p[k] + 3] == 0xFF ? 0 : mapping[p[k]];
    }
    std::memcpy(colours, panoramaColours, kPaletteBytes);
    colours[3] = 0xFF;
    for (int i = 1; i < 256; ++i)
        colours[4 * i + 3] = 0;
}

int Avatar::Load(const char* path, const double atPosition[3], const double ofSize[3],
                 std::int16_t visibleFlag) {
    {
        OwnerLock lock(engine);
        image.clear();
    }
    if (path == nullptr)
        return 0;
    AvatarRead read = ReadAvatarFile(path);
    if (read.fault != AvatarFault::None)
        return 1;
    PackedDib& block = read.image;
    const platform::BitmapInfoHeader header = HeaderOf(block);
    OwnerLock lock(engine);
    if (lock.State() != nullptr && !lock.State()->image.empty() &&
        platform::LoadInfoHeader(lock.State()->image.data()).biBitCount == 8 &&
        header.biBitCount == 8) {
        MatchAvatarPalette(block, lock.State()->image.data() + platform::kInfoHeaderSize);
    }

    visible = visibleFlag;
    for (int i = 0; i < 3; ++i) {
        size[i] = ofSize[i];
        position[i] = atPosition[i];
        velocity[i] = 0;
        sizeRate[i] = 0;
    }
    frameColumn = frameRow = columnRate = rowRate = 0;
    framesAcross = std::max(FramesAcross(header), 1);
    framesDown = std::max(FramesDown(header), 1);
    image = std::move(block);
    return 0;
}

int Avatar::Unload() {
    OwnerLock lock(engine);
    image.clear();
    return 0;
}

int Avatar::SetVisible(std::int16_t value) {
    if (!HasImage())
        return 1;
    OwnerLock lock(engine);
    visible = value;
    return 0;
}

int Avatar::IsEmpty(std::int16_t* column, std::int16_t* row) {
    if (!HasImage())
        return 1;
    OwnerLock lock(engine);
    *column = static_cast<std::int16_t>(frameColumn);
    *row = static_cast<std::int16_t>(frameRow);
    return 0;
}

int Avatar::SetVelocity(double x, double y, double z) {
    if (!HasImage())
        return 1;
    OwnerLock lock(engine);
    velocity[0] = x;
    velocity[1] = y;
    velocity[2] = z;
    return 0;
}

int Avatar::SetSizeRate(double x, double y, double z) {
    if (!HasImage())
        return 1;
    OwnerLock lock(engine);
    sizeRate[0] = x;
    sizeRate[1] = y;
    sizeRate[2] = z;
    return 0;
}

int Avatar::SetAnimationRate(double a, double b) {
    if (!HasImage())
        return 1;
    OwnerLock lock(engine);
    columnRate = framesAcross * a;
    rowRate = framesDown * b;
    return 0;
}

int Avatar::SetViewVelocity(double right, double forward, double up) {
    if (!HasImage() || engine == nullptr)
        return 1;
    double p = 0, t = 0, r = 0, f = 0;
    engine->GetView(&p, &t, &r, &f);
    const double pi = 2 * std::acos(0.0);
    const double h = -p * pi / 180;
    const double v = t * pi / 180;
    OwnerLock lock(engine);
    velocity[0] =
        right * std::cos(h) + forward * std::cos(v) * std::sin(h) - up * std::sin(v) * std::sin(h);
    velocity[1] =
        -right * std::sin(h) + forward * std::cos(v) * std::cos(h) - up * std::sin(v) * std::cos(h);
    velocity[2] = forward * std::sin(v) + up * std::cos(v);
    return 0;
}
