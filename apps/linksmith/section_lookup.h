#pragma once
// Finds the sections that the hotspot editor edits straight in a panorama file opened with
// stdio, without reading the whole container into memory. Any thread, one stream per call.

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "engine/container/data_type_sniff.h"

// The kind of file by its first four bytes: "BM" in the first two gives Bitmap; otherwise
// FF D8 FF E0 gives Jpeg; otherwise "HVXK" gives Container; anything else, a file shorter than
// four bytes included, gives None. The stream is left at its start.
DataTypeCode SniffFileType(std::FILE* stream);

// The size of the first table entry named `tag` (four characters, case counts), with the stream
// left at the first byte of its data; 0 with the stream at its start when the file is no
// container, no entry has the name, or the entry found does not lie wholly inside the file.
// The walk stops at the end of the file or at the first entry that cannot be read whole.
// A section of size 0 cannot be told from an absent one.
std::uint32_t FindSectionInFile(std::FILE* stream, std::string_view tag);
