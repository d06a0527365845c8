// The "HSPT" section: reading, and writing what was read (which must read back the same).

#include <cstdlib>
#include <vector>

#include "engine/container/hotspot_section.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const std::vector<SectionHotspot> hotspots = ParseHotspotSection(fuzz::Input(data, size));
    const std::optional<std::vector<std::uint8_t>> built = BuildHotspotSection(hotspots);
    if (!built)
        std::abort();
    // Floats compare by their bytes: a NaN corner must survive too.
    const std::optional<std::vector<std::uint8_t>> rebuilt =
        BuildHotspotSection(ParseHotspotSection(*built));
    if (!rebuilt || *rebuilt != *built)
        std::abort();
    return 0;
}
