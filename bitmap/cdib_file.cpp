// Bitmap files: reading (with every size checked against the bytes really there), writing,
// and loading and saving by path.
#include <algorithm>
#include <array>
#include <fstream>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <utility>

#include "bitmap/cdib.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "platform/safe_save.h"

using platform::BitmapInfoHeader;
using platform::kBiBitfields;
using platform::kBiRgb;
using platform::kBiRle4;
using platform::kBiRle8;
using platform::kCoreHeaderSize;
using platform::kFileHeaderSize;
using platform::kInfoHeaderSize;
using platform::LoadInfoHeader;
using platform::StoreInfoHeader;

namespace {

// Reads from a stream at offsets relative to where the bitmap file starts, never past the
// stream's real end.
class BoundedReader {
  public:
    BoundedReader(std::istream& in, std::streamoff start, std::uint64_t available)
        : in_(in), start_(start), available_(available) {}

    std::uint64_t Available() const { return available_; }

    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
        if (offset > available_ || size > available_ - offset)
            return false;
        in_.seekg(start_ + static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
        return in_.good() && in_.gcount() == static_cast<std::streamsize>(size);
    }

  private:
    std::istream& in_;
    std::streamoff start_;
    std::uint64_t available_;
};

// Where the parts of a bitmap file lie, and the header it is held under in memory.
struct FileLayout {
    BitmapInfoHeader header;  // normalised: biSize 40, height positive
    bool topDown = false;
    std::uint64_t masksAt = 0;  // offset of the three bit-field masks (0: none)
    std::uint64_t tableAt = 0;  // offset of the colour table
    std::size_t tableEntryBytes = 4;
    std::size_t tableEntriesToRead = 0;
    std::uint64_t pixelsAt = 0;
    std::uint64_t statedEnd = 0;  // where the file says it ends
};

bool IsUncompressed(std::uint32_t compression) {
    return compression == kBiRgb || compression == kBiBitfields;
}

// The parts of the bitmap file that `reader` holds, checked against its real length; nothing
// when the headers are refused.
std::optional<FileLayout> ParseHeaders(BoundedReader& reader) {
    std::uint8_t fileHeader[kFileHeaderSize + 4];
    if (!reader.ReadAt(0, fileHeader, sizeof fileHeader))
        return std::nullopt;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return std::nullopt;
    const std::uint32_t statedSize = platform::LoadLe32(fileHeader + 2);
    std::uint64_t pixelOffset = platform::LoadLe32(fileHeader + 10);
    const std::uint32_t headerSize = platform::LoadLe32(fileHeader + kFileHeaderSize);

    FileLayout layout;
    BitmapInfoHeader& header = layout.header;
    std::int64_t height = 0;
    if (headerSize == kCoreHeaderSize) {
        std::uint8_t core[kCoreHeaderSize];
        if (!reader.ReadAt(kFileHeaderSize, core, sizeof core))
            return std::nullopt;
        header.biWidth = platform::LoadLe16(core + 4);
        height = platform::LoadLe16(core + 6);
        header.biBitCount = platform::LoadLe16(core + 10);
        layout.tableAt = kFileHeaderSize + kCoreHeaderSize;
        layout.tableEntryBytes = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        std::uint8_t info[kInfoHeaderSize];
        if (!reader.ReadAt(kFileHeaderSize, info, sizeof info))
            return std::nullopt;
        header = LoadInfoHeader(info);
        height = header.biHeight;
        if (header.biCompression == kBiRle8 || header.biCompression == kBiRle4)
            return std::nullopt;
        layout.tableAt = std::uint64_t{kFileHeaderSize} + headerSize;
        if (header.biCompression == kBiBitfields) {
            // Headers of 52 bytes and more carry the masks themselves; a 40-byte header is
            // followed by them.
            if (headerSize >= kInfoHeaderSize + 12) {
                layout.masksAt = kFileHeaderSize + kInfoHeaderSize;
            } else {
                layout.masksAt = layout.tableAt;
                layout.tableAt += 12;
            }
        }
    } else {
        return std::nullopt;
    }

    layout.topDown = height < 0;
    if (layout.topDown)
        height = -height;
    const bool compressed = !IsUncompressed(header.biCompression);
    if (height <= 0 || height > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    if (layout.topDown && compressed)
        return std::nullopt;
    header.biSize = kInfoHeaderSize;
    header.biHeight = static_cast<std::int32_t>(height);
    header.biPlanes = 1;
    const std::uint32_t colorsUsed = header.biClrUsed;
    header.biClrUsed = 0;
    header.biClrImportant = 0;

    const std::size_t paletteEntries =
        compressed || header.biCompression == kBiBitfields
            ? 0
            : static_cast<std::size_t>(CDIB::ColorTableEntries(header.biBitCount, kBiRgb));
    if (pixelOffset == 0)
        pixelOffset = layout.tableAt + layout.tableEntryBytes * paletteEntries;
    if (pixelOffset < layout.tableAt || pixelOffset > reader.Available())
        return std::nullopt;
    if (statedSize != 0 && statedSize < pixelOffset)
        return std::nullopt;
    layout.pixelsAt = pixelOffset;
    layout.statedEnd = statedSize == 0 ? reader.Available()
                                       : std::min<std::uint64_t>(statedSize, reader.Available());
    // Entries past the depth's table or past the pixel offset are not read.
    const std::size_t entries =
        colorsUsed != 0 ? std::min<std::size_t>(colorsUsed, paletteEntries) : paletteEntries;
    layout.tableEntriesToRead =
        std::min<std::size_t>(entries, (pixelOffset - layout.tableAt) / layout.tableEntryBytes);

    if (compressed) {
        std::uint64_t dataBytes = header.biSizeImage;
        if (dataBytes == 0)
            dataBytes = layout.statedEnd - pixelOffset;
        if (dataBytes == 0 || dataBytes > reader.Available() - pixelOffset ||
            dataBytes > kMaxBitmapBlockBytes) {
            return std::nullopt;
        }
        header.biSizeImage = static_cast<std::uint32_t>(dataBytes);
    } else {
        header.biSizeImage = 0;
    }
    return layout;
}

// Reads the masks and the colour table into `table` (the block's, zeroed).
bool ReadColorTable(BoundedReader& reader, const FileLayout& layout, std::uint8_t* table) {
    if (layout.masksAt != 0) {
        if (!reader.ReadAt(layout.masksAt, table, 12))
            return false;
        for (int i = 0; layout.header.biBitCount == 16 && i < 3; ++i) {
            if (!DescribeBitfieldMask(platform::LoadLe32(table + 4 * i), 16))
                return false;
        }
    }
    for (std::size_t i = 0; i < layout.tableEntriesToRead; ++i) {
        if (!reader.ReadAt(layout.tableAt + i * layout.tableEntryBytes, table + 4 * i,
                           layout.tableEntryBytes)) {
            return false;
        }
        if (layout.tableEntryBytes == 3)
            table[4 * i + 3] = 0;
    }
    return true;
}

}  // namespace

int CDIB::Read(std::istream& in) {
    Clear();
    const std::streamoff start = in.tellg();
    if (start < 0)
        return 0;
    auto fail = [&] {
        in.clear();
        in.seekg(start);
        return 0;
    };
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < start)
        return fail();
    BoundedReader reader(in, start, static_cast<std::uint64_t>(end - start));

