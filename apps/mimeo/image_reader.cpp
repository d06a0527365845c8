#include "apps/mimeo/image_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "engine/avatar_file/avatar_file.h"
#include "platform/byte_order.h"
#include "platform/chunked_file.h"
#include "platform/path_text.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kTargaHeaderSize = 18;
// Files bigger than the biggest avatar with its headers are refused before they are read.
constexpr std::uint64_t kMaxFileBytes = kMaxAvatarPixels * 4 + 4096;

// The files read by their first bytes: 00 00 02 00 starts a Targa file, "BM" a bitmap or
// avatar file.
bool StartsTarga(Bytes file) {
    static constexpr std::array<std::uint8_t, 4> kTargaStart{0, 0, 2, 0};
    return file.size() >= 4 && std::equal(kTargaStart.begin(), kTargaStart.end(), file.begin());
}
bool StartsBitmap(Bytes file) {
    return file.size() >= 2 && file[0] == 'B' && file[1] == 'M';
}

ImageRead Corrupt(const std::string& path) {
    return {{}, "Invalid or Corrupt File: " + platform::PathForDisplay(path)};
}
ImageRead WrongDepth(const std::string& path) {
    return {{}, "Invalid BitMap Color Depth: " + platform::PathForDisplay(path)};
}
ImageRead OutOfMemory() {
    return {{}, "Insufficient System Memory"};
}

// A Targa's fourth byte is opacity (255 solid) when its header counts alpha bits, and
// nothing otherwise; an avatar's fourth byte is an amount of transparency (0 solid).
void AlphaToTransparency(PackedDib& image, const PackedDibShape& shape, bool hasAlpha) {
    std::uint8_t* fourth = image.data() + shape.pixelOffset + 3;
    for (std::size_t p = 0; p < shape.pixelBytes; p += 4)
        fourth[p] = hasAlpha ? static_cast<std::uint8_t>(255 - fourth[p]) : 0;
}

ImageRead ReadTarga(const Bytes& file, const std::string& path) {
    if (file.size() < kTargaHeaderSize)
        return Corrupt(path);
    const std::uint8_t* h = file.data();
    const int width = platform::LoadLe16(h + 12);
    const int height = platform::LoadLe16(h + 14);
    const int depth = h[16];
    const int descriptor = h[17];
    const bool accepted = h[0] == 0 && h[1] == 0 && h[2] == 2 && platform::LoadLe16(h + 8) == 0 &&
                          platform::LoadLe16(h + 10) == 0 && width != 0 && height != 0 &&
                          (depth == 24 || depth == 32) && (descriptor & 0x0F) <= 8 &&
                          ((descriptor >> 4) == 0 || (descriptor >> 4) == 2);
    if (!accepted)
        return Corrupt(path);
    // The file must hold every pixel it claims before the picture's size is weighed.
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(width) *
                                     static_cast<std::uint64_t>(height) *
                                     static_cast<std::uint64_t>(depth / 8);
    if (file.size() - kTargaHeaderSize < pixelBytes)
        return Corrupt(path);
    const std::optional<PackedDibShape> shape = ShapeFor(width, height, depth);
    if (!shape)
        return OutOfMemory();
    std::optional<PackedDib> image = NewPackedDib(width, height, depth);
    if (!image)
        return OutOfMemory();
    platform::BitmapInfoHeader header = HeaderOf(*image);
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    SetHeader(*image, header);
    const std::size_t rowBytes = shape->RowBytes();
    const bool topFirst = (descriptor >> 4) == 2;
    for (int row = 0; row < height; ++row) {
        const int stored = topFirst ? height - 1 - row : row;
        std::memcpy(
            image->data() + shape->pixelOffset + static_cast<std::size_t>(stored) * rowBytes,
            file.data() + kTargaHeaderSize + static_cast<std::size_t>(row) * rowBytes, rowBytes);
    }
    if (depth == 32)
        AlphaToTransparency(*image, *shape, (descriptor & 0x0F) != 0);
    return {std::move(*image), {}};
}

