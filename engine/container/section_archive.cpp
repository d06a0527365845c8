#include "engine/container/section_archive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <set>

#include "platform/files.h"
#include "platform/guarded.h"

namespace {

constexpr std::uint64_t kMaxContainerSize = std::numeric_limits<std::uint32_t>::max();
// Reads grow the block in steps of this size, so that a lying total size costs no more memory
// than the file really holds.
constexpr std::size_t kReadStep = std::size_t{1} << 20;

bool IsNoName(std::string_view name) {
    return name.empty() || name[0] == '\0';
}

std::string_view TagText(const SectionName& chars) {
    return {chars.data(), chars.size()};
}

platform::Guarded<ArchiveDumpSink>& Sink() {
    static platform::Guarded<ArchiveDumpSink> sink;
    return sink;
}

void EmitDumpLine(const ArchiveDumpSink& sink, std::string_view line) {
    if (sink) {
        sink(line);
    }
}

// A container holding one section: header, one entry, the data at offset 32. Throws
// std::bad_alloc.
ByteBlock SingleSectionContainer(const SectionName& name, std::span<const std::uint8_t> data) {
    const std::size_t dataOffset = kContainerHeaderSize + kSectionEntrySize;
    const auto total = static_cast<std::uint32_t>(dataOffset + data.size());
    ByteBlock block;
    if (!block.Resize(total))
        throw std::bad_alloc();
    WriteContainerHeader(block.data(), {kContainerMagic, total, 1, 0});
    WriteSectionEntry(
        block.data() + kContainerHeaderSize,
        {name, static_cast<std::uint32_t>(dataOffset), static_cast<std::uint32_t>(data.size()), 0});
    if (!data.empty())
        std::memcpy(block.data() + dataOffset, data.data(), data.size());
    return block;
}

// Removes entry `index` of the container in the first `size` bytes of `block`, in place: the
// other entries keep their order, lose 16 bytes of offset for the shorter table and, when their
// data lay behind the removed data, the removed size too; the bytes no section covers become 0.
// Gives the container's new size. Throws std::bad_alloc, with the block unchanged, when the list
// of the entries it keeps cannot be allocated.
std::size_t RemoveEntryInPlace(std::uint8_t* block, std::size_t size, std::size_t index) {
    const std::span<const std::uint8_t> old(block, size);
    const ContainerHeader header = *ReadContainerHeader(old);
    const SectionEntry removed = *ReadSectionEntry(old, index);
    const std::uint32_t total =
        header.totalSize - removed.size - static_cast<std::uint32_t>(kSectionEntrySize);
    struct Moved {
        SectionEntry entry;
        std::uint32_t from;
    };
    std::vector<Moved> kept;
    kept.reserve(header.sectionCount);
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        if (i == index)
            continue;
        SectionEntry entry = *ReadSectionEntry(old, i);
        const std::uint32_t from = entry.offset;
        const std::uint32_t behind = entry.offset > removed.offset ? removed.size : 0;
        entry.offset -= static_cast<std::uint32_t>(kSectionEntrySize) + behind;
        kept.push_back({entry, from});
    }
    // Every section moves down and none overlaps another, so moving them from the first to the
    // last never writes over data not yet moved.
    std::vector<Moved> byOffset = kept;
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [](const Moved& a, const Moved& b) { return a.from < b.from; });
    std::size_t covered = kContainerHeaderSize + kept.size() * kSectionEntrySize;
    for (const Moved& moved : byOffset) {
        std::memmove(block + moved.entry.offset, block + moved.from, moved.entry.size);
        if (moved.entry.offset > covered)
            std::memset(block + covered, 0, moved.entry.offset - covered);
        covered =
            std::max<std::size_t>(covered, moved.entry.offset + std::size_t{moved.entry.size});
    }
    if (total > covered)
        std::memset(block + covered, 0, total - covered);
    WriteContainerHeader(block, {header.magic, total, header.sectionCount - 1, header.version});
    for (std::size_t slot = 0; slot < kept.size(); ++slot)
        WriteSectionEntry(block + kContainerHeaderSize + slot * kSectionEntrySize,
                          kept[slot].entry);
    return total;
}

