#pragma once
// Shared set-up of the fuzz targets: each target runs with a lowered picture ceiling (so that
// inputs at the ceiling stay quick; the ceiling's logic is the same), with a private temporary
// and configuration folder, and with stdin from /dev/null, so that no input can make a target
// read a terminal or leave files behind.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fuzz {

// The ceiling every target decodes under: 4 Mi pixels, 16 MiB. The runner's -malloc_limit_mb
// (64) then catches any allocation that a decode path makes without asking the ceiling.
inline constexpr std::uint64_t kFuzzPixels = std::uint64_t{1} << 22;
inline constexpr std::uint64_t kFuzzBytes = std::uint64_t{1} << 24;

// Once per process: the lowered ceiling, a fresh private folder as TMPDIR, XDG_CONFIG_HOME
// (its "config" subfolder) and XDG_RUNTIME_DIR, stdin from /dev/null. Gives the folder, which
// is removed when the process exits.
const std::string& PrepareProcess();

// Makes the folder that was current at start current again (an input may have changed it).
void ReturnHome();

std::span<const std::uint8_t> Input(const std::uint8_t* data, std::size_t size);

// A command line from the input: the program's name (empty) and then one argument per
// NUL-separated piece.
std::vector<std::string> CommandLine(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
