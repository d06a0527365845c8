#include "apps/roamer/linked_panorama.h"

#include <fstream>
#include <string>

#include "engine/viewer/action_text.h"
#include "platform/stored_file_name.h"

std::filesystem::path LinkedPanoramaPath(std::string_view actionText,
                                         const std::filesystem::path& currentDir) {
    std::filesystem::path folder = currentDir;
    std::filesystem::path opened;
    for (const ActionCommand& command : ParseActionText(actionText)) {
        if (command.kind != ActionKind::kPanorama)
            continue;
        const auto opens = [&folder](const std::string& name) {
            return std::ifstream((folder / name).lexically_normal(), std::ios::binary).is_open();
        };
        // Found as the engine finds it: as stored, else in its other encoding.
        const std::string name = platform::FindStoredFileName(command.target, opens);
        if (!opens(name))
            continue;
        opened = (folder / name).lexically_normal();
        folder = opened.parent_path();
    }
    return opened;
}
