#pragma once
// Finding the file a stored text names (a hotspot action's target, an avatar's sound). Texts
// from the original platform hold Windows-1252 bytes, and a tour copied to a system whose file
// names are UTF-8 names its files in their UTF-8 form; a text the user changed is stored as
// UTF-8 (platform/stored_text.h) while the files it named, embedded files among them, keep
// their Windows-1252 names. Any thread.

#include <functional>
#include <string>

namespace platform {

// The name under which `exists` finds what the stored name `stored` names: `stored` itself
// when it is found; else its other form when that is found: for a name that is not UTF-8 its
// UTF-8 form (read as Windows-1252), for a UTF-8 name its Windows-1252 bytes when the code page
// has every character of it. `stored` when neither is found.
std::string FindStoredFileName(const std::string& stored,
                               const std::function<bool(const std::string&)>& exists);
// The same, looking for a file or folder at the path (relative to the current directory).
std::string FindStoredFileName(const std::string& stored);
// The same for a stored command line, looking for the program its first word names as WinExec
// does (platform/program_launcher.h); the arguments come in the same encoding.
std::string FindStoredCommandLine(const std::string& stored);

}  // namespace platform
