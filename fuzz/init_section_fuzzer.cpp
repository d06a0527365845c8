// The "INIT" section: the engine's and the editor's readings, and the editor's writing of what
// it read.

#include <cstdlib>

#include "engine/container/init_section.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const std::span<const std::uint8_t> section = fuzz::Input(data, size);
    const std::optional<EngineInitialView> engine = ReadInitForEngine(section);
    if (engine && (engine->headingSpan < 1 || engine->headingSpan > 360 ||
                   engine->pitchSpan < 1 || engine->pitchSpan > 180 ||
                   engine->homeFieldOfView < 10 || engine->homeFieldOfView > 170)) {
        std::abort();
    }
    const EditorInitialView editor = ReadInitForEditor(section);
    BuildEditorInitSection(editor);
    if (const std::optional<InitValues> values = ReadInitValues(section)) {
        const InitSectionBytes again = BuildInitSection(*values);
        if (!std::equal(again.begin(), again.end(), section.begin()))
            std::abort();
    }
    return 0;
}
