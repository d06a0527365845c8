#include "apps/cubestitch/seam_command_line.h"

#include <array>
#include <cctype>

#include "apps/cubestitch/command_ids.h"

namespace cubestitch {

namespace {

struct FlagWord {
    std::string_view word;
    FaceOperation operation;
};

// In the order they are compared.
constexpr std::array<FlagWord, 10> kFlagWords = {{
    {"r90", FaceOperation::Rotate90},
    {"rotate90", FaceOperation::Rotate90},
    {"r180", FaceOperation::Rotate180},
    {"rotate180", FaceOperation::Rotate180},
    {"r270", FaceOperation::Rotate270},
    {"rotate270", FaceOperation::Rotate270},
    {"fv", FaceOperation::FlipVertical},
    {"flipvertical", FaceOperation::FlipVertical},
    {"fh", FaceOperation::FlipHorizontal},
    {"fliphorizontal", FaceOperation::FlipHorizontal},
}};

std::string LowerTrimmed(std::string_view text) {
    std::string lower;
    lower.reserve(text.size());
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!lower.empty() && isBlank(lower.back()))
        lower.pop_back();
    std::size_t start = 0;
    while (start < lower.size() && isBlank(lower[start]))
        ++start;
    return lower.substr(start);
}

const FlagWord* FindFlagWord(std::string_view flag) {
    const std::string word = LowerTrimmed(flag);
    for (const FlagWord& entry : kFlagWords) {
        if (entry.word == word)
            return &entry;
    }
    return nullptr;
}

}  // namespace

FaceOperation FaceOperationFromFlag(std::string_view flag) {
    const FlagWord* entry = FindFlagWord(flag);
    return entry != nullptr ? entry->operation : FaceOperation::None;
}

bool IsFlagWord(std::string_view flag) {
    return FindFlagWord(flag) != nullptr;
}

int PaneCommandOf(FaceOperation operation) {
    switch (operation) {
        case FaceOperation::Rotate90:
            return kCmdRotate90;
        case FaceOperation::Rotate180:
            return kCmdRotate180;
        case FaceOperation::Rotate270:
            return kCmdRotate270;
        case FaceOperation::FlipVertical:
            return kCmdFlipVertical;
        case FaceOperation::FlipHorizontal:
            return kCmdFlipHorizontal;
        case FaceOperation::None:
            break;
    }
    return 0;
}

void CSeamCommandLineInfo::ParseParam(std::string_view text, bool isFlag) {
    if (!isFlag) {
        if (m_lastSlot + 1 >= kSlotCount) {
            if (!extraName)
                extraName = std::string(text);
            return;
        }
        ++m_lastSlot;
        m_slots[static_cast<std::size_t>(m_lastSlot)].name = std::string(text);
        return;
    }
    if (m_lastSlot == -1 || extraName)
        return;
    m_slots[static_cast<std::size_t>(m_lastSlot)].operations.push_back(
        FaceOperationFromFlag(text));
}

void ParseSeamCommandLine(const std::vector<std::string>& args, CSeamCommandLineInfo& info) {
    for (const std::string& arg : args) {
        const bool dashFlag = !arg.empty() && arg.front() == '-';
        const bool slashFlag =
            arg.size() > 1 && arg.front() == '/' && IsFlagWord(std::string_view(arg).substr(1));
        if (dashFlag || slashFlag) {
            info.ParseParam(std::string_view(arg).substr(1), true);
        } else {
            info.ParseParam(arg, false);
        }
    }
}

}  // namespace cubestitch
