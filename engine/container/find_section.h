#pragma once
// Looks up one section of a panorama container held in a caller's memory block (the loader's
// path: the whole file read into memory).

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "engine/container/container_layout.h"

// The data of the first table entry whose name matches `name`, or an empty span when the block
// is no container (by `SniffDataType`), no entry matches, or the first match does not fit.
// Names compare on their first four characters, stopping at a NUL ("INIT" finds "INIT"; "ABC"
// does not find "ABC "). The walk never leaves the block: the table is read only as far as it
// lies inside the block, and a match whose data reaches past the block is treated as absent.
// A section of size 0 cannot be told from an absent one. The span points into `block`.
// Any thread.
std::span<const std::uint8_t> FindSection(std::string_view name,
                                          std::span<const std::uint8_t> block);

// The table entry FindSection takes for `name` in a container of `blockSize` bytes whose first
// bytes are `head` (at least its header and as much of its table as the block holds), or
// nothing where FindSection gives an empty span for a reason other than a section of size 0.
// Lets a reader find a section of a file without reading the file. Any thread.
std::optional<SectionEntry> FindSectionEntry(std::string_view name,
                                             std::span<const std::uint8_t> head,
                                             std::uint64_t blockSize);
