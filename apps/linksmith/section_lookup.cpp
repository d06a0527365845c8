#include "apps/linksmith/section_lookup.h"

#include <algorithm>
#include <array>

#include "engine/container/container_layout.h"
#include "platform/byte_order.h"

namespace {

// The stream's length in bytes, the stream left at its start; -1 when it cannot be told.
long StreamLength(std::FILE* stream) {
    if (std::fseek(stream, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(stream);
    std::rewind(stream);
    return length;
}

}  // namespace

DataTypeCode SniffFileType(std::FILE* stream) {
    std::rewind(stream);
    std::array<std::uint8_t, 4> start{};
    const std::size_t got = std::fread(start.data(), 1, start.size(), stream);
    std::rewind(stream);
    if (got != start.size())
        return DataTypeCode::None;
    if (start[0] == 'B' && start[1] == 'M')
        return DataTypeCode::Bitmap;
    if (start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF && start[3] == 0xE0)
        return DataTypeCode::Jpeg;
    if (platform::LoadLe32(start.data()) == kContainerMagic)
        return DataTypeCode::Container;
    return DataTypeCode::None;
}

std::uint32_t FindSectionInFile(std::FILE* stream, std::string_view tag) {
    if (SniffFileType(stream) != DataTypeCode::Container)
        return 0;
    const long length = StreamLength(stream);
    std::array<std::uint8_t, kContainerHeaderSize> header{};
    if (length < 0 || std::fread(header.data(), 1, header.size(), stream) != header.size()) {
        std::rewind(stream);
        return 0;
    }
    const std::uint32_t count = platform::LoadLe32(header.data() + 8);
    const SectionName wanted = NormalizeName(tag);
    const auto fileSize = static_cast<std::uint64_t>(length);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::array<std::uint8_t, kSectionEntrySize> entry{};
        if (std::fread(entry.data(), 1, entry.size(), stream) != entry.size())
            break;
        if (!std::equal(wanted.begin(), wanted.end(), entry.begin()))
            continue;
        const std::uint64_t offset = platform::LoadLe32(entry.data() + 4);
        const std::uint64_t size = platform::LoadLe32(entry.data() + 8);
        if (offset > fileSize || size > fileSize - offset)
            break;
        if (std::fseek(stream, static_cast<long>(offset), SEEK_SET) != 0)
            break;
        return static_cast<std::uint32_t>(size);
    }
    std::rewind(stream);
    return 0;
}