// Appends an entry in place to the container in the first `size` bytes of `block`, which has
// room for 16 + data.size() bytes more: the table grows by 16 bytes, every old section (and all
// between them) moves 16 bytes on, and the new data, which must not lie in `block`, goes behind
// all old data. Gives the container's new size. Never fails.
std::size_t AppendEntryInPlace(std::uint8_t* block, std::size_t size, const SectionName& name,
                               std::span<const std::uint8_t> data) {
    const ContainerHeader header = *ReadContainerHeader({block, size});
    const std::size_t oldTableEnd = kContainerHeaderSize + header.sectionCount * kSectionEntrySize;
    const auto total = static_cast<std::uint32_t>(size + kSectionEntrySize + data.size());
    std::memmove(block + oldTableEnd + kSectionEntrySize, block + oldTableEnd, size - oldTableEnd);
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        SectionEntry entry = *ReadSectionEntry({block, size}, i);
        entry.offset += static_cast<std::uint32_t>(kSectionEntrySize);
        WriteSectionEntry(block + kContainerHeaderSize + i * kSectionEntrySize, entry);
    }
    const auto dataOffset = static_cast<std::uint32_t>(size + kSectionEntrySize);
    WriteSectionEntry(block + oldTableEnd,
                      {name, dataOffset, static_cast<std::uint32_t>(data.size()), 0});
    std::memcpy(block + dataOffset, data.data(), data.size());
    WriteContainerHeader(block, {header.magic, total, header.sectionCount + 1, header.version});
    return total;
}

// Drops from the editable container in the first `size` bytes of `block`, in place, every entry
// whose name an earlier entry has: the first is the one every reader finds. The kept sections
// keep their table order and their data order, packed behind the shorter table. Gives the
// container's new size, `size` when no name occurs twice. May throw std::bad_alloc before
// anything is changed.
std::size_t DropLaterDuplicates(std::uint8_t* block, std::size_t size) {
    const std::span<const std::uint8_t> old(block, size);
    const ContainerHeader header = *ReadContainerHeader(old);
    std::vector<SectionEntry> kept;
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        const SectionEntry entry = *ReadSectionEntry(old, i);
        std::uint32_t raw = 0;
        std::memcpy(&raw, entry.name.data(), sizeof raw);
        if (seen.insert(raw).second)
            kept.push_back(entry);
    }
    if (kept.size() == header.sectionCount)
        return size;
    std::vector<std::size_t> byOffset(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        byOffset[i] = i;
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [&](std::size_t a, std::size_t b) { return kept[a].offset < kept[b].offset; });
    // No section overlaps another and the table only shrinks, so every section moves down:
    // moving them from the first to the last never writes over data not yet moved.
    std::size_t next = kContainerHeaderSize + kept.size() * kSectionEntrySize;
    for (const std::size_t i : byOffset) {
        std::memmove(block + next, block + kept[i].offset, kept[i].size);
        kept[i].offset = static_cast<std::uint32_t>(next);
        next += kept[i].size;
    }
    WriteContainerHeader(block, {header.magic, static_cast<std::uint32_t>(next),
                                 static_cast<std::uint32_t>(kept.size()), header.version});
    for (std::size_t i = 0; i < kept.size(); ++i)
        WriteSectionEntry(block + kContainerHeaderSize + i * kSectionEntrySize, kept[i]);
    return next;
}

// Reads one container through `read` (which gives the number of bytes it put into the buffer,
// fewer only at the end or on an error): the header, then the rest of the claimed total size in
// steps, so a lying header costs no more memory than the bytes really there. Nothing for a short
// read, a wrong magic, a total size below the header's or no memory; nothing either, before any
// block is grown, when the source is known to hold fewer bytes (`available`, from the header
// on) than the header claims.
template <typename ReadBytes>
std::optional<ByteBlock> ReadContainerBlock(ReadBytes read,
                                            std::optional<std::uint64_t> available) {
    std::uint8_t headerBytes[kContainerHeaderSize];
    if (read(headerBytes, sizeof headerBytes) != sizeof headerBytes) {
        return std::nullopt;
    }
    const ContainerHeader header = *ReadContainerHeader(headerBytes);
    if (header.magic != kContainerMagic || header.totalSize < kContainerHeaderSize ||
        (available && header.totalSize > *available)) {
        return std::nullopt;
    }
    ByteBlock block;
    if (!block.Resize(kContainerHeaderSize))
        return std::nullopt;
    std::memcpy(block.data(), headerBytes, sizeof headerBytes);
    while (block.size() < header.totalSize) {
        const std::size_t have = block.size();
        const std::size_t step = std::min<std::size_t>(kReadStep, header.totalSize - have);
        if (!block.Resize(have + step) || read(block.data() + have, step) != step) {
            return std::nullopt;
        }
    }
    return block;
}

std::string FieldLine(std::string_view label, std::uint32_t value) {
    return std::string(label) + std::to_string(value) + "\n";
}

}  // namespace

SectionArchive::SectionArchive(int fd) {
    ReadFrom(fd);
}

