#pragma once
// Where Tab turns the view for a hotspot: the centre of its rectangle in heading and pitch,
// taken the short way round when the rectangle spans 0 degrees. Pure arithmetic; any thread.

#include "apps/linksmith/hotspot_record.h"

// `degrees` brought into [0, 360).
double WrapDegrees360(double degrees);
// `degrees` brought into (-180, 180] by steps of 360.
double WrapDegrees180(double degrees);

struct SwingTarget {
    double heading = 0;  // [0, 360)
    double pitch = 0;    // [0, 360)
};

// The centre of the record's rectangle, each angle in [0, 360).
SwingTarget HotspotCentre(const HotspotRecord& record);

// Whether the view at (pan, tilt) is more than 10 degrees away from the target in heading or in
// pitch, both measured in [0, 360).
bool NeedsSwing(const SwingTarget& target, double pan, double tilt);
