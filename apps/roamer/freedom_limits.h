#pragma once
// The view limits that follow from Roamer's "degrees of freedom" setting. Pure arithmetic: any
// thread, no state.

#include <array>

// Bits of the freedoms setting ("Freedoms" in the INI file).
enum FreedomFlags : int {
    kFreedomPan = 1,
    kFreedomTilt = 2,
    kFreedomRoll = 4,
    kFreedomZoom = 8,
    kFreedomUpsideDown = 16,
    kFreedomAll = 31,
};

// Pan min, pan max, tilt min, tilt max, roll min, roll max, FOV min, FOV max, in degrees: the
// order in which the engine's limits option takes them.
using FreedomRanges = std::array<int, 8>;

// The limits for `freedoms`. A disabled axis is fixed at 0 (a disabled zoom at a field of view
// of 60); tilt and roll stay within -90..90 unless upside-down viewing is enabled. The field of
// view of an enabled zoom runs 10..170: a view of 0 or 180 degrees cannot be drawn. Bits above
// 16 are ignored.
FreedomRanges FreedomLimits(int freedoms);

// Flips `bit` in `flags`.
void ToggleFlag(int& flags, int bit);
