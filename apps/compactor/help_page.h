#pragma once
// The compressor's help: an HTML page shipped beside the program (help/Vuzuzuvuzez.html), one
// anchor "context-<n>" per help context. User-interface thread; needs a QGuiApplication.

#include <string>

// The help page beside the running program (build tree), else the installed one in
// ../share/compactor/help.
std::string DefaultHelpFilePath();

// Opens `helpFile` at the anchor of `context` in the desktop's browser. False when the file does
// not exist or nothing could open it.
bool OpenHelpContext(const std::string& helpFile, int context);
