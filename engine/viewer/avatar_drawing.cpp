// Drawing avatars into the frame: projecting the box, picking the grid cell, nearest-sampling
// it onto the projected rectangle and writing its pixels at the frame's depth.

#include "engine/viewer/avatar_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "engine/imaging/global_dib.h"
#include "engine/viewer/avatar.h"
#include "engine/viewer/view_limits.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/byte_order.h"
#include "platform/dib_header.h"

namespace {

struct Channels {
    int blue, green, red;
};

// A colour frame format: 24 (one byte a channel), 5-5-5 or 5-6-5, little-endian.
template <PixelFormatCode kFormat>
struct FramePixel {
    static constexpr bool kBgr = kFormat == PixelFormatCode::Bgr24;
    static constexpr int kBytes = platform::BytesPerPixel(kFormat);
    static constexpr int kBlueBits = kBgr ? 8 : 5;
    static constexpr int kGreenBits = kBgr ? 8 : kFormat == PixelFormatCode::Rgb565 ? 6 : 5;

    // An avatar colour (blue, green, red bytes) at the frame's channel depths.
    static Channels Reduce(const std::uint8_t* bgr) {
        return {bgr[0] >> (8 - kBlueBits), bgr[1] >> (8 - kGreenBits), bgr[2] >> (8 - kBlueBits)};
    }
    static Channels Read(const std::uint8_t* p) {
        if constexpr (kBgr) {
            return {p[0], p[1], p[2]};
        } else {
            const int v = platform::LoadLe16(p);
            return {v & 0x1F, (v >> 5) & ((1 << kGreenBits) - 1), (v >> (5 + kGreenBits)) & 0x1F};
        }
    }
    static void Write(std::uint8_t* p, Channels c) {
        if constexpr (kBgr) {
            p[0] = static_cast<std::uint8_t>(c.blue);
            p[1] = static_cast<std::uint8_t>(c.green);
            p[2] = static_cast<std::uint8_t>(c.red);
        } else {
            platform::StoreLe16(
                p, static_cast<std::uint16_t>(c.blue | c.green << 5 | c.red << (5 + kGreenBits)));
        }
    }
};

// Calls `draw` with the pixel type of a colour frame format; false for any other format.
template <typename Draw>
bool WithColourFormat(PixelFormatCode format, Draw draw) {
    switch (format) {
        case PixelFormatCode::Rgb555:
            draw(FramePixel<PixelFormatCode::Rgb555>{});
            return true;
        case PixelFormatCode::Rgb565:
            draw(FramePixel<PixelFormatCode::Rgb565>{});
            return true;
        case PixelFormatCode::Bgr24:
            draw(FramePixel<PixelFormatCode::Bgr24>{});
            return true;
        default:
            return false;
    }
}

// The grid index shown for an animation position kept in 0 .. count: the position's whole
// part, so that position 0 is the grid's first frame, as the avatar's builder numbers them. A
// position outside that range (or not a number) is held at its ends.
std::int64_t CellIndex(double position, std::int32_t count) {
    const double shown = std::isnan(position) ? 0.0 : std::trunc(position);
    return static_cast<std::int64_t>(std::clamp(shown, 0.0, count - 1.0));
}

// Where the cell's pixels come from and where they go, after clipping.
struct BlitPlan {
    const std::uint8_t* cell = nullptr;  // the cell's first pixel
    std::size_t sourceRowBytes = 0;      // one image width
    std::int64_t cellHeight = 0;
    std::int64_t destinationHeight = 0;
    std::int64_t firstRow = 0, endRow = 0;  // destination rows to draw, relative to the bottom
    std::int64_t bottom = 0, left = 0;
    std::vector<std::size_t> sourceColumns;  // byte offset in a source row per drawn column
    std::int64_t firstColumn = 0;            // relative to the left
    bool flipped = false;
};

// Runs `put(destination pixel, source pixel)` over every drawn pixel.
template <typename Put>
void ForEachPixel(const BlitPlan& plan, const AvatarTarget& frame, int frameBytes, Put put) {
    const auto rowRatio =
        static_cast<double>(plan.cellHeight) / static_cast<double>(plan.destinationHeight);
    for (std::int64_t i = plan.firstRow; i < plan.endRow; ++i) {
        const std::int64_t sampled = plan.flipped ? plan.destinationHeight - i - 1 : i;
        const std::int64_t sourceRow =
            std::min(plan.cellHeight - 1,
                     static_cast<std::int64_t>(static_cast<double>(sampled) * rowRatio));
        const std::uint8_t* source =
            plan.cell + static_cast<std::size_t>(sourceRow) * plan.sourceRowBytes;
        std::uint8_t* destination =
            frame.pixels + (static_cast<std::size_t>(plan.bottom + i) * frame.width +
                            static_cast<std::size_t>(plan.left + plan.firstColumn)) *
                               static_cast<std::size_t>(frameBytes);
        for (const std::size_t offset : plan.sourceColumns) {
            put(destination, source + offset);
            destination += frameBytes;
        }
    }
}

// Bytes a pixel of a frame takes; 0 for a format frames are not drawn in.
int FrameBytes(PixelFormatCode format) {
    return platform::IsFrameFormat(format) ? platform::BytesPerPixel(format) : 0;
}

// A frame coordinate from a projected one: truncated, and held inside the range of int so
// that a corner projected almost sideways cannot overflow.
std::int32_t FramePoint(double value) {
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

void BlitAvatarCell(const AvatarSlot& avatar, const AvatarRect& destination, bool flipped,
                    const AvatarTarget& frame) {
    const int frameBytes = FrameBytes(frame.format);
    if (frameBytes == 0 || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0)
        return;
    const std::vector<std::uint8_t>& image = avatar.image;
    if (image.size() < platform::kInfoHeaderSize)
        return;
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(image.data());
    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight;
    const int bits = header.biBitCount;
    if (width <= 0 || height <= 0 || (bits != 8 && bits != 24 && bits != 32))
        return;
    if (bits != 8 && frame.format == PixelFormatCode::Indexed8)
        return;
    const std::size_t colourBytes = bits == 8 ? kColourTableBytes : 0;
    const auto pixelBytes = static_cast<std::size_t>(bits / 8);
    const std::size_t available = image.size() - platform::kInfoHeaderSize;
    if (colourBytes > available ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) >
            (available - colourBytes) / pixelBytes)
        return;
    if (avatar.framesAcross < 1 || avatar.framesDown < 1)
        return;
    const std::int64_t cellWidth = width / avatar.framesAcross;
    const std::int64_t cellHeight = height / avatar.framesDown;
    if (cellWidth == 0 || cellHeight == 0)
        return;

    const std::int64_t destinationWidth = std::int64_t{destination.right} - destination.left;
    const std::int64_t destinationHeight = std::int64_t{destination.top} - destination.bottom;
    if (destinationWidth <= 0 || destinationHeight <= 0)
        return;

    BlitPlan plan;
    plan.flipped = flipped;
    plan.cellHeight = cellHeight;
    plan.destinationHeight = destinationHeight;
    plan.bottom = destination.bottom;
    plan.left = destination.left;
    plan.firstRow = std::max<std::int64_t>(0, -plan.bottom);
    plan.endRow = std::min<std::int64_t>(destinationHeight, frame.height - plan.bottom);
    plan.firstColumn = std::max<std::int64_t>(0, -plan.left);
    const std::int64_t endColumn =
        std::min<std::int64_t>(destinationWidth, frame.width - plan.left);
    if (plan.firstRow >= plan.endRow || plan.firstColumn >= endColumn)
        return;

    const std::int64_t column = CellIndex(avatar.frameColumn, avatar.framesAcross);
    const std::int64_t row = CellIndex(avatar.frameRow, avatar.framesDown);
    plan.sourceRowBytes = static_cast<std::size_t>(width) * pixelBytes;
    plan.cell = image.data() + platform::kInfoHeaderSize + colourBytes +
                (static_cast<std::size_t>(row * cellHeight) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(column * cellWidth)) *
                    pixelBytes;
    const auto columnRatio = static_cast<double>(cellWidth) / static_cast<double>(destinationWidth);
    plan.sourceColumns.reserve(static_cast<std::size_t>(endColumn - plan.firstColumn));
    for (std::int64_t j = plan.firstColumn; j < endColumn; ++j) {
        const std::int64_t sourceColumn = std::min(
            cellWidth - 1, static_cast<std::int64_t>(static_cast<double>(j) * columnRatio));
        plan.sourceColumns.push_back(static_cast<std::size_t>(sourceColumn) * pixelBytes);
    }

    if (bits == 8 && frame.format == PixelFormatCode::Indexed8) {
        ForEachPixel(plan, frame, frameBytes, [](std::uint8_t* to, const std::uint8_t* from) {
            if (*from != 0)
                *to = *from;
        });
        return;
    }
    const std::uint8_t* colours = image.data() + platform::kInfoHeaderSize;
    WithColourFormat(frame.format, [&](auto pixel) {
        using Pixel = decltype(pixel);
        if (bits == 8) {
            ForEachPixel(plan, frame, frameBytes,
                         [colours](std::uint8_t* to, const std::uint8_t* from) {
                             const std::uint8_t* colour = colours + 4 * std::size_t{*from};
                             if (colour[3] != 0xFF)
                                 Pixel::Write(to, Pixel::Reduce(colour));
                         });
        } else if (bits == 24) {
            ForEachPixel(plan, frame, frameBytes, [](std::uint8_t* to, const std::uint8_t* from) {
                Pixel::Write(to, Pixel::Reduce(from));
            });
        } else {
            ForEachPixel(plan, frame, frameBytes, [](std::uint8_t* to, const std::uint8_t* from) {
                const int a = from[3];
                if (a == 0xFF)
                    return;
                Channels c = Pixel::Reduce(from);
                if (a != 0) {
                    const Channels under = Pixel::Read(to);
                    c.blue = (under.blue * a + c.blue * (256 - a)) / 256;
                    c.green = (under.green * a + c.green * (256 - a)) / 256;
                    c.red = (under.red * a + c.red * (256 - a)) / 256;
                }
                Pixel::Write(to, c);
            });
        }
    });
}

bool CompositeAvatar(const AvatarSlot& avatar, const Renderer& renderer,
                     const Renderer::Environment& environment, const Renderer::Orientation& view,
                     const AvatarTarget& frame) {
    AvatarRect box;
    for (int corner = 0; corner < 8; ++corner) {
        double p[3];
        for (int axis = 0; axis < 3; ++axis) {
            const double half = avatar.size[axis] / 2;
            p[axis] = avatar.position[axis] + (((corner >> axis) & 1) ? half : -half);
        }
        double heading = 0, pitch = 0;
        PointToHeadingPitch(view.x, view.y, view.z, p[0], p[1], p[2], &heading, &pitch);
        double x = 0, y = 0;
        if (renderer.HPtoXY(environment, view, view, frame.width, frame.height, heading, pitch, x,
                            y) == 0 ||
            !std::isfinite(x) || !std::isfinite(y)) {
            return false;
        }
        const std::int32_t px = FramePoint(x);
        const std::int32_t py = FramePoint(y);
        box.left = corner == 0 ? px : std::min(box.left, px);
        box.right = corner == 0 ? px : std::max(box.right, px);
        box.bottom = corner == 0 ? py : std::min(box.bottom, py);
        box.top = corner == 0 ? py : std::max(box.top, py);
    }
    BlitAvatarCell(avatar, box, view.tilt > 90 || view.tilt < -90, frame);
    return true;
}

void ViewerEngine::DrawAvatar(ViewState& s, int slot) {
    if (!s.renderer || s.environments.empty() || s.viewFrame.pixels.empty() || !s.image)
        return;
    const Renderer::Orientation view{s.eyeX, s.eyeY, s.eyeZ, s.pan, s.tilt, s.roll, s.fov};
    const AvatarTarget frame{s.viewFrame.pixels.data(), s.viewFrame.width, s.viewFrame.height,
                             platform::DibPixelFormatCode(s.image.Header())};
    CompositeAvatar(s.avatars[static_cast<std::size_t>(slot)], *s.renderer,
                    s.environments[static_cast<std::size_t>(s.currentEnvironment)], view, frame);
}
