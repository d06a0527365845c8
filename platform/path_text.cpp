#include "platform/path_text.h"

#include <cstddef>
#include <cstdint>

namespace platform {

namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0 when the byte there starts none.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[at + i]); };
    const std::size_t left = bytes.size() - at;
    const std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return 1;
    // The second byte's range depends on the lead (overlong forms, surrogates and code points
    // above U+10FFFF are refused there); later bytes are plain continuation bytes.
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string PathForDisplay(std::string_view path) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(path.size());
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t length = SequenceLength(path, at);
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
