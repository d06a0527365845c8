#include "apps/mimeo/frame_grid.h"

#include <algorithm>
#include <cstring>

std::optional<PackedDib> ResizeFrame(const PackedDib& frame, int width, int height) {
    const std::optional<PackedDibShape> source = CheckedShape(frame);
    if (!source)
        return std::nullopt;
    if (source->width == width && source->height == height)
        return frame;
    std::optional<PackedDib> resized = NewPackedDib(width, height, source->bitCount);
    if (!resized)
        return std::nullopt;
    const PackedDibShape target = *CheckedShape(*resized);
    std::copy_n(frame.begin(), source->pixelOffset, resized->begin());
    platform::BitmapInfoHeader header = HeaderOf(frame);
    header.biWidth = width;
    header.biHeight = height;
    header.biSizeImage = 0;
    SetHeader(*resized, header);

    const double columnRatio = static_cast<double>(source->width) / width;
    const double rowRatio = static_cast<double>(source->height) / height;
    const std::size_t pixelBytes = source->bytesPerPixel;
    std::vector<std::size_t> sourceColumns(static_cast<std::size_t>(width));
    for (int j = 0; j < width; ++j)
        sourceColumns[static_cast<std::size_t>(j)] =
            static_cast<std::size_t>(
                std::min(source->width - 1, static_cast<int>(columnRatio * j))) *
            pixelBytes;
    for (int i = 0; i < height; ++i) {
        const auto sourceRow =
            static_cast<std::size_t>(std::min(source->height - 1, static_cast<int>(rowRatio * i)));
        const std::uint8_t* from =
            frame.data() + source->pixelOffset + sourceRow * source->RowBytes();
        std::uint8_t* to =
            resized->data() + target.pixelOffset + static_cast<std::size_t>(i) * target.RowBytes();
        for (const std::size_t column : sourceColumns) {
            std::memcpy(to, from + column, pixelBytes);
            to += pixelBytes;
        }
    }
    return resized;
}

namespace {

struct FrameSize {
    int width = 0;
    int height = 0;
};

// The largest width and the largest height among `frames`; nothing when a frame is damaged.
std::optional<FrameSize> LargestSize(const std::vector<PackedDib>& frames) {
    FrameSize largest;
    for (const PackedDib& frame : frames) {
        if (!CheckedShape(frame))
            return std::nullopt;
        largest.width = std::max(largest.width, HeaderOf(frame).biWidth);
        largest.height = std::max(largest.height, HeaderOf(frame).biHeight);
    }
    return largest;
}

}  // namespace

bool EqualizeFrames(std::vector<PackedDib>& frames, int width, int height) {
    const std::optional<FrameSize> largest = LargestSize(frames);
    if (!largest)
        return false;
    if (width <= 0)
        width = largest->width;
    if (height <= 0)
        height = largest->height;
    for (PackedDib& frame : frames) {
        std::optional<PackedDib> resized = ResizeFrame(frame, width, height);
        if (!resized)
            return false;
        frame = std::move(*resized);
    }
    return true;
}

std::optional<PackedDib> TileFrames(std::vector<PackedDib>& frames, int columns, int rows) {
    if (columns < 1 || rows < 1 ||
        frames.size() != static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows))
        return std::nullopt;
    const std::optional<FrameSize> largest = LargestSize(frames);
    if (!largest)
        return std::nullopt;
    const int bitCount = HeaderOf(frames.front()).biBitCount;
    for (const PackedDib& other : frames) {
        if (HeaderOf(other).biBitCount != bitCount)
            return std::nullopt;
    }
    // The grid, and every frame at the largest size, must fit the avatar cap before a single
    // frame is enlarged: a few big frames among many small ones would otherwise grow all of
    // them first.
    const std::int64_t gridWidth = std::int64_t{largest->width} * columns;
    const std::int64_t gridHeight = std::int64_t{largest->height} * rows;
    if (!ShapeFor(largest->width, largest->height, bitCount) ||
        !ShapeFor(gridWidth, gridHeight, bitCount))
        return std::nullopt;
    if (!EqualizeFrames(frames, largest->width, largest->height))
        return std::nullopt;
    const PackedDibShape frame = *CheckedShape(frames.front());
    std::optional<PackedDib> grid = NewPackedDib(gridWidth, gridHeight, bitCount);
    if (!grid)
        return std::nullopt;
    const PackedDibShape shape = *CheckedShape(*grid);
    std::copy_n(frames.front().begin(), frame.pixelOffset, grid->begin());
    platform::BitmapInfoHeader header = HeaderOf(frames.front());
    header.biWidth = shape.width;
    header.biHeight = shape.height;
    header.biSizeImage = 0;
    header.biXPelsPerMeter = columns;
    header.biYPelsPerMeter = rows;
    SetHeader(*grid, header);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const std::size_t column = k % static_cast<std::size_t>(columns);
        const std::size_t rowBlock = k / static_cast<std::size_t>(columns);
        for (int y = 0; y < frame.height; ++y) {
            const std::size_t gridRow =
                rowBlock * static_cast<std::size_t>(frame.height) + static_cast<std::size_t>(y);
            std::memcpy(grid->data() + shape.pixelOffset + gridRow * shape.RowBytes() +
                            column * frame.RowBytes(),
                        frames[k].data() + frame.pixelOffset +
                            static_cast<std::size_t>(y) * frame.RowBytes(),
                        frame.RowBytes());
        }
    }
    return grid;
}
