#pragma once
// The hotspot editor's own hotspots: a rectangle in heading and pitch with its action text, and
// the window rectangle it was last drawn at. Records are plain values, copied whole.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "engine/container/hotspot_section.h"

struct HotspotRecord {
    double heading1 = 0;  // top-left corner as drawn, degrees
    double heading2 = 0;  // bottom-right corner as drawn
    double pitch1 = 0;
    double pitch2 = 0;
    // The window rectangle of the last successful projection (left <= right, top <= bottom).
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::string description;  // the action text
};

// The hotspots of the open panorama in file order, which is also the drawing order.
using HotspotArray = std::vector<HotspotRecord>;

// The most hotspots a panorama file can count, and the longest description the editor reads.
inline constexpr std::size_t kMaxHotspots = kMaxSectionHotspots;
inline constexpr std::size_t kMaxDescriptionLength = 2047;

// The joints between the commands of an action text: stored (and in the file) and as the
// define dialog shows them, one command a line.
inline constexpr const char* kStoredJoint = ";  ";
inline constexpr const char* kDialogJoint = ";\r\n";
// Every joint of one form, from the start, turned into the other.
std::string ToDialogLines(const std::string& stored);
std::string ToStoredText(const std::string& lines);
// `lines` (either form) with each of `paths` added as a command of its own, after the joint
// when something comes before it, in order, while the whole still fits in
// kMaxDescriptionLength bytes: the first path that does not fit is left out with those after
// it, so that no command is cut. When `lines` or a path is not UTF-8, the whole comes in UTF-8
// (platform/stored_text.h); `lines` comes back as given when nothing is added.
std::string AppendCommands(std::string lines, std::span<const std::string> paths);

// The section's form of a record (angles narrowed to float) and back (no window rectangle yet;
// a description longer than kMaxDescriptionLength is cut there, on a character boundary of
// its reading, platform/stored_text.h).
SectionHotspot ToSectionHotspot(const HotspotRecord& record);
HotspotRecord FromSectionHotspot(const SectionHotspot& hotspot);

// The bounds of a set of window points, each axis on its own. The caller passes at least one
// point.
struct IntPoint {
    int x = 0;
    int y = 0;
    bool operator==(const IntPoint&) const = default;
};
IntPoint MinOfPoints(std::span<const IntPoint> points);
IntPoint MaxOfPoints(std::span<const IntPoint> points);
