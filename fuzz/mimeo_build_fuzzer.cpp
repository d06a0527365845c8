// Mimeo's build of an avatar from frame pictures, as its dialog runs it: the frames read,
// brought to one size and tiled into the grid, reduced to 256 colours with the blue screen,
// colours marked transparent as the transparency editor marks them, then the avatar file
// encoded and read back both as the viewer reads it and as Mimeo opens it.
//
// The input: byte 0 disables transparency (bit 0), asks for an avatar file of its own (bit 1:
// one frame named ".avt", which keeps its depth and grid when they fit) and chooses the grid's
// columns among the divisors of the frame count (bits 2-7); byte 1 the transparent colour's
// key and tolerance; byte 2 the grid of an avatar file whose own grid does not fit. The frames
// are the rest, between "FRAM" marks (at most 8).
//
// Invariants: the grid picture is the frames' largest size times the grid; a reduced picture is
// 8-bit, with exactly the pure-blue pixels of the frames at index 0; the file read back holds
// the picture that was saved.

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apps/mimeo/avatar_builder.h"
#include "apps/mimeo/frame_grid.h"
#include "apps/mimeo/image_reader.h"
#include "apps/mimeo/transparency.h"
#include "engine/avatar_file/avatar_file.h"
#include "engine/avatar_file/packed_dib.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::string_view kFrameMark = "FRAM";
constexpr std::size_t kMostFrames = 8;
constexpr std::size_t kControlBytes = 3;

std::vector<std::string_view> Pieces(std::string_view rest) {
    std::vector<std::string_view> pieces;
    while (pieces.size() < kMostFrames) {
        const std::size_t end = std::min(rest.find(kFrameMark), rest.size());
        pieces.push_back(rest.substr(0, end));
        if (end == rest.size())
            break;
        rest.remove_prefix(end + kFrameMark.size());
    }
    return pieces;
}

std::span<const std::uint8_t> Bytes(std::string_view piece) {
    return {reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()};
}

// The grid picture of frames read from `pieces`; nothing when a frame is refused or the grid
// cannot be built.
std::optional<PackedDib> Tiled(const std::vector<std::string_view>& pieces, std::uint8_t choice) {
    std::vector<PackedDib> frames;
    int widest = 0, highest = 0;
    for (std::string_view piece : pieces) {
        ImageRead read = ReadImageData(Bytes(piece), "frames/frame.tga", {32, 24});
        if (!read.error.empty())
            return std::nullopt;
        const std::optional<PackedDibShape> shape = CheckedShape(read.image);
        if (!shape)
            std::abort();
        widest = std::max(widest, shape->width);
        highest = std::max(highest, shape->height);
        frames.push_back(std::move(read.image));
    }
    const int count = static_cast<int>(frames.size());
    std::vector<int> divisors;
    for (int d = 1; d <= count; ++d) {
        if (count % d == 0)
            divisors.push_back(d);
    }
    const int columns = divisors[static_cast<std::size_t>(choice >> 2) % divisors.size()];
    const int rows = count / columns;
    std::optional<PackedDib> tiled = TileFrames(frames, columns, rows);
    if (!tiled)
        return std::nullopt;
    const std::optional<PackedDibShape> shape = CheckedShape(*tiled);
    const platform::BitmapInfoHeader header = HeaderOf(*tiled);
    if (!shape || shape->width != widest * columns || shape->height != highest * rows ||
        header.biXPelsPerMeter != columns || header.biYPelsPerMeter != rows)
        std::abort();
    return tiled;
}

// An avatar file of its own, with a grid that fits it.
std::optional<PackedDib> Opened(std::string_view piece, std::uint8_t grid) {
    ImageRead read = ReadImageData(Bytes(piece), "frames/walker.avt", {32, 24, 8});
    if (!read.error.empty())
        return std::nullopt;
    PackedDib& image = read.image;
    const platform::BitmapInfoHeader header = HeaderOf(image);
    if (header.biBitCount != 8 ||
        !GridFits(image, header.biXPelsPerMeter, header.biYPelsPerMeter)) {
        int columns = 1 + (grid & 15), rows = 1 + (grid >> 4);
        if (!GridFits(image, columns, rows))
            columns = rows = 1;
        if (!GridFits(image, columns, rows))
            std::abort();
        platform::BitmapInfoHeader gridded = header;
        gridded.biXPelsPerMeter = columns;
        gridded.biYPelsPerMeter = rows;
        SetHeader(image, gridded);
    }
    return std::move(image);
}

