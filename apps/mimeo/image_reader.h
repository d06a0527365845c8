#pragma once
// Reading the pictures Mimeo builds avatars from: Targa files (uncompressed true colour),
// bitmap files and avatar files, each into a PackedDib. User-interface thread or any other;
// calls share no state.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "engine/avatar_file/packed_dib.h"

// The outcome of a read: the picture, or the text to show the user (empty on success).
struct ImageRead {
    PackedDib image;
    std::string error;
};

// Whether `path` names an avatar file: its file name (not its folder) contains ".avt" in any
// case.
bool IsAvatarFileName(const std::string& path);

// Reads the picture at `path`. The kind is told by the first bytes: 00 00 02 00 starts a Targa
// file (accepted when its header has no identification field and no colour map, image type 2,
// origin 0, a size, 24 or 32 bits and at most 8 alpha bits; rows first-to-last or top-first);
// "BM" starts an avatar file (when IsAvatarFileName or its pixels are run-length coded) or a
// bitmap file (uncompressed 24 or 32 bits with rows bottom-up; its padded rows are unpadded).
// A 32-bit Targa's alpha (opacity) becomes the avatar's fourth byte as an amount of
// transparency, 255 - alpha, as the viewer draws it; without alpha bits its pixels are opaque
// (0). Avatar files keep their bytes as stored.
// The picture's depth must be one of `allowedDepths`. Failures, with nothing returned:
// "Invalid or Corrupt File: <path>" for an unknown kind, a refused header, a file shorter than
// the picture it claims or an unknown compression; then "Insufficient System Memory" for a
// picture over the avatar cap (a Targa or "BM" file too big for any picture within it is refused
// so without being read) or when the memory cannot be had; "Invalid BitMap Color Depth:
// <path>". The path in a failure text is shown as platform::PathForDisplay gives it.
ImageRead ReadImageFile(const std::string& path, std::initializer_list<int> allowedDepths);

// ReadImageFile on a file already read: `file` is its whole content, `path` names it (for the
// kind of file and the failure texts). The same failures, without reading anything.
ImageRead ReadImageData(std::span<const std::uint8_t> file, const std::string& path,
                        std::initializer_list<int> allowedDepths);
