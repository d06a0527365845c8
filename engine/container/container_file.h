#pragma once
// Reading a panorama container file in parts: where its sections lie, and the sections a reader
// wants beside its image record, so that a large image record can be decoded from the file as it
// is read instead of being held whole. Any thread; the file is read by position, its own
// position left as it was.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/container/container_layout.h"
#include "platform/files.h"

// A container file's header and, for each name asked for, the table entry FindSection takes for
// that name in the whole file: nothing where FindSection gives an empty span for a reason other
// than a section of size 0.
struct ContainerFileSections {
    ContainerHeader header;
    std::vector<std::optional<SectionEntry>> entries;
};

// The sections named `names` (in that order) of the container file `file` of `fileSize` bytes.
// The table is read a piece at a time and only as far as a name is still unmatched, so a table
// that claims billions of entries costs a piece of memory, not its length. Nothing when the
// file is no container or cannot be read. May throw std::bad_alloc.
std::optional<ContainerFileSections> FindSectionsOfFile(const platform::File& file,
                                                        std::uint64_t fileSize,
                                                        std::span<const std::string_view> names);

// A container in memory that holds the version code of `header` and the `sections` found by
// FindSectionsOfFile (those of size 0 and absent ones left out), so that FindSection finds in it
// for each of their names the bytes it finds in the whole file. Nothing when a section cannot be
// read or the sections would not fit in one container. May throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> ReadSectionsOfFile(
    const platform::File& file, const ContainerHeader& header,
    std::span<const std::optional<SectionEntry>> sections);
