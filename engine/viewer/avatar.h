#pragma once
// An avatar slot: an animated sprite standing in a box around the eye. The slot holds its
// fields; loading and drawing avatars are done elsewhere. The frame step moves slots that
// hold an image.

#include <cstdint>
#include <vector>

class ViewerEngine;

class Avatar {
public:
    void SetOwner(ViewerEngine* owner) { engine = owner; }
    bool HasImage() const { return !image.empty(); }

    // The unpacked avatar (header, colours, rows); empty = empty slot.
    std::vector<std::uint8_t> image;
    std::int32_t framesAcross = 1;
    std::int32_t framesDown = 1;
    std::int16_t visible = 0;
    double size[3] = {0, 0, 0};
    double sizeRate[3] = {0, 0, 0};
    double position[3] = {0, 0, 0};
    double velocity[3] = {0, 0, 0};
    double frameColumn = 0;
    double frameRow = 0;
    double columnRate = 0;
    double rowRate = 0;
    ViewerEngine* engine = nullptr;
};
