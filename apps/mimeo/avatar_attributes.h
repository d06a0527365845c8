#pragma once
// The Attributes report of an avatar: what saving would write and what the picture holds.
// Pure functions, any thread.

#include <cstdint>
#include <string>

#include "engine/avatar_file/packed_dib.h"

// The bytes saving `image` would write: the coded size + 54 when the run-length code takes,
// else the plain pixels + 1078 (8 bits) or + 54.
std::uint64_t SavedFileSize(const PackedDib& image);

// The number of distinct palette indices among the pixels of an 8-bit picture as decimal
// text; "Not available" for other depths.
std::string ColoursUsedText(const PackedDib& image);

// The report shown under the caption "Avatar attributes"; `documentName` empty means the
// untitled document "Untitled.avt"; the name is shown as platform::PathForDisplay gives it. The
// image must be a well-formed PackedDib.
std::string AttributesText(const std::string& documentName, const PackedDib& image);
