#include "apps/linksmith/editor_action_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Everything up to and including the first ")" goes, then the leading white space.
std::string_view StripOptions(std::string_view command) {
    const std::size_t close = command.find(')');
    if (close == std::string_view::npos)
        return command;
    command.remove_prefix(close + 1);
    const std::size_t first = command.find_first_not_of(kWhiteSpace);
    return first == std::string_view::npos ? std::string_view{} : command.substr(first);
}

ActionOptions OptionsAtStart(ActionKind kind, std::string_view command) {
    ActionOptions options;
    switch (kind) {
        case ActionKind::kVideo:
            options.fullScreen = StartsWith(command, "(full screen)");
            options.fullWindow = StartsWith(command, "(full window)");
            break;
        case ActionKind::kSound:
            options.repeat = StartsWith(command, "(repeat)");
            break;
        case ActionKind::kAvatar:
            if (StartsWith(command, "(")) {
                double first = 0;
                double second = 0;
                const std::string copy(command);
                std::sscanf(copy.c_str(), "(%lf,%lf)", &first, &second);
                options.rates = std::pair{first, second};
            }
            break;
        case ActionKind::kProgram:
        case ActionKind::kDocument:
        case ActionKind::kScript:
            options.maximized = StartsWith(command, "(maximized)");
            options.minimized = StartsWith(command, "(minimized)");
            break;
        case ActionKind::kPanorama:
            break;
    }
    return options;
}

bool EntersExtractionFolder(ActionKind kind, std::string_view target) {
    switch (kind) {
        case ActionKind::kVideo:
        case ActionKind::kSound:
        case ActionKind::kAvatar:
            return StartsWith(target, "~");
        case ActionKind::kProgram:
        case ActionKind::kDocument:
        case ActionKind::kScript:
            return target.find('~') != std::string_view::npos;
        case ActionKind::kPanorama:
            return false;
    }
    return false;
}

EditorActionCommand ReadCommand(std::string_view command) {
    EditorActionCommand read;
    read.text = command;
    const ActionKind kind = EditorCommandKind(command);
    read.command.kind = kind;
    read.command.options = OptionsAtStart(kind, command);
    read.command.target = kind == ActionKind::kPanorama ? command : StripOptions(command);
    read.entersExtractionFolder = EntersExtractionFolder(kind, read.command.target);
    return read;
}

}  // namespace

ActionKind EditorCommandKind(std::string_view command) {
    for (std::string_view exe : {".exe", ".EXE", ".Exe"}) {
        const std::size_t at = command.find(exe, 1);
        if (at != std::string_view::npos)
            return ActionKind::kProgram;
    }
    std::string tail(command.substr(command.size() - std::min<std::size_t>(command.size(), 4)));
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (tail == ".avi")
        return ActionKind::kVideo;
    if (tail == ".wav")
        return ActionKind::kSound;
    if (tail == ".avt")
        return ActionKind::kAvatar;
    if (tail == ".exe")
        return ActionKind::kProgram;
    if (tail == ".pan")
        return ActionKind::kPanorama;
    return ActionKind::kDocument;
}

std::vector<EditorActionCommand> ReadEditorActionText(std::string_view description) {
    std::string_view text = Trim(description);
    std::vector<EditorActionCommand> commands;
    while (!text.empty()) {
        const std::size_t separator = text.find(';');
        const std::string_view command = text.substr(0, separator);
        text =
            separator == std::string_view::npos ? std::string_view{} : text.substr(separator + 1);
        commands.push_back(ReadCommand(Trim(command)));
    }
    return commands;
}
