#pragma once
// Where a box in the space around the eye lies in the engine's frame.

class ViewerEngine;

// Projects the eight corners of the box centre +- size/2 with the engine's current view and
// gives the smallest and largest x and y (frame rows, counted from the bottom). False when a
// corner does not project (behind the viewer). The caller holds the engine's lock or knows
// that no frame runs.
bool ProjectBox(const ViewerEngine& engine, const double centre[3], const double size[3], int* x0,
                int* y0, int* x1, int* y1);