// The blue screen: exactly the pure-blue pixels of the grid picture at index 0, which is
// transparent pure blue.
void CheckBlueScreen(const PackedDib& reduced, const std::vector<std::size_t>& bluePixels) {
    const std::optional<PackedDibShape> shape = CheckedShape(reduced);
    if (!shape || shape->bitCount != 8)
        std::abort();
    std::vector<bool> blue(shape->pixelBytes, false);
    for (std::size_t offset : bluePixels)
        blue.at(offset) = true;
    const std::uint8_t* pixels = reduced.data() + shape->pixelOffset;
    for (std::size_t i = 0; i < shape->pixelBytes; ++i) {
        if ((pixels[i] == 0) != blue[i])
            std::abort();
    }
    const std::uint8_t* entry = reduced.data() + platform::kInfoHeaderSize;
    if (!bluePixels.empty() &&
        (entry[0] != 255 || entry[1] != 0 || entry[2] != 0 || entry[3] != kTransparentFlag))
        std::abort();
}

// The picture a file read back holds: its size, depth, grid, colours and pixels.
bool SamePicture(const PackedDib& a, const PackedDib& b) {
    const std::optional<PackedDibShape> shape = CheckedShape(a);
    const std::optional<PackedDibShape> other = CheckedShape(b);
    if (!shape || !other || shape->width != other->width || shape->height != other->height ||
        shape->bitCount != other->bitCount)
        return false;
    const platform::BitmapInfoHeader ha = HeaderOf(a), hb = HeaderOf(b);
    return ha.biXPelsPerMeter == hb.biXPelsPerMeter && ha.biYPelsPerMeter == hb.biYPelsPerMeter &&
           std::equal(a.begin() + platform::kInfoHeaderSize,
                      a.begin() + static_cast<std::ptrdiff_t>(shape->TotalBytes()),
                      b.begin() + platform::kInfoHeaderSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    if (size < kControlBytes)
        return 0;
    const bool disableTransparency = (data[0] & 1) != 0;
    const std::vector<std::string_view> pieces = Pieces(std::string_view(
        reinterpret_cast<const char*>(data + kControlBytes), size - kControlBytes));
    const bool avatarFile = (data[0] & 2) != 0 && pieces.size() == 1;

    const std::optional<PackedDib> image =
        avatarFile ? Opened(pieces.front(), data[2]) : Tiled(pieces, data[0]);
    if (!image)
        return 0;
    const bool blueScreen = !avatarFile;
    const int depth = HeaderOf(*image).biBitCount;
    const std::vector<std::size_t> bluePixels =
        blueScreen && !disableTransparency ? PureBluePixels(*image) : std::vector<std::size_t>{};
    std::optional<PackedDib> reduced = ReduceAvatarColours(*image, disableTransparency, blueScreen);
    if (!reduced)
        return 0;
    if (disableTransparency || depth == 8) {
        if (*reduced != *image)
            std::abort();
    } else if (blueScreen) {
        CheckBlueScreen(*reduced, bluePixels);
    } else if (HeaderOf(*reduced).biBitCount != 8) {
        std::abort();
    }

    // The transparency editor's marks, then the save's own rule for index 0.
    MarkTransparent(*reduced, {data[1] & 0xF0, (data[1] & 0x0F) << 4, data[1]}, data[1] & 0x3F);
    PackedDib saved = *reduced;
    KeepIndexZeroTransparent(saved);
    const std::optional<std::vector<std::uint8_t>> file = EncodeAvatarFile(saved);
    if (!file)
        return 0;
    const AvatarRead viewer = ParseAvatarFile(*file);
    const ImageRead mimeo = ReadImageData(*file, "built.avt", {32, 24, 8});
    if (viewer.fault != AvatarFault::None || !SamePicture(saved, viewer.image) ||
        !mimeo.error.empty() || !SamePicture(saved, mimeo.image))
        std::abort();
    return 0;
}