SectionArchive::SectionArchive(const std::filesystem::path& path) {
    Load(path);
}

std::uint32_t SectionArchive::ReadFrom(int fd) {
    Clear();
    if (fd < 0) {
        return 0;
    }
    const std::optional<std::uint64_t> left = platform::BytesLeft(fd);
    std::optional<ByteBlock> block =
        ReadContainerBlock([fd](std::uint8_t* buffer,
                                std::size_t size) { return platform::ReadFully(fd, buffer, size); },
                           left);
    return block ? Adopt(std::move(*block)) : 0;
}

std::uint32_t SectionArchive::ReadFrom(std::span<const std::uint8_t> bytes) {
    Clear();
    const std::optional<ContainerHeader> header = ReadContainerHeader(bytes);
    if (!header || header->magic != kContainerMagic || header->totalSize < kContainerHeaderSize ||
        header->totalSize > bytes.size()) {
        return 0;
    }
    try {
        return Adopt(ByteBlock(bytes.first(header->totalSize)));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::uint32_t SectionArchive::Adopt(ByteBlock block) {
    if (!IsEditableContainer(block)) {
        return 0;
    }
    const auto size = static_cast<std::uint32_t>(block.size());
    block.Resize(DropLaterDuplicates(block.data(), block.size()));
    block_ = std::move(block);
    return size;
}

std::uint32_t SectionArchive::WriteTo(int fd) const {
    if (block_.empty() || fd < 0 ||
        platform::WriteFully(fd, block_.data(), block_.size()) != block_.size()) {
        return 0;
    }
    return static_cast<std::uint32_t>(block_.size());
}

std::uint32_t SectionArchive::Load(const std::filesystem::path& path) {
    Clear();
    platform::File file;
    if (!file.Open(path.string(), platform::File::Mode::Read)) {
        return 0;
    }
    std::optional<ByteBlock> block = ReadContainerBlock(
        [&file](std::uint8_t* buffer, std::size_t size) { return file.Read(buffer, size); },
        file.Size());
    return block ? Adopt(std::move(*block)) : 0;
}

std::uint32_t SectionArchive::Save(const std::filesystem::path& path) const {
    if (block_.empty() || !platform::WriteFileSafely(path.string(), block_)) {
        return 0;
    }
    return static_cast<std::uint32_t>(block_.size());
}

bool SectionArchive::GetHeader(ContainerHeader& header) const {
    if (block_.empty()) {
        return false;
    }
    header = Header();
    return header.magic == kContainerMagic;
}

std::uint32_t SectionArchive::GetSectionSize(std::string_view name) const {
    return static_cast<std::uint32_t>(GetSection(name).size());
}

std::uint32_t SectionArchive::GetSectionSize(std::uint32_t tag) const {
    return GetSectionSize(TagText(UnpackSectionTag(tag)));
}

std::span<const std::uint8_t> SectionArchive::GetSection(std::string_view name) const {
    const std::optional<std::size_t> index = FindEntry(name);
    if (!index) {
        return {};
    }
    const SectionEntry entry = Entry(*index);
    return std::span<const std::uint8_t>(block_).subspan(entry.offset, entry.size);
}

std::span<const std::uint8_t> SectionArchive::GetSection(std::uint32_t tag) const {
    return GetSection(TagText(UnpackSectionTag(tag)));
}

std::uint32_t SectionArchive::CopySection(std::string_view name,
                                          std::span<std::uint8_t> dest) const {
    const std::span<const std::uint8_t> data = GetSection(name);
    const std::size_t count = std::min(data.size(), dest.size());
    std::copy_n(data.begin(), count, dest.begin());
    return static_cast<std::uint32_t>(count);
}

std::uint32_t SectionArchive::CopySection(std::uint32_t tag, std::span<std::uint8_t> dest) const {
    return CopySection(TagText(UnpackSectionTag(tag)), dest);
}

std::uint32_t SectionArchive::SetSection(std::string_view name,
                                         std::span<const std::uint8_t> data) {
    if (IsNoName(name)) {
        return 0;
    }
    const SectionName normalized = NormalizeName(name);
    const std::optional<std::size_t> index = FindEntry(name);
    if (data.empty()) {
        if (index && Header().sectionCount == 1) {
            Clear();
        } else if (index) {
            try {
                block_.Resize(RemoveEntryInPlace(block_.data(), block_.size(), *index));
            } catch (const std::bad_alloc&) {
                return 0;
            }
        }
        return 0;
    }
    const auto length = static_cast<std::uint32_t>(data.size());
    if (block_.empty()) {
        if (data.size() > kMaxContainerSize - kContainerHeaderSize - kSectionEntrySize) {
            return 0;
        }
        try {
            block_ = SingleSectionContainer(normalized, data);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        return length;
    }
    std::uint64_t remaining = block_.size();
    if (index) {
        const SectionEntry entry = Entry(*index);
        if (entry.size == data.size()) {
            std::memmove(block_.data() + entry.offset, data.data(), data.size());
            return length;
        }
        remaining -= entry.size + kSectionEntrySize;
    }
    if (data.size() > kMaxContainerSize ||
        remaining + kSectionEntrySize + data.size() > kMaxContainerSize) {
        return 0;
    }
    // The block changes in place: `data` is first copied out of it when it lies there, and the
    // block grows before anything moves, so that a failure leaves the archive as it was.
    std::vector<std::uint8_t> ownCopy;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(block_.data());
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(data.data());
    if (at >= first && at < first + block_.size()) {
        try {
            ownCopy.assign(data.begin(), data.end());
        } catch (const std::bad_alloc&) {
            return 0;
        }
        data = ownCopy;
    }
    const std::size_t total = static_cast<std::size_t>(remaining + kSectionEntrySize + data.size());
    if (total > block_.size() && !block_.Resize(total)) {
        return 0;
    }
    std::size_t size = static_cast<std::size_t>(ReadContainerHeader(block_)->totalSize);
    if (index) {
        size = RemoveEntryInPlace(block_.data(), size, *index);
    }
    block_.Resize(AppendEntryInPlace(block_.data(), size, normalized, data));
    return length;
}

std::uint32_t SectionArchive::SetSection(std::uint32_t tag, std::span<const std::uint8_t> data) {
    return SetSection(TagText(UnpackSectionTag(tag)), data);
}

std::uint32_t SectionArchive::ListSections(std::string* list) const {
    if (list != nullptr) {
        list->clear();
    }
    if (block_.empty()) {
        return 0;
    }
    if (list != nullptr) {
        const std::uint32_t count = Header().sectionCount;
        try {
            list->reserve(std::size_t{count} * 5 + 1);
            for (std::size_t i = 0; i < count; ++i) {
                list->append(TagText(Entry(i).name));
                list->push_back('\0');
            }
            list->push_back('\0');
        } catch (const std::bad_alloc&) {
            list->clear();
            return 0;
        }
    }
    return static_cast<std::uint32_t>(block_.size());
}

void SectionArchive::Clear() {
    block_.Clear();
}

int SectionArchive::Dump() const {
    const ArchiveDumpSink sink = *Sink().Lock();
    EmitDumpLine(sink, "\n\nData Dump:\n==========\n");
    if (block_.empty()) {
        EmitDumpLine(sink, "Empty Archive\n");
        return 0;
    }
    const ContainerHeader header = Header();
    EmitDumpLine(sink, FieldLine("FileSize:\t\t", header.totalSize));
    EmitDumpLine(sink, FieldLine("TOCSize:\t\t", header.sectionCount));
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        const SectionEntry entry = Entry(i);
        EmitDumpLine(sink, "SecName:\t" + std::string(TagText(entry.name)) + "\n");
        EmitDumpLine(sink, FieldLine("SecSize:\t\t", entry.size));
        EmitDumpLine(sink, FieldLine("SecOffset:\t", entry.offset));
        constexpr std::size_t kBytesPerLine = 16;
        const std::span<const std::uint8_t> data =
            std::span<const std::uint8_t>(block_).subspan(entry.offset, entry.size);
        for (std::size_t start = 0; start < data.size(); start += kBytesPerLine) {
            std::string line;
            for (std::size_t j = start; j < data.size() && j < start + kBytesPerLine; ++j) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%02X ", data[j]);
                line += hex;
            }
            line.back() = '\n';
            EmitDumpLine(sink, line);
        }
    }
    return static_cast<int>(header.sectionCount);
}

std::optional<std::size_t> SectionArchive::FindEntry(std::string_view name) const {
    if (block_.empty() || IsNoName(name)) {
        return std::nullopt;
    }
    const SectionName wanted = NormalizeName(name);
    const std::uint32_t count = Header().sectionCount;
    for (std::size_t i = 0; i < count; ++i) {
        if (Entry(i).name == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

ContainerHeader SectionArchive::Header() const {
    return *ReadContainerHeader(block_);
}

SectionEntry SectionArchive::Entry(std::size_t index) const {
    return *ReadSectionEntry(block_, index);
}

void SetArchiveDumpSink(ArchiveDumpSink sink) {
    *Sink().Lock() = std::move(sink);
}
