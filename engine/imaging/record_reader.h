#pragma once
// How a decoder reads an image record it is not handed whole: by position, so that it can take
// the record's rows in whatever order it makes the picture in.

#include <cstdint>
#include <functional>
#include <span>

// Reads `into.size()` bytes of a record from byte `offset` of the record; false when the record
// does not hold them or they cannot be read. Never throws.
using RecordReader = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> into)>;
