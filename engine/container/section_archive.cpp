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

// A container holding one section: header, one entry, the data at offset 32.
std::vector<std::uint8_t> SingleSectionContainer(const SectionName& name,
                                                 std::span<const std::uint8_t> data) {
    const std::size_t dataOffset = kContainerHeaderSize + kSectionEntrySize;
    const auto total = static_cast<std::uint32_t>(dataOffset + data.size());
    std::vector<std::uint8_t> block(total);
    WriteContainerHeader(block.data(), {kContainerMagic, total, 1, 0});
    WriteSectionEntry(
        block.data() + kContainerHeaderSize,
        {name, static_cast<std::uint32_t>(dataOffset), static_cast<std::uint32_t>(data.size()), 0});
    std::copy(data.begin(), data.end(), block.begin() + dataOffset);
    return block;
}

// `old` without entry `index`: the other entries keep their order, lose 16 bytes of offset for
// the shorter table and, when their data lay behind the removed data, the removed size too.
std::vector<std::uint8_t> WithoutEntry(std::span<const std::uint8_t> old, std::size_t index) {
    const ContainerHeader header = *ReadContainerHeader(old);
    const SectionEntry removed = *ReadSectionEntry(old, index);
    const std::uint32_t total =
        header.totalSize - removed.size - static_cast<std::uint32_t>(kSectionEntrySize);
    std::vector<std::uint8_t> block(total);
    WriteContainerHeader(block.data(),
                         {header.magic, total, header.sectionCount - 1, header.version});
    std::size_t slot = 0;
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        if (i == index) {
            continue;
        }
        SectionEntry entry = *ReadSectionEntry(old, i);
        const std::span<const std::uint8_t> data = *SectionData(old, entry);
        const std::uint32_t behind = entry.offset > removed.offset ? removed.size : 0;
        entry.offset -= static_cast<std::uint32_t>(kSectionEntrySize) + behind;
        WriteSectionEntry(block.data() + kContainerHeaderSize + slot * kSectionEntrySize, entry);
        std::copy(data.begin(), data.end(), block.begin() + entry.offset);
        ++slot;
    }
    return block;
}

// `old` with one more entry: the table grows by 16 bytes, every old section moves 16 bytes on,
// and the new data goes behind all old data.
std::vector<std::uint8_t> WithAppended(std::span<const std::uint8_t> old, const SectionName& name,
                                       std::span<const std::uint8_t> data) {
    const ContainerHeader header = *ReadContainerHeader(old);
    const std::size_t oldTableEnd = kContainerHeaderSize + header.sectionCount * kSectionEntrySize;
    const std::size_t newTableEnd = oldTableEnd + kSectionEntrySize;
    const auto total = static_cast<std::uint32_t>(old.size() + kSectionEntrySize + data.size());
    std::vector<std::uint8_t> block(total);
    WriteContainerHeader(block.data(),
                         {header.magic, total, header.sectionCount + 1, header.version});
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        SectionEntry entry = *ReadSectionEntry(old, i);
        entry.offset += static_cast<std::uint32_t>(kSectionEntrySize);
        WriteSectionEntry(block.data() + kContainerHeaderSize + i * kSectionEntrySize, entry);
    }
    const auto dataOffset = static_cast<std::uint32_t>(old.size() + kSectionEntrySize);
    WriteSectionEntry(block.data() + oldTableEnd,
                      {name, dataOffset, static_cast<std::uint32_t>(data.size()), 0});
    std::copy(old.begin() + static_cast<std::ptrdiff_t>(oldTableEnd), old.end(),
              block.begin() + static_cast<std::ptrdiff_t>(newTableEnd));
    std::copy(data.begin(), data.end(), block.begin() + dataOffset);
    return block;
}

