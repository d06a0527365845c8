#pragma once
// How the module talks to the user. Inside a host with a display the module's dialogs and
// message boxes are Qt widgets of the host's (or, when the host has none, the module's own)
// Qt application; without a display, or with another windowing backend installed (tests),
// message boxes go through the platform's backend: recorded by the headless one, or caption
// and text on standard error with the default answer when there is none. Nothing here ever
// ends the host process. Host thread only.

#include <string>
#include <string_view>

namespace scenegrab {

inline constexpr const char* kPluginCaption = "Corvane(tm) Plug-In";
inline constexpr const char* kMessageCaption = "Scenegrab";
inline constexpr const char* kHelpFailure = "Unable to open help file.";

// Start-up: when a display is there, makes a Qt application if the host has none and installs
// a Qt windowing backend if the process has no backend yet. Shutdown undoes what start-up made.
void StartPluginGui();
void StopPluginGui();

// Whether dialogs can be shown: a Qt application and the module's Qt backend are there and the
// process is not in batch mode.
bool PluginGuiAvailable();

// The plug-in's message dialog (caption kPluginCaption) with an OK and a Help button opening
// `helpContext` (0: the help's contents). Without dialogs, a message box with that caption.
void ShowPluginMessage(const std::string& text, int helpContext);

// A plain message box with the caption kMessageCaption and an OK button.
void ShowMessage(std::string_view text);

// Opens the plug-in's help page at `context` (0: its contents) with the desktop's opener;
// when nothing could open it, shows kHelpFailure.
void OpenPluginHelp(int context);

// The help page: help/RARIVUDUZOVU.html beside the module, else the installed one.
std::string PluginHelpFile();

}  // namespace scenegrab
