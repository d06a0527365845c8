#include "apps/compactor/command_line.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <optional>

#include "apps/compactor/compression_codec.h"

namespace {

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return lower;
}

// The leading decimal integer of `text` (after blanks, with an optional sign), saturated to the
// int range; nothing when the text does not start with one.
std::optional<int> LeadingInteger(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const long value = std::strtol(copy.c_str(), &end, 10);
    if (end == copy.c_str())
        return std::nullopt;
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

}  // namespace

bool IsSwitchWord(std::string_view word) {
    static constexpr std::array<std::string_view, 6> kWords = {"codec",    "quality", "dialog",
                                                               "registry", "window",  "thumbnail"};
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

void CCompactorCommandLineInfo::ParseParam(std::string_view param, bool isSwitch) {
    if (isSwitch) {
        ParseSwitch(LowerCase(param));
    } else {
        ParseValue(param);
    }
}

void CCompactorCommandLineInfo::ParseSwitch(const std::string& word) {
    if (word == "codec") {
        state = ParserState::CodecWord;
    } else if (word == "quality") {
        state = ParserState::Quality;
    } else if (word == "dialog") {
        dialogFlag = 1;
    } else if (word == "registry") {
        state = ParserState::RegistryWord;
    } else if (word == "window") {
        state = ParserState::WindowHandle;
    } else if (word == "thumbnail") {
        state = ParserState::ThumbnailFlag;
    }
}

void CCompactorCommandLineInfo::ParseValue(std::string_view value) {
    const ParserState meaning = state;
    state = ParserState::FileName;
    switch (meaning) {
        case ParserState::FileName:
            if (inputName.empty()) {
                inputName = value;
            } else if (outputName.empty()) {
                outputName = value;
            }
            break;
        case ParserState::CodecWord:
            if (const auto codec = CodecFromCommandWord(LowerCase(value))) {
                settings_.WriteCodec(*codec);
            }
            break;
        case ParserState::Quality:
            if (const auto quality = LeadingInteger(value)) {
                settings_.WriteQuality(std::clamp(*quality, 0, 100));
            }
            break;
        case ParserState::RegistryWord:
            settings_.SetRegistryKey(LowerCase(value));
            break;
        case ParserState::WindowHandle:
            if (const auto window = LeadingInteger(value))
                callerWindow = *window;
            break;
        case ParserState::ThumbnailFlag:
            settings_.WriteThumbnail(LowerCase(value) == "true" ? 1 : 0);
            break;
    }
}

void ParseCommandLine(const std::vector<std::string>& args, CCompactorCommandLineInfo& info) {
    for (const std::string& arg : args) {
        // A negative number where a number is expected is the value, not a switch.
        const bool numberExpected =
            info.state == CCompactorCommandLineInfo::ParserState::Quality ||
            info.state == CCompactorCommandLineInfo::ParserState::WindowHandle;
        const bool negativeNumber =
            arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
        const bool dashSwitch =
            arg.size() > 1 && arg[0] == '-' && !(numberExpected && negativeNumber);
        const bool slashSwitch =
            arg.size() > 1 && arg[0] == '/' && IsSwitchWord(LowerCase(arg.substr(1)));
        if (dashSwitch || slashSwitch) {
            info.ParseParam(std::string_view(arg).substr(1), true);
        } else {
            info.ParseParam(arg, false);
        }
    }
}
