#pragma once
// How a request for frames changes the frames still to run.

#include <cstdint>

// Given the frames still to run (`current`: -1 endless, 0 none, n) and a request of `frames`
// (0 one redraw, negative endless, n), sets `*next` and returns true when the render thread
// is to be woken; false when an endless run simply goes on (nothing to do).
bool NextFramesToRun(std::int32_t current, int frames, std::int32_t* next);
