// Clipboard transfer and the copy from a packed bitmap in memory. Bitmaps travel through the
// platform clipboard as whole bitmap files, so pasting goes through the checked reader.
#include <sstream>
#include <utility>

#include "bitmap/cdib.h"
#include "platform/byte_order.h"
#include "platform/clipboard.h"

using platform::BitmapInfoHeader;
using platform::kBiBitfields;
using platform::kBiRgb;
using platform::kFileHeaderSize;
using platform::kInfoHeaderSize;
using platform::LoadInfoHeader;

int CDIB::CopyToClipboard() const {
    std::ostringstream file(std::ios::binary);
    if (Write(file) == 0)
        return 0;
    const std::string bytes = std::move(file).str();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return platform::GetClipboard().SetData(platform::kBitmapMimeType, {data, bytes.size()}) ? 1
                                                                                             : 0;
}

int CDIB::PasteFromClipboard() {
    const std::optional<std::vector<std::uint8_t>> bytes =
        platform::GetClipboard().GetData(platform::kBitmapMimeType);
    if (!bytes)
        return 0;
    std::istringstream file(std::string(bytes->begin(), bytes->end()), std::ios::binary);
    CDIB pasted(0, 0, 0);
    if (pasted.Read(file) == 0)
        return 0;
    *this = std::move(pasted);
    return 1;
}

int CDIB::CreateFromPackedDib(std::span<const std::uint8_t> packed) {
    if (packed.size() < kInfoHeaderSize)
        return 0;
    const BitmapInfoHeader header = LoadInfoHeader(packed.data());
    if (header.biSize < kInfoHeaderSize || header.biSize > packed.size())
        return 0;

    // The pixels follow the header, the masks of a 40-byte bit-field header and a colour
    // table of biClrUsed entries (or the depth's full table).
    std::uint64_t pixelOffset = kFileHeaderSize + std::uint64_t{header.biSize};
    if (header.biCompression == kBiBitfields && header.biSize < kInfoHeaderSize + 12) {
        pixelOffset += 12;
    }
    // Codec data carries no colour table of its own.
    const bool uncompressed =
        header.biCompression == kBiRgb || header.biCompression == kBiBitfields;
    std::uint64_t entries = header.biClrUsed;
    if (entries == 0 && uncompressed) {
        entries = static_cast<std::uint64_t>(ColorTableEntries(header.biBitCount, kBiRgb));
    }
    pixelOffset += 4 * entries;
    const std::uint64_t fileSize = kFileHeaderSize + std::uint64_t{packed.size()};
    if (pixelOffset > fileSize || fileSize > kMaxBitmapBlockBytes)
        return 0;

    std::string file(kFileHeaderSize, '\0');
    auto* head = reinterpret_cast<std::uint8_t*>(file.data());
    head[0] = 'B';
    head[1] = 'M';
    platform::StoreLe32(head + 2, static_cast<std::uint32_t>(fileSize));
    platform::StoreLe32(head + 10, static_cast<std::uint32_t>(pixelOffset));
    file.append(reinterpret_cast<const char*>(packed.data()), packed.size());
    std::istringstream in(std::move(file), std::ios::binary);
    CDIB copy(0, 0, 0);
    if (copy.Read(in) == 0)
        return 0;
    *this = std::move(copy);
    return 1;
}
