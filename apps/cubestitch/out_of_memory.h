#pragma once
// What Cubestitch does when memory runs out: it says "Your system has run out of virtual
// memory.  This program will now terminate." and ends the process with kOutOfMemoryStatus.

namespace cubestitch {

inline constexpr int kOutOfMemoryStatus = 3;

// Makes a failing operator new call the handler above. Call once, early in main.
void InstallOutOfMemoryHandler();

}  // namespace cubestitch
