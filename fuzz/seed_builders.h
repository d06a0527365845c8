#pragma once
// Inputs made with the project's own builders: the seed corpora of the fuzz targets (written by
// make_fuzz_seeds) and the panorama the action-text target clicks. Pure functions; any thread;
// may throw std::bad_alloc.

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::vector<std::uint8_t>;

// A bitmap file ("BM" and its file header, or only the information header when `fileHeader` is
// false) of a width x height colour ramp at 8 (grey colour table), 16 (5-5-5), 24 or 32 bits;
// a negative height stores the rows top-down.
Bytes RampBitmap(int width, int height, int bits, bool fileHeader = true);
// The ramp as an uncompressed true-colour Targa file (24 or 32 bits), its rows stored
// bottom-up, or top-down when `topFirst`.
Bytes RampTarga(int width, int height, int bits, bool topFirst);
// The ramp as a JFIF stream.
Bytes RampJpeg(int width, int height, int quality);
// The ramp as a bitmap record whose pixels the codec of `fourcc` compressed ("cvid", "msvc");
// empty when the codec bridge has no encoder for it.
Bytes RampCodecRecord(const char* fourcc, int width, int height);

// A container through SectionArchive holding the given sections in order.
Bytes Container(const std::vector<std::pair<std::string, Bytes>>& sections);
// The eight "INIT" values as the section's bytes.
Bytes InitBytes(std::int16_t s0, std::int16_t s1, std::int16_t s2, std::int16_t s3,
                std::int16_t heading, std::int16_t pitch, std::int16_t roll, std::int16_t fov);
// An "HSPT" section with one hotspot over the view's centre per action text.
Bytes HotspotBytes(const std::vector<std::string>& actions);
// A "FILE" section with the named files and their contents.
Bytes FileBytes(const std::vector<std::pair<std::string, std::string>>& files);
// A "NOTE" section whose fields are "field 0" to "field 9".
Bytes NoteBytes();

// An avatar file: a grid of frames in an 8-bit bitmap, run-length coded ("qzmv") when asked.
Bytes AvatarFile(int width, int height, int across, int down, bool runLength);

}  // namespace fuzz
