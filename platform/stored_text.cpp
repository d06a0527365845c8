#include "platform/stored_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace platform {
namespace {

// The characters of bytes 0x80 to 0x9F; the code page's gaps keep their C1 controls.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

void AppendUtf8(std::string& out, char32_t c) {
    const auto put = [&](std::uint32_t value) { out.push_back(static_cast<char>(value)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else {
        // The code page's characters all lie in the basic plane.
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(out, Windows1252Character(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(utf8, at);
        if (length == 0)
            return std::nullopt;
        char32_t c = static_cast<unsigned char>(utf8[at]);
        if (length > 1) {
            c &= 0x7F >> length;
            for (std::size_t i = 1; i < length; ++i)
                c = (c << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        }
        at += length;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const auto found = std::find(kHighControls.begin(), kHighControls.end(), c);
        if (found == kHighControls.end())
            return std::nullopt;
        out.push_back(static_cast<char>(0x80 + (found - kHighControls.begin())));
    }
    return out;
}

std::string StoredTextToUtf8(std::string_view stored) {
    return IsUtf8(stored) ? std::string(stored) : Windows1252ToUtf8(stored);
}

std::string StoredTextAfterEdit(std::string_view original, std::string_view shown,
                                std::string_view edited) {
    return std::string(edited == shown ? original : edited);
}

std::string_view CutStoredText(std::string_view stored, std::size_t maxBytes) {
    if (stored.size() <= maxBytes || !IsUtf8(stored))
        return stored.substr(0, maxBytes);
    std::size_t end = 0;
    while (end < stored.size()) {
        const std::size_t length = Utf8SequenceLength(stored, end);
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return stored.substr(0, end);
}

}  // namespace platform
