#pragma once

// A cache hint for the render kernels.

#include <cstdint>

// Asks the processor to start loading the cache line holding `address`. Only a hint: the
// address need not be valid and is never dereferenced.
inline void PrefetchLine(std::uintptr_t address) {
#if defined(__GNUC__)
    __builtin_prefetch(reinterpret_cast<const void*>(address));
#else
    static_cast<void>(address);
#endif
}
