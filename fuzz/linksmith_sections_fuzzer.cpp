// The sections Linksmith reads from a panorama file (hotspots, initial view, details, found
// straight in the file through stdio), and the save it builds from them. The input is the file.
// What was read is saved back over the same file and read again: the hotspots and the initial
// view must come back as they were, or the editor would lose what it was given.

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "apps/linksmith/editor_sections.h"
#include "apps/linksmith/section_lookup.h"
#include "fuzz/fuzz_support.h"

namespace {

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

// A stdio stream over bytes, as the editor opens a file.
Stream Open(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return nullptr;
    return Stream(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
}

std::vector<std::uint8_t> Written(const SectionArchive& archive) {
    const int fd = memfd_create("saved", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    std::vector<std::uint8_t> bytes(archive.WriteTo(fd));
    if (!bytes.empty() &&
        pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    close(fd);
    return bytes;
}

// Equal, or both not a number (a file may hold any float).
bool SameAngle(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool SameHotspots(const HotspotArray& a, const HotspotArray& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!SameAngle(a[i].heading1, b[i].heading1) || !SameAngle(a[i].heading2, b[i].heading2) ||
            !SameAngle(a[i].pitch1, b[i].pitch1) || !SameAngle(a[i].pitch2, b[i].pitch2) ||
            a[i].description != b[i].description)
            return false;
    }
    return true;
}

bool SameView(const EditorInitialView& a, const EditorInitialView& b) {
    return a.horizontalDegrees == b.horizontalDegrees && a.verticalDegrees == b.verticalDegrees &&
           a.pan == b.pan && a.tilt == b.tilt && a.roll == b.roll &&
           a.fieldOfView == b.fieldOfView;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& home = fuzz::PrepareProcess();
    Stream stream = Open(data, size);
    if (!stream)
        return 0;
    SniffFileType(stream.get());
    for (const char* tag : {"HSPT", "INIT", "NOTE", "FILE", "BTMP"}) {
        std::rewind(stream.get());
        FindSectionInFile(stream.get(), tag);
    }
    std::rewind(stream.get());
    const EditedSections read = ReadEditedSections(stream.get());

    const std::string source = home + "/source.pan";
    std::ofstream(source, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    SaveContent content;
    content.initialView = read.initialView;
    content.hotspots = read.hotspots;
    content.note = read.note;
    content.keepFileNote = read.keepFileNote;
    SectionArchive archive;
    std::string error;
    if (!BuildSavedArchive(source, content, archive, error))
        return 0;
    const std::vector<std::uint8_t> saved = Written(archive);
    // A container left with no section at all (it held only the editor's, now all at their
    // defaults) writes nothing; it cannot have had hotspots or details.
    if (saved.empty()) {
        if (!read.hotspots.empty() || !read.note.empty())
            std::abort();
        return 0;
    }
    Stream again = Open(saved.data(), saved.size());
    if (!again)
        std::abort();
    const EditedSections reread = ReadEditedSections(again.get());
    if (!SameHotspots(read.hotspots, reread.hotspots) ||
        !SameView(read.initialView, reread.initialView) || read.note != reread.note)
        std::abort();
    return 0;
}
