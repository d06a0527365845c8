#pragma once
// The list of files an avatar is built from, as the Open dialog's selection, a drop or the
// command line gives it: full paths. Pure functions, any thread.

#include <string>
#include <vector>

// The most frames one avatar holds.
inline constexpr std::size_t kMaxFrames = 1023;

// Puts `paths` into frame order: by file name, compared byte by byte (so "C.bmp" comes before
// "a.bmp"), paths with equal names by their folders. Frame k is the k-th path afterwards.
void SortFrameFiles(std::vector<std::string>& paths);

// The folder part of `path` (without the final "/"), where the Open dialog starts next time.
std::string FolderOf(const std::string& path);
