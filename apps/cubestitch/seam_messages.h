#pragma once
// Where Cubestitch's message boxes go. Every box is captioned "Cubestitch". The platform's box
// shows it on the display, or, in batch mode or without a windowing backend, writes
// "Cubestitch: text" to standard error and answers with the box's default button.
// User-interface thread only.

#include <cstdint>
#include <functional>
#include <string_view>

namespace cubestitch {

// Shows `text` as a box of `type` (platform MB_* flags) and returns the answer (platform ID*).
using AskUser = std::function<int(std::string_view text, std::uint32_t type)>;

// The program's own: platform::MessageBox with no owner and the caption "Cubestitch".
int ShowSeamMessage(std::string_view text, std::uint32_t type);

}  // namespace cubestitch
