#pragma once
// Decoding an image record (a panorama's "BTMP" section, or a whole bitmap or JFIF file) into a
// GlobalDib at the display's depth.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/global_dib.h"
#include "engine/imaging/record_reader.h"

// Decodes `record`: a bitmap file ("BM" and its 14-byte file header) or a bare information
// header (first 32-bit value 40) with plain (compression 0), bit-field (3) or codec-compressed
// pixels, or a JFIF stream (FF D8 FF E0). The result is bottom-up at ProbeDisplayDepth()'s depth
// (8-bit images stay 8-bit; see ConvertToDisplayDepth) and owned by the caller. Every header field
// is checked against the record's size before it is used. Any thread.
// Throws LoadError with the text shown behind the loader's own:
//   "Unsupported file fomat"            unknown record, a header that does not fit the record,
//                                        a depth other than 8, 16, 24 or 32, a JPEG that fails
//                                        (one over the picture ceiling or a panorama's sides
//                                        too, or one whose scans or warnings pass their bounds)
//   "File decompression failed; Codec: " + the compression field's four characters
//                                        the codec bridge has no codec for it or the codec failed
//   "MS Video for Windows not installed" the codec bridge cannot be used
//   "Insufficient system memory"        no memory for the image, or an image over the picture
//                                        ceiling or wider or taller than a panorama may be
//                                        (platform/picture_limits.h), refused from its header
//                                        before anything is allocated or decoded
GlobalDib DecompressImage(std::span<const std::uint8_t> record);

// Decodes a plain or bit-field bitmap record of `size` bytes as DecompressImage does, reading
// it through `read` band by band as the picture is made at the display's depth, so that the
// record is never held whole. `head` is the record's first bytes: at least its first
// kFileHeaderSize + kInfoHeaderSize bytes, or all of a shorter record. Returns nothing, having
// called `read` never, when the record is no plain or bit-field bitmap (a JFIF stream, a
// codec-compressed bitmap: DecompressImage decodes those from the whole record). Throws as
// DecompressImage; a read that fails is "Unsupported file fomat". Any thread.
std::optional<GlobalDib> DecompressBitmapStream(std::span<const std::uint8_t> head,
                                                std::uint64_t size, const RecordReader& read);

// Whether DecompressBitmapStream decodes the record of `size` bytes whose first bytes are `head`
// (as it takes them) through its reader: a plain or bit-field bitmap. False for any other record,
// which DecompressImage decodes from the whole record, and for a record too short for its
// headers, which both refuse alike. Any thread; never throws.
bool IsPlainBitmapRecord(std::span<const std::uint8_t> head, std::uint64_t size);
