#pragma once
// The memory RLIMIT_DATA counts, for the tests that give a decode, a conversion or a save just
// the room it may take, and the peak that a run reached.

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

// A field of /proc/self/status given in kB ("VmData:"), in bytes.
inline std::size_t StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && line.rfind(field, 0) != 0) {
    }
    return std::strtoull(line.c_str() + field.size(), nullptr, 10) * 1024;
}

// The process's data segment and private writable mappings in bytes (VmData).
inline std::size_t DataBytes() {
    return StatusBytes("VmData:");
}

// The process's peak resident size in bytes (VmHWM; a forked child's starts at its size).
inline std::size_t PeakResidentBytes() {
    return StatusBytes("VmHWM:");
}
