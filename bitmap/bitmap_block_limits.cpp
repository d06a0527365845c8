#include "bitmap/bitmap_block_limits.h"

bool MultiplyWithin(std::uint64_t a, std::uint64_t b, std::uint64_t limit, std::uint64_t* value) {
    if (a != 0 && b > limit / a)
        return false;
    *value = a * b;
    return *value <= limit;
}
