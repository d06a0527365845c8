// The "FILE" section: reading, and writing what was read (which must read back the same).

#include <cstdlib>
#include <vector>

#include "engine/container/file_section.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const std::span<const std::uint8_t> section = fuzz::Input(data, size);
    const std::vector<EmbeddedFileEntry> entries = ParseFileSection(section);
    for (const EmbeddedFileEntry& entry : entries) {
        if (!IsPlainFileName(entry.name))
            std::abort();
    }
    // Only a section beyond the bounds on entries and contents may fail to be written again.
    const std::optional<std::vector<std::uint8_t>> built = BuildFileSection(entries);
    if (!built) {
        if (FileSectionWithinLimits(section))
            std::abort();
        return 0;
    }
    const std::vector<EmbeddedFileEntry> again = ParseFileSection(*built);
    if (again.size() != entries.size())
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i) {
        if (again[i].name != entries[i].name ||
            !std::equal(again[i].contents.begin(), again[i].contents.end(),
                        entries[i].contents.begin(), entries[i].contents.end())) {
            std::abort();
        }
    }
    return 0;
}
