#pragma once
// The seam's output size, kept in the calling program's settings (section "Seam", values
// "Width" and "Height"). User-interface thread (QSettings is not shared between threads).

#include <QSettings>

struct SeamSize {
    int width = 2048;
    int height = 1024;
};

// Sizes the seam accepts: multiples of 16 from 16 to 16384.
bool IsValidSeamDimension(int value);

// Reads the size; a value that is missing, not a whole number or not a valid dimension gives
// its default (2048 wide, 1024 high).
SeamSize ReadSeamSize(QSettings& settings);
