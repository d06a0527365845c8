#include "engine/avatar_file/avatar_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>

#include "engine/avatar_file/avatar_run_length.h"
#include "platform/byte_order.h"
#include "platform/chunked_file.h"
#include "platform/files.h"
#include "platform/safe_save.h"

namespace {

constexpr std::size_t kHeadersSize = platform::kFileHeaderSize + platform::kInfoHeaderSize;

AvatarRead Fault(AvatarFault fault) {
    return {{}, fault};
}

}  // namespace

AvatarRead ParseAvatarFile(std::span<const std::uint8_t> file) {
    if (file.size() < kHeadersSize)
        return Fault(AvatarFault::Corrupt);
    const std::uint32_t fileSize = platform::LoadLe32(file.data() + 2);
    if (fileSize < kHeadersSize || fileSize > file.size())
        return Fault(AvatarFault::Corrupt);
    const std::span<const std::uint8_t> block =
        file.subspan(platform::kFileHeaderSize, fileSize - platform::kFileHeaderSize);
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(block.data());
    try {
        if (header.biCompression == kAvatarRunLengthCode) {
            std::optional<PackedDib> image = RleExpand(block);
            if (!image)
                return Fault(AvatarFault::Corrupt);
            return {std::move(*image), AvatarFault::None};
        }
        if (header.biCompression != platform::kBiRgb)
            return Fault(AvatarFault::Corrupt);
        if (header.biBitCount != 8 && header.biBitCount != 24 && header.biBitCount != 32)
            return Fault(AvatarFault::Depth);
        const std::optional<PackedDibShape> shape =
            ShapeFor(header.biWidth, header.biHeight, header.biBitCount);
        if (!shape || block.size() < shape->TotalBytes())
            return Fault(AvatarFault::Corrupt);
        return {PackedDib(block.begin(),
                          block.begin() + static_cast<std::ptrdiff_t>(shape->TotalBytes())),
                AvatarFault::None};
    } catch (const std::bad_alloc&) {
        return Fault(AvatarFault::Corrupt);
    }
}

AvatarRead ReadAvatarFile(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read))
        return Fault(AvatarFault::Corrupt);
    std::vector<std::uint8_t> bytes(kHeadersSize);
    if (file.Read(bytes.data(), bytes.size()) != bytes.size())
        return Fault(AvatarFault::Corrupt);
    const std::uint32_t fileSize = platform::LoadLe32(bytes.data() + 2);
    const std::optional<std::uint64_t> realSize = file.Size();
    if (fileSize < kHeadersSize || !realSize || fileSize > *realSize)
        return Fault(AvatarFault::Corrupt);
    try {
        bytes.resize(fileSize);
    } catch (const std::bad_alloc&) {
        return Fault(AvatarFault::Corrupt);
    }
    const std::size_t rest = fileSize - kHeadersSize;
    if (file.Read(bytes.data() + kHeadersSize, rest) != rest)
        return Fault(AvatarFault::Corrupt);
    return ParseAvatarFile(bytes);
}

namespace {

// An avatar file as it is written: the 14-byte file header, then the coded block when the
// picture codes smaller, else the picture's own block.
struct AvatarFileParts {
    std::array<std::uint8_t, platform::kFileHeaderSize> head{};
    std::optional<std::vector<std::uint8_t>> coded;
    std::size_t plainBytes = 0;

    std::span<const std::uint8_t> Block(const PackedDib& image) const {
        if (coded)
            return *coded;
        return {image.data(), plainBytes};
    }
};

std::optional<AvatarFileParts> PartsOf(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape)
        return std::nullopt;
    AvatarFileParts parts;
    parts.coded = RleCompress(image);
    parts.plainBytes = shape->TotalBytes();
    const std::size_t fileBytes = platform::kFileHeaderSize + parts.Block(image).size();
    if (fileBytes > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    parts.head[0] = 'B';
    parts.head[1] = 'M';
    platform::StoreLe32(&parts.head[2], static_cast<std::uint32_t>(fileBytes));
    platform::StoreLe32(&parts.head[10],
                        static_cast<std::uint32_t>(platform::kFileHeaderSize + shape->pixelOffset));
    return parts;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeAvatarFile(const PackedDib& image) {
    const std::optional<AvatarFileParts> parts = PartsOf(image);
    if (!parts)
        return std::nullopt;
    const std::span<const std::uint8_t> block = parts->Block(image);
    std::vector<std::uint8_t> file;
    try {
        file.reserve(parts->head.size() + block.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    file.assign(parts->head.begin(), parts->head.end());
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

bool WriteAvatarFile(const std::string& path, const PackedDib& image) {
    const std::optional<AvatarFileParts> parts = PartsOf(image);
    if (!parts)
        return false;
    // The block goes out as it lies in memory, after the file header: no copy of the file.
    const std::span<const std::uint8_t> block = parts->Block(image);
    return platform::SaveFileSafely(path, [&](int fd) {
               platform::ChunkedFile out(fd, false);
               return out.Write(parts->head.data(), parts->head.size()) == parts->head.size() &&
                      out.Write(block.data(), block.size()) == block.size();
           }) == platform::SaveResult::Saved;
}
