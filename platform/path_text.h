#pragma once
// File names shown as text. Linux file names are bytes, and names from old archives are often
// not UTF-8 (a Windows-1252 "caf\xe9.pan"), so the suite keeps every path as the bytes it was
// given and turns it into text only to show it. Any thread.

#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace platform {

// `path` as UTF-8 text for people: its well-formed UTF-8 sequences as they stand, every other
// byte as "\x" and two lower-case hex digits, so the name "caf\xe9.pan" reads `caf\xe9.pan`.
// For showing only: the text is no path to hand back to the file system.
std::string PathForDisplay(std::string_view path);

}  // namespace platform
