#include "plugin/scenegrab/compactor_handoff.h"

#include <utility>

#include "plugin/scenegrab/plugin_ui.h"

namespace scenegrab {

namespace {

constexpr const char* kCompactor = "compactor";
constexpr const char* kRegistryKey = "Tavrin";

CompactorRunner& Runner() {
    static CompactorRunner runner;
    return runner;
}

platform::SuiteProgramRun RunWith(const std::vector<std::string>& arguments) {
    if (Runner())
        return Runner()(arguments);
    return platform::RunSuiteProgram(kCompactor, arguments);
}

}  // namespace

CompactorResult RunCompactor(const std::string& bitmapFile, const std::string& panoramaFile) {
    const platform::SuiteProgramRun run =
        RunWith({bitmapFile, panoramaFile, "-registry", kRegistryKey});
    if (run.Succeeded())
        return CompactorResult::Compressed;
    ShowMessage("Unable to compress panorama.");
    return run.started ? CompactorResult::Failed : CompactorResult::NotStarted;
}

void OpenCompressionOptions() {
    const platform::SuiteProgramRun run = RunWith({"-dialog", "-registry", kRegistryKey});
    if (!run.started)
        ShowMessage("Unable to open compression dialog.");
}

CompactorRunner SetCompactorRunner(CompactorRunner runner) {
    return std::exchange(Runner(), std::move(runner));
}

}  // namespace scenegrab
