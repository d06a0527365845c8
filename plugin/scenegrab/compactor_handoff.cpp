#include "plugin/scenegrab/compactor_handoff.h"

#include "platform/suite_program.h"
#include "plugin/scenegrab/plugin_ui.h"

namespace scenegrab {

namespace {

constexpr const char* kCompactor = "compactor";
constexpr const char* kRegistryKey = "Tavrin";

}  // namespace

CompactorResult RunCompactor(const std::string& panoramaFile) {
    const platform::SuiteProgramRun run = platform::RunSuiteProgram(
        kCompactor, {panoramaFile, panoramaFile, "-registry", kRegistryKey});
    if (!run.started) {
        ShowMessage("Unable to compress panorama.");
        return CompactorResult::NotStarted;
    }
    return run.exitStatus == 0 ? CompactorResult::Compressed : CompactorResult::Failed;
}

void OpenCompressionOptions() {
    const platform::SuiteProgramRun run =
        platform::RunSuiteProgram(kCompactor, {"-dialog", "-registry", kRegistryKey});
    if (!run.started)
        ShowMessage("Unable to open compression dialog.");
}

}  // namespace scenegrab