    const std::optional<FileLayout> layout = ParseHeaders(reader);
    Layout memory;
    if (!layout || !LayoutOf(layout->header, &memory) ||
        memory.pixelBytes > reader.Available() - layout->pixelsAt) {
        return fail();
    }
    BitmapBlock block = AllocateZeroed(memory.blockBytes);
    if (!block)
        return fail();
    StoreInfoHeader(block.get(), layout->header);
    std::uint8_t* table = block.get() + kInfoHeaderSize;
    if (!ReadColorTable(reader, *layout, table))
        return fail();

    std::uint8_t* pixels = table + 4 * memory.tableEntries;
    if (layout->topDown) {
        const std::size_t rows = static_cast<std::size_t>(layout->header.biHeight);
        for (std::size_t row = 0; row < rows; ++row) {
            if (!reader.ReadAt(layout->pixelsAt + row * memory.stride,
                               pixels + (rows - 1 - row) * memory.stride, memory.stride)) {
                return fail();
            }
        }
    } else if (!reader.ReadAt(layout->pixelsAt, pixels, memory.pixelBytes)) {
        return fail();
    }

    const std::uint64_t consumed =
        std::max<std::uint64_t>(layout->pixelsAt + memory.pixelBytes, layout->statedEnd);
    in.clear();
    in.seekg(start + static_cast<std::streamoff>(consumed));
    Adopt(std::move(block), memory.blockBytes);
    return 1;
}

CDIB::FileHead CDIB::FileHeaders(std::size_t* padding) const {
    const std::size_t tableBytes =
        static_cast<std::size_t>(m_pBits - m_pBMI.get()) - kInfoHeaderSize;
    const std::size_t dataBytes = static_cast<std::size_t>(m_pBMI.get() + m_blockSize - m_pBits);
    const std::size_t imageBytes = (dataBytes + 3) / 4 * 4;
    const std::size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    *padding = imageBytes - dataBytes;

    FileHead head{};
    head[0] = 'B';
    head[1] = 'M';
    platform::StoreLe32(&head[2], static_cast<std::uint32_t>(pixelOffset + imageBytes));
    platform::StoreLe32(&head[10], static_cast<std::uint32_t>(pixelOffset));
    BitmapInfoHeader header;
    header.biWidth = m_header.biWidth;
    header.biHeight = m_header.biHeight;
    header.biBitCount = m_header.biBitCount;
    header.biCompression = m_header.biCompression;
    header.biSizeImage = IsCompressed() ? m_header.biSizeImage : 0;
    StoreInfoHeader(&head[kFileHeaderSize], header);
    return head;
}

int CDIB::Write(std::ostream& out) const {
    if (IsEmpty())
        return 0;
    std::size_t padding = 0;
    const FileHead head = FileHeaders(&padding);
    const std::span<const std::uint8_t> rest = GetBlock().subspan(kInfoHeaderSize);
    static constexpr char kPadding[4] = {};
    out.write(reinterpret_cast<const char*>(head.data()),
              static_cast<std::streamsize>(head.size()));
    out.write(reinterpret_cast<const char*>(rest.data()),
              static_cast<std::streamsize>(rest.size()));
    out.write(kPadding, static_cast<std::streamsize>(padding));
    return out.good() ? 1 : 0;
}

int CDIB::Load(const std::string& path) {
    Clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    return Read(in);
}

int CDIB::Save(const std::string& path) const {
    if (IsEmpty())
        return 0;
    std::size_t padding = 0;
    const FileHead head = FileHeaders(&padding);
    // The colour table and the rows (or codec data) go out of the block as they lie in it.
    const std::span<const std::uint8_t> rest = GetBlock().subspan(kInfoHeaderSize);
    static constexpr std::uint8_t kPadding[4] = {};
    const platform::SaveResult result = platform::SaveFileSafely(path, [&](int fd) {
        return platform::WriteFully(fd, head.data(), head.size()) == head.size() &&
               platform::WriteFully(fd, rest.data(), rest.size()) == rest.size() &&
               platform::WriteFully(fd, kPadding, padding) == padding;
    });
    return result == platform::SaveResult::Saved ? 1 : 0;
}
