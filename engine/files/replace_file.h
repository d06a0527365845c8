#pragma once
// Writes a user's file without ever losing the old one: the bytes go to a new temporary file in
// the same folder, which is flushed to disk and then renamed over the target.

#include <cstdint>
#include <filesystem>
#include <span>

// Makes `target` hold exactly `bytes`. An existing target keeps its permissions; a symbolic
// link is followed and the file it names is replaced. Returns false when any step fails; the
// target is then as it was and no temporary file is left behind. Any thread; two writers of the
// same target at once leave one of the two contents.
bool ReplaceFileContents(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
