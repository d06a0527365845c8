#pragma once
// The suite's help pages. Each program ships one HTML page, beside the program in the build
// tree (help/<file>) and in <prefix>/share/<program>/help/<file> when installed, with one
// anchor "context-N" for each help context number it opens. The page is handed to the
// desktop's opener (xdg-open, through the process's replaceable launcher, platform/
// program_launcher.h), which says whether anything could open it; when nothing could, the user
// is told "Unable to open help file".
//
// User-interface thread (the opener's verdict is awaited: at most a few seconds). Paths are
// the file system's bytes throughout, so a suite installed under a name that is not UTF-8
// still finds and opens its pages.

#include <string>
#include <string_view>

#include "platform/window.h"

// Where a program's help page lives.
struct HelpPage {
    std::string program;   // the installation's folder: share/<program>/help
    std::string fileName;  // the page, e.g. "CvnRoamer.html"
};

// The suite's text for a help page that cannot be opened.
inline constexpr std::string_view kHelpFailedText = "Unable to open help file";

// The page's file for a program in `programDir`: help/<fileName> there, else
// ../share/<program>/help/<fileName>, as an absolute path. Empty when neither is a file.
std::string FindHelpFile(const std::string& programDir, const HelpPage& page);

// The file address of `file` (a path, made absolute) at the anchor of `context`:
// "file:///...#context-N", every byte of the path but letters, digits, "-._~/" percent-encoded.
std::string HelpAddress(const std::string& file, int context);

// Opens `file` at `context` in the desktop's browser. False when `file` is not a file or the
// opener reports that nothing could open it.
bool OpenHelpFile(const std::string& file, int context);

// Opens the running program's page at `context` (FindHelpFile beside the program, then
// OpenHelpFile). False when the page is missing or could not be opened.
bool OpenHelp(const HelpPage& page, int context);

// OpenHelp; when it fails, shows kHelpFailedText in an OK box with the warning icon, captioned
// `caption`, over `owner` (the platform's message box: on standard error when the run is
// unattended). Returns what OpenHelp returned.
bool ShowHelp(const HelpPage& page, int context, std::string_view caption,
              platform::WindowHandle owner = platform::kNoWindow);
