#pragma once
// The hotspot command language, read into commands: "OPTIONS TARGET; OPTIONS TARGET; ...".
// Pure functions; any thread.
//
// - Commands are separated by ";"; reading stops at the first empty command (";;" or a leading
//   ";") and after 2048 characters of text.
// - A command's leading blanks (space, tab, carriage return, line feed) are skipped. When it
//   then begins with "(", the text up to the first ")" is its option group and the target
//   follows with spaces and tabs skipped; with no ")" the command has no target and is
//   skipped. A command with no target at all (only blanks) is skipped too.
// - Options are found by searching the command from its "(" on: "(full screen)",
//   "(full window)", "(repeat)", "(preserve view)", "(maximized)", "(minimized)" and two
//   decimal numbers "(a,b)".
// - Trailing blanks of a target are dropped, as the file names they name cannot end in them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class ActionKind { kSound, kVideo, kAvatar, kProgram, kPanorama, kScript, kDocument };

struct ActionOptions {
    bool fullScreen = false;
    bool fullWindow = false;
    bool repeat = false;
    bool preserveView = false;
    bool maximized = false;
    bool minimized = false;
    // The two animation rates of an avatar; absent when the command gives none.
    std::optional<std::pair<double, double>> rates;
};

struct ActionCommand {
    ActionOptions options;
    std::string target;
    ActionKind kind = ActionKind::kDocument;
};

inline constexpr std::size_t kMaxActionText = 2048;

std::vector<ActionCommand> ParseActionText(std::string_view text);

// The kind of a target, by its extension ".wav", ".avi", ".avt", ".exe", ".pan" (each in lower,
// upper or capitalised spelling, anywhere in the target; a later one in this list wins), a
// leading "#" (script), else a document.
ActionKind ClassifyTarget(std::string_view target);

// Whether `text` contains ".pan", ".PAN" or ".Pan".
bool NamesPanorama(std::string_view text);

// Whether the command runs in the engine's extraction folder: a target beginning with "~", or
// for a program a "~" anywhere. Panoramas and scripts never do.
bool RunsInExtractionFolder(const ActionCommand& command);

// The show state of a program or document: 3 with "(maximized)", else 2 with "(minimized)",
// else 1.
int ShowStateFor(const ActionOptions& options);

// "#swingto(pan,tilt,roll,fov,ms)" with five 16-bit integers; nullopt when the target does not
// begin that way or any value is missing or out of range. A duration of 0 reads as 500.
struct SwingTo {
    std::int16_t pan = 0;
    std::int16_t tilt = 0;
    std::int16_t roll = 0;
    std::int16_t fov = 0;
    std::int16_t milliseconds = 0;
};
std::optional<SwingTo> ParseSwingTo(std::string_view target);
// Whether a script target asks for a swing at all.
bool IsSwingScript(std::string_view target);

// A path with its last `count` characters replaced by `suffix` (the companion sound of a
// panorama, the sound of an avatar); `path` unchanged when it is shorter than `count`.
std::string ReplaceTail(std::string_view path, std::size_t count, std::string_view suffix);
