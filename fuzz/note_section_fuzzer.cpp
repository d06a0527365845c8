// The "NOTE" section: reading, and writing what was read (which must read back the same).

#include <cstdlib>

#include "engine/container/panorama_note.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const std::optional<PanoramaNote> note = ParsePanoramaNote(fuzz::Input(data, size));
    if (!note)
        return 0;
    note->IsEmpty();
    if (ParsePanoramaNote(BuildPanoramaNote(*note)) != note)
        std::abort();
    return 0;
}
