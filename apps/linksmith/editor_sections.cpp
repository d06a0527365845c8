#include "apps/linksmith/editor_sections.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>

#include "apps/linksmith/section_lookup.h"
#include "engine/container/file_section.h"
#include "engine/container/hotspot_section.h"
#include "engine/container/image_section.h"
#include "engine/container/panorama_note.h"
#include "platform/files.h"

namespace {

struct Failure {
    const char* text;
};

// `size` bytes at the stream's position; fewer when the stream ends first.
std::vector<std::uint8_t> ReadBytes(std::FILE* stream, std::uint32_t size) {
    std::vector<std::uint8_t> bytes(size);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), stream));
    return bytes;
}

// The section `tag` of `stream`, read whole; empty when absent or of size 0.
std::vector<std::uint8_t> ReadSection(std::FILE* stream, std::string_view tag) {
    return ReadBytes(stream, FindSectionInFile(stream, tag));
}

// The whole file; sizes and contents come from one read. Nothing when it cannot be read. A file
// of more than `limit` bytes is refused as too large (Failure{kNoMemoryText}), unread when its
// size tells, else as soon as the bytes read pass the limit.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(
    const std::string& path, std::uint64_t limit = std::numeric_limits<std::uint64_t>::max()) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read))
        return std::nullopt;
    if (file.Size().value_or(0) > limit)
        throw Failure{kNoMemoryText};
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::uint8_t> bytes;
    for (;;) {
        const std::size_t before = bytes.size();
        bytes.resize(before + kChunk);
        const std::size_t got = file.Read(bytes.data() + before, kChunk);
        bytes.resize(before + got);
        if (bytes.size() > limit)
            throw Failure{kNoMemoryText};
        if (got < kChunk)
            break;
    }
    return bytes;
}

// Stores or deletes one section; false when a non-empty one could not be stored.
bool SetOrDelete(SectionArchive& archive, std::string_view tag,
                 std::span<const std::uint8_t> data) {
    return archive.SetSection(tag, data) == data.size();
}

void SetImageFromBareFile(const std::string& sourcePath, SectionArchive& archive) {
    const std::optional<std::vector<std::uint8_t>> image = ReadWholeFile(sourcePath);
    if (!image || !IsStorableImageFile(*image))
        throw Failure{kFileIoErrorText};
    if (!SetOrDelete(archive, "BTMP", *image))
        throw Failure{kNoMemoryText};
}

// The folder's "~..." files, then the entries of the source's section that the folder never
// held (SaveContent::extractedFiles): every entry the panorama held is kept unless the user
// removed it.
void SetEmbeddedFiles(const std::string& directory, std::span<const std::string> extracted,
                      SectionArchive& archive) {
    std::vector<std::vector<std::uint8_t>> contents;
    std::vector<std::string> names;
    if (!directory.empty()) {
        names = platform::ListFiles(directory, "~*.*");
        // Files beyond the section's bounds are refused before they are read whole.
        if (names.size() > kMaxEmbeddedFiles)
            throw Failure{kNoMemoryText};
        std::uint64_t held = 0;
        for (const std::string& name : names) {
            std::optional<std::vector<std::uint8_t>> bytes =
                ReadWholeFile(directory + name, kMaxEmbeddedBytes - held);
            if (!bytes)
                throw Failure{kFileIoErrorText};
            held += bytes->size();
            contents.push_back(std::move(*bytes));
        }
    }
    std::vector<EmbeddedFileEntry> entries;
    for (std::size_t i = 0; i < names.size(); ++i)
        entries.push_back(EmbeddedFileEntry{names[i], contents[i]});
    const auto holds = [](std::span<const std::string> files, std::string_view name) {
        return std::find(files.begin(), files.end(), name) != files.end();
    };
    for (const EmbeddedFileEntry& kept : ParseFileSection(archive.GetSection(kFileSectionName))) {
        if (!holds(extracted, kept.name) && !holds(names, kept.name))
            entries.push_back(kept);
    }
    if (entries.empty()) {
        archive.SetSection(kFileSectionName, {});
        return;
    }
    const std::optional<std::vector<std::uint8_t>> section = BuildFileSection(entries);
    if (!section || !SetOrDelete(archive, kFileSectionName, *section))
        throw Failure{kNoMemoryText};
}

}  // namespace

EditedSections ReadEditedSections(std::FILE* stream) {
    EditedSections sections;
    for (const SectionHotspot& hotspot :
         ParseHotspotSection(ReadSection(stream, kHotspotSectionName))) {
        sections.hotspots.push_back(FromSectionHotspot(hotspot));
    }
    // An INIT of another length, which the viewer ignores, and a NOTE without its mark are not
    // the editor's: the save keeps them, and they are not read.
    const std::uint32_t initSize = FindSectionInFile(stream, kInitSectionName);
    if (initSize == kInitSectionSize)
        sections.initialView = ReadInitForEditor(ReadBytes(stream, initSize));
    sections.keepFileInit = initSize != 0 && initSize != kInitSectionSize;
    const std::uint32_t noteSize = FindSectionInFile(stream, kNoteSectionName);
    if (noteSize != 0 && std::fgetc(stream) == kPanoramaNoteMark) {
        sections.note = ReadBytes(stream, noteSize - 1);
        sections.note.insert(sections.note.begin(), kPanoramaNoteMark);
    } else {
        sections.keepFileNote = noteSize != 0;
    }
    return sections;
}

bool BuildSavedArchive(const std::string& sourcePath, const SaveContent& content,
                       SectionArchive& archive, std::string& error) {
    try {
        if (archive.Load(sourcePath) == 0)
            SetImageFromBareFile(sourcePath, archive);

        const std::optional<InitSectionBytes> init = BuildEditorInitSection(content.initialView);
        if (!content.keepFileInit && !SetOrDelete(archive, kInitSectionName,
                                                  init ? std::span<const std::uint8_t>(*init)
                                                       : std::span<const std::uint8_t>{}))
            throw Failure{kNoMemoryText};

        std::vector<SectionHotspot> hotspots;
        for (const HotspotRecord& record : content.hotspots)
            hotspots.push_back(ToSectionHotspot(record));
        const std::optional<std::vector<std::uint8_t>> hotspotSection =
            hotspots.empty() ? std::vector<std::uint8_t>{} : BuildHotspotSection(hotspots);
        if (!hotspotSection)
            throw Failure{kFileIoErrorText};
        if (!SetOrDelete(archive, kHotspotSectionName, *hotspotSection))
            throw Failure{kNoMemoryText};

        SetEmbeddedFiles(content.extractDirectory, content.extractedFiles, archive);

        if (!content.keepFileNote && !SetOrDelete(archive, kNoteSectionName, content.note))
            throw Failure{kNoMemoryText};
        return true;
    } catch (const Failure& failure) {
        error = failure.text;
    } catch (const std::bad_alloc&) {
        error = kNoMemoryText;
    }
    return false;
}
