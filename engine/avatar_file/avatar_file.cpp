#include "engine/avatar_file/avatar_file.h"

#include <algorithm>
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

std::optional<std::vector<std::uint8_t>> EncodeAvatarFile(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape)
        return std::nullopt;
    std::optional<std::vector<std::uint8_t>> coded = RleCompress(image);
    const std::span<const std::uint8_t> block =
        coded ? std::span<const std::uint8_t>(*coded)
              : std::span<const std::uint8_t>(image.data(), shape->TotalBytes());
    if (block.size() + platform::kFileHeaderSize > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    std::vector<std::uint8_t> file;
    try {
        file.reserve(platform::kFileHeaderSize + block.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    file.assign(platform::kFileHeaderSize, 0);
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2],
                        static_cast<std::uint32_t>(platform::kFileHeaderSize + block.size()));
    platform::StoreLe32(&file[10],
                        static_cast<std::uint32_t>(platform::kFileHeaderSize + shape->pixelOffset));
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

bool WriteAvatarFile(const std::string& path, const PackedDib& image) {
    const std::optional<std::vector<std::uint8_t>> file = EncodeAvatarFile(image);
    return file && platform::SaveFileSafely(path, [&file](int fd) {
                       platform::ChunkedFile out(fd, false);
                       return out.Write(file->data(), file->size()) == file->size();
                   }) == platform::SaveResult::Saved;
}
