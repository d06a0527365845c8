#include "platform/path_text.h"

#include <cstddef>
#include <cstdint>

namespace platform {

std::string PathForDisplay(std::string_view path) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(path.size());
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t length = Utf8SequenceLength(path, at);
        if (length == 0) {
            const auto byte = static_cast<std::uint8_t>(path[at]);
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
            ++at;
        } else {
            text.append(path, at, length);
            at += length;
        }
    }
    return text;
}

}  // namespace platform
