#pragma once
// The ceiling on a bitmap's memory block and the overflow-checked size arithmetic that keeps a
// lying header below it. Pure functions, any thread.

#include <cstdint>

#include "platform/picture_limits.h"

// Largest block a bitmap may occupy: the suite's picture ceiling in bytes. Larger pictures are
// refused rather than allocated, so a lying header can never ask for an absurd allocation.
inline constexpr std::uint64_t kMaxBitmapBlockBytes = platform::kMaxPictureBytes;

// True when `value` is the product a x b and fits below `limit` (no wrap-around).
bool MultiplyWithin(std::uint64_t a, std::uint64_t b, std::uint64_t limit, std::uint64_t* value);