// `block` (an editable container) keeping only the first entry of each name, which is the one
// every reader finds; the kept sections keep their table order and their data order. Empty when
// no name occurs twice.
std::vector<std::uint8_t> WithoutLaterDuplicates(std::span<const std::uint8_t> block) {
    const ContainerHeader header = *ReadContainerHeader(block);
    std::vector<SectionEntry> kept;
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < header.sectionCount; ++i) {
        const SectionEntry entry = *ReadSectionEntry(block, i);
        std::uint32_t raw = 0;
        std::memcpy(&raw, entry.name.data(), sizeof raw);
        if (seen.insert(raw).second)
            kept.push_back(entry);
    }
    if (kept.size() == header.sectionCount)
        return {};
    std::vector<std::size_t> byOffset(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        byOffset[i] = i;
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [&](std::size_t a, std::size_t b) { return kept[a].offset < kept[b].offset; });
    std::uint64_t total = kContainerHeaderSize + kept.size() * kSectionEntrySize;
    for (const SectionEntry& entry : kept)
        total += entry.size;
    std::vector<std::uint8_t> result(static_cast<std::size_t>(total));
    WriteContainerHeader(result.data(), {header.magic, static_cast<std::uint32_t>(total),
                                         static_cast<std::uint32_t>(kept.size()), header.version});
    std::size_t next = kContainerHeaderSize + kept.size() * kSectionEntrySize;
    for (const std::size_t i : byOffset) {
        const std::span<const std::uint8_t> data = *SectionData(block, kept[i]);
        std::copy(data.begin(), data.end(), result.begin() + static_cast<std::ptrdiff_t>(next));
        kept[i].offset = static_cast<std::uint32_t>(next);
        next += data.size();
    }
    for (std::size_t i = 0; i < kept.size(); ++i)
        WriteSectionEntry(result.data() + kContainerHeaderSize + i * kSectionEntrySize, kept[i]);
    return result;
}

// Reads one container through `read` (which gives the number of bytes it put into the buffer,
// fewer only at the end or on an error): the header, then the rest of the claimed total size in
// steps, so a lying header costs no more memory than the bytes really there. Nothing for a short
// read, a wrong magic, a total size below the header's or no memory; nothing either, before any
// block is grown, when the source is known to hold fewer bytes (`available`, from the header
// on) than the header claims.
template <typename ReadBytes>
std::optional<std::vector<std::uint8_t>> ReadContainerBlock(
    ReadBytes read, std::optional<std::uint64_t> available) {
    std::uint8_t headerBytes[kContainerHeaderSize];
    if (read(headerBytes, sizeof headerBytes) != sizeof headerBytes) {
        return std::nullopt;
    }
    const ContainerHeader header = *ReadContainerHeader(headerBytes);
    if (header.magic != kContainerMagic || header.totalSize < kContainerHeaderSize ||
        (available && header.totalSize > *available)) {
        return std::nullopt;
    }
    try {
        std::vector<std::uint8_t> block(std::begin(headerBytes), std::end(headerBytes));
        while (block.size() < header.totalSize) {
            const std::size_t have = block.size();
            const std::size_t step = std::min<std::size_t>(kReadStep, header.totalSize - have);
            block.resize(have + step);
            if (read(block.data() + have, step) != step) {
                return std::nullopt;
            }
        }
        return block;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
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
    std::optional<std::vector<std::uint8_t>> block =
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
        return Adopt(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + header->totalSize));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::uint32_t SectionArchive::Adopt(std::vector<std::uint8_t> block) {
    if (!IsEditableContainer(block)) {
        return 0;
    }
    const auto size = static_cast<std::uint32_t>(block.size());
    std::vector<std::uint8_t> unique = WithoutLaterDuplicates(block);
    block_ = unique.empty() ? std::move(block) : std::move(unique);
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
    std::optional<std::vector<std::uint8_t>> block = ReadContainerBlock(
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
    return std::span(block_).subspan(entry.offset, entry.size);
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
                block_ = WithoutEntry(block_, *index);
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
    try {
        // Both steps build new blocks; the old one stays until the end because `data` may
        // point into it, and a failure on the way leaves the archive as it was.
        if (index) {
            const std::vector<std::uint8_t> removed = WithoutEntry(block_, *index);
            block_ = WithAppended(removed, normalized, data);
        } else {
            block_ = WithAppended(block_, normalized, data);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
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
    block_.clear();
    block_.shrink_to_fit();
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
            std::span(block_).subspan(entry.offset, entry.size);
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
