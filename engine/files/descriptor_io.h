#pragma once
// Whole reads and writes over POSIX file descriptors: retried on interruption and on partial
// transfers. Any thread; the descriptor stays open and owned by the caller.

#include <cstdint>
#include <span>

// Fills `into` completely; false on end of file first or on an error (how much of `into` was
// filled is then unspecified).
bool ReadExactly(int fd, std::span<std::uint8_t> into);

// Writes all of `bytes`; false on an error (part of them may have been written).
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);
