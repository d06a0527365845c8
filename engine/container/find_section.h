#pragma once
// Looks up one section of a panorama container held in a caller's memory block (the loader's
// path: the whole file read into memory).

#include <cstdint>
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

// Whether FindSection takes a table entry named `stored` for `name`. Any thread.
bool SectionNameMatches(std::string_view name, const SectionName& stored);
