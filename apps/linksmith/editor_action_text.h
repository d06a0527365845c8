#pragma once
// How the hotspot editor's runner reads an action text: simpler rules than the viewer's.
// Pure functions; any thread.
//
// - The text is trimmed of white space (blanks, tabs, line breaks). Commands are separated by
//   ";": a ";" at the very end adds no command, a ";" followed only by blanks adds one empty
//   command (handed to the desktop's opener like any document).
// - Each command is trimmed. Its kind comes from its last four characters in lower case
//   (".avi" video, ".wav" sound, ".avt" avatar, ".exe" program, ".pan" panorama, else a
//   document; "#" scripts are documents too); ".exe", ".EXE" or ".Exe" anywhere after the
//   first character makes it a program.
// - Options count only at the very start of the command: "(full screen)" and "(full window)"
//   for videos, "(repeat)" for sounds, "(a,b)" (two numbers, read as far as they go, the rest
//   0) for avatars, "(maximized)" and "(minimized)" for programs and documents.
// - The target is the command with everything up to and including its first ")" removed
//   (then leading white space); a panorama's target is the whole command.
// - Videos, sounds and avatars whose target begins with "~" run in the engine's extraction
//   folder, as do programs and documents whose target holds "~" anywhere; panoramas never.

#include <string>
#include <string_view>
#include <vector>

#include "engine/viewer/action_text.h"

struct EditorActionCommand {
    // The trimmed command as written, options included (what "Video off screen" reports).
    std::string text;
    // Kind, options and target (options stripped); never ActionKind::kScript.
    ActionCommand command;
    bool entersExtractionFolder = false;
};

std::vector<EditorActionCommand> ReadEditorActionText(std::string_view description);

// The kind of one trimmed command by the rules above.
ActionKind EditorCommandKind(std::string_view command);
