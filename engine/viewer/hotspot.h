#pragma once
// A hotspot as the engine keeps it: a box in the space around the eye with an action text.
// The loader fills every field; the hit test, the cursor rule and the action runner read it.

#include <cstdint>
#include <optional>
#include <string>

class ViewerEngine;

class Hotspot {
  public:
    Hotspot() = default;
    Hotspot(const Hotspot&) = delete;
    Hotspot& operator=(const Hotspot&) = delete;

    void SetOwner(ViewerEngine* owner) { engine = owner; }
    int SetActive(std::int16_t value);
    // Replaces the action text with a copy of `text` (null: no text).
    void SetTarget(const char* text);
    // Copies at most `length` characters of the action text into `buffer` as strncpy does:
    // padded with zeros when shorter, not terminated when it has `length` or more. Returns 0.
    int GetTarget(char* buffer, std::int16_t length) const;
    // The box's window rectangle (y downwards). 0 when the whole box projects into the frame;
    // 1 (outputs untouched) when a corner is behind the viewer or outside the frame. Takes the
    // owner's state lock.
    int GetScreenRect(int* left, int* top, int* right, int* bottom) const;
    // The box's centre and size, read under the owner's lock. Return 0.
    int GetCentre(double* x, double* y, double* z) const;
    int GetSize(double* x, double* y, double* z) const;

    double centre[3] = {0, 0, 0};
    double size[3] = {0, 0, 0};
    // The action text; none reads as the empty text.
    std::optional<std::string> target;
    std::int16_t active = 0;
    ViewerEngine* engine = nullptr;
};
