#pragma once
// Where the compressor's message boxes go. Every message is an OK box captioned "Compactor";
// the run goes on once it is answered. User-interface thread only.

#include <functional>
#include <string_view>

using MessageSink = std::function<void(std::string_view text)>;

// The program's own sink: the platform's message box, shown by the Qt backend when the program
// has a display, else written to standard error as "Compactor: " and the text, answered at once.
void ShowCompactorMessage(std::string_view text);
