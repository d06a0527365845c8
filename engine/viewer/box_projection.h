#pragma once
// Where a point or a box in the space around the eye lies in an engine's frame. The caller
// holds the engine's state lock (it passes the state) or knows that no frame runs.

struct ViewState;

// The frame point (rows from the bottom) of world point (x, y, z) in the state's current view,
// each coordinate held to +-2^30 (a point almost beside the eye keeps its side). False when it
// does not project (behind the viewer) or nothing is loaded.
bool ProjectViewPoint(const ViewState& state, double x, double y, double z, int* frameX,
                      int* frameY);

// Projects the eight corners of the box centre +- size/2 with the current view and gives the
// smallest and largest x and y (frame rows, counted from the bottom). False when a corner
// does not project (behind the viewer).
bool ProjectBox(const ViewState& state, const double centre[3], const double size[3], int* x0,
                int* y0, int* x1, int* y1);
