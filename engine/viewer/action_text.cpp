#include "engine/viewer/action_text.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool ContainsAny(std::string_view text, std::string_view a, std::string_view b,
                 std::string_view c) {
    return text.find(a) != std::string_view::npos || text.find(b) != std::string_view::npos ||
           text.find(c) != std::string_view::npos;
}

// Reads a decimal number at `text`'s start as strtod does (leading blanks allowed).
std::optional<double> ReadNumber(std::string_view& text) {
    std::string copy(text);
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str())
        return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - copy.c_str()));
    return value;
}

// Reads "(a,b)" at `text`'s start.
std::optional<std::pair<double, double>> ReadRatePair(std::string_view text) {
    if (text.empty() || text.front() != '(')
        return std::nullopt;
    text.remove_prefix(1);
    std::optional<double> first = ReadNumber(text);
    if (!first || text.empty() || text.front() != ',')
        return std::nullopt;
    text.remove_prefix(1);
    std::optional<double> second = ReadNumber(text);
    if (!second || text.empty() || text.front() != ')')
        return std::nullopt;
    return std::make_pair(*first, *second);
}

ActionOptions ReadOptions(std::string_view command) {
    auto has = [command](std::string_view literal) {
        return command.find(literal) != std::string_view::npos;
    };
    ActionOptions options;
    options.fullScreen = has("(full screen)");
    options.fullWindow = has("(full window)");
    options.repeat = has("(repeat)");
    options.preserveView = has("(preserve view)");
    options.maximized = has("(maximized)");
    options.minimized = has("(minimized)");
    for (std::size_t at = command.find('('); at != std::string_view::npos;
         at = command.find('(', at + 1)) {
        options.rates = ReadRatePair(command.substr(at));
        if (options.rates)
            break;
    }
    return options;
}

std::optional<ActionCommand> ReadCommand(std::string_view command) {
    while (!command.empty() && IsBlank(command.front()))
        command.remove_prefix(1);
    ActionCommand parsed;
    std::string_view target = command;
    if (!command.empty() && command.front() == '(') {
        std::size_t close = command.find(')');
        if (close == std::string_view::npos)
            return std::nullopt;
        parsed.options = ReadOptions(command);
        target = command.substr(close + 1);
        while (!target.empty() && (target.front() == ' ' || target.front() == '\t')) {
            target.remove_prefix(1);
        }
    }
    while (!target.empty() && IsBlank(target.back()))
        target.remove_suffix(1);
    if (target.empty())
        return std::nullopt;
    parsed.target = target;
    parsed.kind = ClassifyTarget(target);
    return parsed;
}

std::optional<std::int16_t> ReadShort(std::string_view& text) {
    std::string copy(text);
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(copy.c_str(), &end, 10);
    if (end == copy.c_str() || errno != 0 || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - copy.c_str()));
    return static_cast<std::int16_t>(value);
}

}  // namespace

std::vector<ActionCommand> ParseActionText(std::string_view text) {
    text = text.substr(0, kMaxActionText);
    std::vector<ActionCommand> commands;
    while (!text.empty()) {
        std::size_t separator = text.find(';');
        std::string_view command = text.substr(0, separator);
        if (command.empty())
            break;
        if (std::optional<ActionCommand> parsed = ReadCommand(command)) {
            commands.push_back(std::move(*parsed));
        }
        if (separator == std::string_view::npos)
            break;
        text.remove_prefix(separator + 1);
    }
    return commands;
}

ActionKind ClassifyTarget(std::string_view target) {
    ActionKind kind = ActionKind::kDocument;
    auto test = [&kind](bool hit, ActionKind k) {
        if (hit)
            kind = k;
    };
    test(ContainsAny(target, ".wav", ".WAV", ".Wav"), ActionKind::kSound);
    test(ContainsAny(target, ".avi", ".AVI", ".Avi"), ActionKind::kVideo);
    test(ContainsAny(target, ".avt", ".AVT", ".Avt"), ActionKind::kAvatar);
    test(ContainsAny(target, ".exe", ".EXE", ".Exe"), ActionKind::kProgram);
    test(NamesPanorama(target), ActionKind::kPanorama);
    test(!target.empty() && target.front() == '#', ActionKind::kScript);
    return kind;
}

bool NamesPanorama(std::string_view text) {
    return ContainsAny(text, ".pan", ".PAN", ".Pan");
}

bool RunsInExtractionFolder(const ActionCommand& command) {
    switch (command.kind) {
        case ActionKind::kProgram:
            return command.target.find('~') != std::string::npos;
        case ActionKind::kSound:
        case ActionKind::kVideo:
        case ActionKind::kAvatar:
        case ActionKind::kDocument:
            return !command.target.empty() && command.target.front() == '~';
        case ActionKind::kPanorama:
        case ActionKind::kScript:
            break;
    }
    return false;
}

int ShowStateFor(const ActionOptions& options) {
    if (options.maximized)
        return 3;
    if (options.minimized)
        return 2;
    return 1;
}

bool IsSwingScript(std::string_view target) {
    return target.find("swingto") != std::string_view::npos;
}

std::optional<SwingTo> ParseSwingTo(std::string_view target) {
    constexpr std::string_view kPrefix = "#swingto(";
    if (target.substr(0, kPrefix.size()) != kPrefix)
        return std::nullopt;
    target.remove_prefix(kPrefix.size());
    std::int16_t values[5];
    for (int i = 0; i < 5; ++i) {
        std::optional<std::int16_t> value = ReadShort(target);
        if (!value)
            return std::nullopt;
        values[i] = *value;
        if (i == 4)
            break;
        if (target.empty() || target.front() != ',')
            return std::nullopt;
        target.remove_prefix(1);
    }
    SwingTo swing{values[0], values[1], values[2], values[3], values[4]};
    if (swing.milliseconds == 0)
        swing.milliseconds = 500;
    return swing;
}

std::string ReplaceTail(std::string_view path, std::size_t count, std::string_view suffix) {
    if (path.size() < count)
        return std::string(path);
    std::string result(path.substr(0, path.size() - count));
    result += suffix;
    return result;
}
