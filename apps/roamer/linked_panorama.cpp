#include "apps/roamer/linked_panorama.h"

#include <fstream>

#include "engine/viewer/action_text.h"

std::filesystem::path LinkedPanoramaPath(std::string_view actionText,
                                         const std::filesystem::path& currentDir) {
    std::filesystem::path folder = currentDir;
    std::filesystem::path opened;
    for (const ActionCommand& command : ParseActionText(actionText)) {
        if (command.kind != ActionKind::kPanorama)
            continue;
        const std::filesystem::path target = (folder / command.target).lexically_normal();
        if (!std::ifstream(target, std::ios::binary).is_open())
            continue;
        opened = target;
        folder = target.parent_path();
    }
    return opened;
}
