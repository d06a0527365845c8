// Action texts as the hotspot editor's runner reads them (its own rules, apart from the
// viewer's). Only the reading is driven: running the commands is the recorded services' work,
// covered by the action_text target. Aborts when a read command breaks the reading's promises.

#include <cstdlib>
#include <string>
#include <string_view>

#include "apps/linksmith/editor_action_text.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

void Check(bool holds) {
    if (!holds)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<EditorActionCommand> commands = ReadEditorActionText(text);
    std::size_t separators = 0;
    for (char c : text)
        separators += c == ';' ? 1 : 0;
    Check(commands.size() <= separators + 1);
    for (const EditorActionCommand& read : commands) {
        const std::string_view command = read.text;
        const std::string& target = read.command.target;
        Check(command.find(';') == std::string_view::npos);
        Check(command.empty() || (kWhiteSpace.find(command.front()) == std::string_view::npos &&
                                  kWhiteSpace.find(command.back()) == std::string_view::npos));
        Check(read.command.kind != ActionKind::kScript);
        Check(read.command.kind == EditorCommandKind(command));
        // The target is the command's tail: all of it for a panorama.
        Check(target.size() <= command.size() &&
              command.substr(command.size() - target.size()) == target);
        if (read.command.kind == ActionKind::kPanorama)
            Check(target == command && !read.entersExtractionFolder);
        if (read.entersExtractionFolder)
            Check(target.find('~') != std::string::npos);
    }
    return 0;
}
