#pragma once
// Where the compressor's message boxes go. Every message is an OK box captioned "Compactor";
// the run goes on once it is answered. User-interface thread only.

#include <functional>
#include <string_view>

using MessageSink = std::function<void(std::string_view text)>;

// The program's own sink: a message box when the program has a display, else "Compactor: "
// and the text on standard error, answered at once.
void ShowCompactorMessage(std::string_view text);
