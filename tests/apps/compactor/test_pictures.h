#pragma once
// Test pictures and file helpers for the compressor's tests.

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/cdib.h"

// A 24-bit picture whose colour changes smoothly: blue = 4x, green = 2y, red = x + y (mod 256).
CDIB GradientPicture(int width, int height);

// The bytes of a file; empty when it cannot be read.
std::vector<std::uint8_t> FileBytes(const std::string& path);

// Little-endian values at `offset` of `bytes`.
std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::int16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// The mean absolute difference per channel between two 24-bit pictures of the same size.
double MeanDifference(const CDIB& a, const CDIB& b);