ImageRead ReadAvatar(const Bytes& file, const std::string& path) {
    AvatarRead read = ParseAvatarFile(file);
    switch (read.fault) {
        case AvatarFault::None:
            return {std::move(read.image), {}};
        case AvatarFault::Depth:
            return WrongDepth(path);
        case AvatarFault::Corrupt:
            break;
    }
    return Corrupt(path);
}

// A bitmap file: rows at the pixel offset, each padded to 4 bytes, become unpadded rows.
ImageRead ReadBitmap(const Bytes& file, const std::string& path) {
    constexpr std::size_t kHeaders = platform::kFileHeaderSize + platform::kInfoHeaderSize;
    if (file.size() < kHeaders)
        return Corrupt(path);
    const platform::BitmapInfoHeader header =
        platform::LoadInfoHeader(file.data() + platform::kFileHeaderSize);
    if (header.biSize < platform::kInfoHeaderSize || header.biCompression != platform::kBiRgb ||
        header.biWidth <= 0 || header.biHeight <= 0)
        return Corrupt(path);
    if (header.biBitCount != 24 && header.biBitCount != 32)
        return WrongDepth(path);
    // The file must hold every row it claims before the picture's size is weighed.
    const std::uint64_t offset = platform::LoadLe32(file.data() + 10);
    const std::uint64_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    const std::uint64_t rowBytes =
        static_cast<std::uint64_t>(header.biWidth) * (header.biBitCount / 8);
    if (offset < kHeaders || offset > file.size() ||
        (file.size() - offset) <
            stride * static_cast<std::uint64_t>(header.biHeight - 1) + rowBytes)
        return Corrupt(path);
    const std::optional<PackedDibShape> shape =
        ShapeFor(header.biWidth, header.biHeight, header.biBitCount);
    if (!shape)
        return OutOfMemory();
    std::optional<PackedDib> image =
        NewPackedDib(header.biWidth, header.biHeight, header.biBitCount);
    if (!image)
        return OutOfMemory();
    platform::BitmapInfoHeader kept = header;
    kept.biSize = platform::kInfoHeaderSize;
    kept.biSizeImage = 0;
    kept.biClrUsed = 0;
    kept.biClrImportant = 0;
    SetHeader(*image, kept);
    for (int row = 0; row < shape->height; ++row)
        std::memcpy(image->data() + shape->pixelOffset + row * rowBytes,
                    file.data() + offset + row * stride, rowBytes);
    return {std::move(*image), {}};
}

}  // namespace

bool IsAvatarFileName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.find(".avt") != std::string::npos;
}

ImageRead ReadImageFile(const std::string& path, std::initializer_list<int> allowedDepths) {
    platform::ChunkedFile handle;
    if (!handle.OpenExisting(path))
        return Corrupt(path);
    const std::optional<std::uint64_t> size = handle.Size();
    if (!size)
        return Corrupt(path);
    if (*size > kMaxFileBytes) {
        // No picture within the avatar cap takes a file this big: a picture file is one over
        // the cap, anything else no picture at all.
        std::array<std::uint8_t, 4> start{};
        const Bytes read(start.data(), handle.Read(start.data(), start.size()));
        return StartsTarga(read) || StartsBitmap(read) ? OutOfMemory() : Corrupt(path);
    }
    std::vector<std::uint8_t> file;
    try {
        file.resize(static_cast<std::size_t>(*size));
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
    if (handle.Read(file.data(), file.size()) != file.size())
        return Corrupt(path);
    return ReadImageData(file, path, allowedDepths);
}

ImageRead ReadImageData(std::span<const std::uint8_t> file, const std::string& path,
                        std::initializer_list<int> allowedDepths) {
    ImageRead read;
    if (StartsTarga(file)) {
        read = ReadTarga(file, path);
    } else if (StartsBitmap(file)) {
        const bool coded =
            file.size() >= 34 && platform::LoadLe32(file.data() + 30) == kAvatarRunLengthCode;
        read = IsAvatarFileName(path) || coded ? ReadAvatar(file, path) : ReadBitmap(file, path);
    } else {
        return Corrupt(path);
    }
    if (!read.error.empty())
        return read;
    const int depth = HeaderOf(read.image).biBitCount;
    if (std::find(allowedDepths.begin(), allowedDepths.end(), depth) == allowedDepths.end())
        return WrongDepth(path);
    return read;
}
