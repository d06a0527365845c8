#pragma once
// The memory RLIMIT_DATA counts, for the tests that give a decode, a conversion or a save just
// the room it may take.

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

// The process's data segment and private writable mappings in bytes (VmData).
inline std::size_t DataBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && line.rfind("VmData:", 0) != 0) {
    }
    return std::strtoull(line.c_str() + 7, nullptr, 10) * 1024;
}
