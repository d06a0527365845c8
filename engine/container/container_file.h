#pragma once
// Reading a panorama container file in parts: its table, and the sections a reader wants beside
// its image record, so that a large image record can be decoded from the file as it is read
// instead of being held whole. Any thread; the file is read by position, its own position left
// as it was.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/files.h"

// The first bytes of the container file `file` of `fileSize` bytes: its 16-byte header and its
// table, or as much of the table as the file holds (FindSectionEntry then finds in them what
// FindSection finds in the whole file). Nothing when the file is no container or cannot be
// read.
std::optional<std::vector<std::uint8_t>> ReadContainerTable(const platform::File& file,
                                                            std::uint64_t fileSize);

// A container in memory that holds the file's version code and, for each of `names`, the
// section FindSection finds under that name in the whole file (sections of size 0 and absent
// ones left out), so that FindSection finds the same bytes in it for each of `names`. `table`
// is what ReadContainerTable gave. Nothing when a section cannot be read or the sections would
// not fit in one container. May throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> ReadSectionsOfFile(
    const platform::File& file, std::span<const std::uint8_t> table, std::uint64_t fileSize,
    std::span<const std::string_view> names);
