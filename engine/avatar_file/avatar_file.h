#pragma once
// Avatar files (.avt): a bitmap file whose 14-byte file header ("BM", file size, two reserved
// words 0, pixel offset) is followed by a PackedDib laid out as in memory, with these
// differences: an 8-bit picture may be run-length coded (biBitCount 16, biCompression "qzmv",
// see avatar_run_length.h), and 24- and 32-bit rows are stored unpadded as in memory. The grid
// of frames lives in biXPelsPerMeter (columns) and biYPelsPerMeter (rows). File size = 54 +
// data size; data size = 1024 + width x height for plain 8 bits, 2 x N + 1024 coded,
// width x height x 3 (or 4) otherwise; pixel offset 1078 for 8 bits (coded or not), else 54.
// Any thread; calls share no state.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/avatar_file/packed_dib.h"

// Why an avatar file was refused.
enum class AvatarFault {
    None,
    Corrupt,  // unreadable, cut short, sizes that do not add up, an unknown compression
    Depth,    // plain pixels of a depth other than 8, 24 or 32
};

struct AvatarRead {
    PackedDib image;  // empty unless `fault` is None
    AvatarFault fault = AvatarFault::None;
};

// The picture in the bytes of an avatar file: coded pixels come back expanded to 8 bits, plain
// ones as stored. The file-size field must lie between 54 and the real length (what lies
// behind it is ignored) and must cover what the header describes; the pixel-offset field and
// the type bytes are not looked at.
AvatarRead ParseAvatarFile(std::span<const std::uint8_t> file);

// ParseAvatarFile on the file at `path`; Corrupt when it cannot be opened or read.
AvatarRead ReadAvatarFile(const std::string& path);

// The bytes of the avatar file for `image`: an 8-bit picture is coded when RleCompress gives a
// block, else stored plain; the header is written as the image holds it. Nothing when the image
// is not a well-formed PackedDib or is too big for the file's 32-bit sizes.
std::optional<std::vector<std::uint8_t>> EncodeAvatarFile(const PackedDib& image);

// Writes the bytes of EncodeAvatarFile(image) to `path` in chunks (platform::ChunkedFile) into
// the temporary file of platform::SaveFileSafely, which replaces the target only once it is
// complete: the file header, then the coded block or the picture's own block as it lies in
// memory, so no copy of the file is made. False, with the target as it was, when the image
// cannot be encoded, the target may not be written (a read-only file, a folder the user may not
// write) or any step of the write fails.
bool WriteAvatarFile(const std::string& path, const PackedDib& image);
