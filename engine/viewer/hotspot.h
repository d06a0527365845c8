#pragma once
// Hotspots as the engine keeps them: boxes in the space around the eye with an action text.
//
// The loader fills the fields of each (`HotspotSlot`) inside the engine's guarded view state,
// where the hit test, the cursor rule and the projection read them; callers reach a hotspot
// through a `Hotspot` handle (ViewerEngine::GetHotspot), whose operations take the owner's
// state lock around every field they read or write and hand out copies, never the fields. A
// handle made without an owner keeps a hotspot of its own, which never projects.

#include <cstdint>
#include <optional>
#include <string>

class ViewerEngine;
class OwnerLock;

// The fields of one hotspot.
struct HotspotSlot {
    double centre[3] = {0, 0, 0};
    double size[3] = {0, 0, 0};
    // The action text; none reads as the empty text.
    std::optional<std::string> target;
    std::int16_t active = 0;
};

class Hotspot {
  public:
    // A handle with a hotspot of its own.
    Hotspot() = default;
    // A handle of hotspot `index` of `owner`'s view state. A hotspot the owner does not have
    // (no panorama loaded, or fewer hotspots) reads as an empty, inactive box at the eye and
    // takes no change.
    Hotspot(ViewerEngine& owner, std::int16_t index) : engine_(&owner), index_(index) {}

    // User-interface thread (or the render thread inside a draw callback); each takes the
    // owner's state lock (when the handle has an owner) for the whole operation.
    int SetActive(std::int16_t value);
    // Replaces the action text with a copy of `text` (null: no text).
    void SetTarget(const char* text);
    // Copies at most `length` characters of the action text into `buffer` as strncpy does:
    // padded with zeros when shorter, not terminated when it has `length` or more. Returns 0.
    int GetTarget(char* buffer, std::int16_t length) const;
    // The box's window rectangle (y downwards). 0 when the whole box projects into the frame;
    // 1 (outputs untouched) when a corner is behind the viewer or outside the frame.
    int GetScreenRect(int* left, int* top, int* right, int* bottom) const;
    // The box's centre and size. Return 0.
    int GetCentre(double* x, double* y, double* z) const;
    int GetSize(double* x, double* y, double* z) const;
    // A copy of the hotspot's fields as they are now.
    HotspotSlot Snapshot() const;

  private:
    // The hotspot under `lock` (the owner's) or the handle's own; null when the owner has no
    // such hotspot.
    HotspotSlot* SlotIn(const OwnerLock& lock);
    const HotspotSlot* SlotIn(const OwnerLock& lock) const;

    ViewerEngine* engine_ = nullptr;
    std::int16_t index_ = 0;
    // The hotspot of a handle without an owner.
    HotspotSlot own_;
};
