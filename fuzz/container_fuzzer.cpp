// The panorama container: the archive's reading from bytes and every operation on what it
// read, and the loader's section lookup on the raw bytes. Checks that a section set is the one
// found afterwards, by the archive and by the loader's lookup in what the archive writes.

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/container/data_type_sniff.h"
#include "engine/container/find_section.h"
#include "engine/container/section_archive.h"
#include "fuzz/fuzz_support.h"

namespace {

std::vector<std::uint8_t> Written(const SectionArchive& archive) {
    const int fd = memfd_create("container", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    const std::uint32_t size = archive.WriteTo(fd);
    std::vector<std::uint8_t> bytes(size);
    if (size != 0 && pread(fd, bytes.data(), size, 0) != static_cast<ssize_t>(size))
        std::abort();
    close(fd);
    return bytes;
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const std::span<const std::uint8_t> input = fuzz::Input(data, size);
    SniffDataType(input);
    for (const char* name : {"BTMP", "INIT", "HSPT", "FILE", "NOTE", "AB"})
        FindSection(name, input);

    // The input's last bytes name a section and give its new data; the rest is the container.
    if (size < 5)
        return 0;
    const std::string name(reinterpret_cast<const char*>(data + size - 5), 4);
    const std::size_t newLength = data[size - 1] % 32;
    const std::span<const std::uint8_t> container = input.first(size - 5);
    const std::span<const std::uint8_t> newData = container.first(std::min(newLength, container.size()));

    SectionArchive archive;
    archive.ReadFrom(container);
    std::string names;
    archive.ListSections(&names);
    archive.Dump();
    for (std::size_t at = 0; at + 5 <= names.size(); at += 5) {
        const std::string listed = names.substr(at, 4);
        Require(archive.GetSectionSize(listed) == archive.GetSection(listed).size());
    }
    const std::vector<std::uint8_t> wanted(newData.begin(), newData.end());
    archive.SetSection(name, wanted);
    if (name[0] == '\0')
        return 0;
    const std::span<const std::uint8_t> stored = archive.GetSection(name);
    Require(std::equal(stored.begin(), stored.end(), wanted.begin(), wanted.end()));
    const std::vector<std::uint8_t> saved = Written(archive);
    if (name.find('\0') == std::string::npos) {
        const std::span<const std::uint8_t> found = FindSection(name, saved);
        Require(std::equal(found.begin(), found.end(), wanted.begin(), wanted.end()));
    }
    SectionArchive again;
    Require(again.ReadFrom(std::span<const std::uint8_t>(saved)) == saved.size());
    return 0;
}
