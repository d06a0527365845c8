#pragma once
// Decoding a plain or bit-field bitmap record (a panorama's image record or a bitmap file)
// straight to the display's depth, its rows read from the record band by band as the picture is
// made: neither the record nor a picture at the record's own depth is ever held beside the
// picture made. Any thread.

#include <cstddef>
#include <cstdint>

#include "engine/imaging/global_dib.h"
#include "engine/imaging/record_reader.h"

// Decodes the record of `recordSize` bytes whose information header `header` (plain or bit-field
// compression) lies at byte `bodyOffset` of it (14 behind a file header, else 0), reading it
// through `read`, at `depth` (ProbeDisplayDepth's). The result is what DecompressImage gives
// for the whole record: bottom-up, converted as ConvertToDisplayDepth converts, owned by the
// caller. Throws LoadError with DecompressImage's texts ("Unsupported file fomat" for a header
// that does not fit the record and for a read that fails; "Insufficient system memory" for a
// picture over the ceiling, refused before anything is read, or memory that cannot be had).
GlobalDib DecodeBitmapRecord(const platform::BitmapInfoHeader& header, std::uint64_t bodyOffset,
                             std::uint64_t recordSize, const RecordReader& read, int depth);

// The rows of a record's header: the magnitude of its height. Throws LoadError "Unsupported file
// fomat" for a width not above 0 or a height of 0 or without a magnitude.
std::size_t RecordRowCount(const platform::BitmapInfoHeader& header);
