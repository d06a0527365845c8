#pragma once
// The saver's output names. Pure functions; any thread.

#include <string>

namespace scenegrab {

struct OutputName {
    std::string baseName;   // the file name without its extension
    std::string extension;  // "" or a dot and one to four characters
};

// Splits off the extension: the last dot among the last five characters, when it lies after
// the last "/" (a dot in a folder's name is never taken for one).
OutputName SplitOutputName(const std::string& fileName);

// The file of panorama `counter`: in a sequence the base name, the counter in at least three
// digits and the extension (pano000.bmp, ..., pano999.bmp, pano1000.bmp); otherwise base
// name and extension.
std::string MakeOutputName(const OutputName& name, bool sequence, int counter);

}  // namespace scenegrab
