#include "platform/display_presence.h"

#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool HasDisplay() {
    if (const char* platform = std::getenv("QT_QPA_PLATFORM")) {
        const std::string_view name(platform);
        if (name.starts_with("offscreen") || name.starts_with("minimal"))
            return false;
    }
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace platform
