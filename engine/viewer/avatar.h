#pragma once
// An avatar slot: an animated sprite standing in a box around the eye. The slot holds its
// fields; loading and drawing avatars are done elsewhere. The frame step moves slots that
// hold an image.

#include <cstdint>
#include <optional>
#include <vector>

class ViewerEngine;

// Remaps an 8-bit avatar block to the panorama's 256 colours (`panoramaColours`, blue, green,
// red, flag): transparent colours become index 0, the only transparent entry afterwards.
void MatchAvatarPalette(std::vector<std::uint8_t>& avatar, const std::uint8_t* panoramaColours);

class Avatar {
  public:
    void SetOwner(ViewerEngine* owner) { engine = owner; }
    bool HasImage() const { return !image.empty(); }

    // Slot operations. User-interface thread; each takes the owner's state lock (when the slot
    // has an owner) around what the render thread also reads. They return 0, or 1 when the
    // slot is empty, unless said otherwise.

    // Loads the avatar file at `path` (plain, or run-length coded "qzmv") into the slot with
    // its box at `atPosition` of `ofSize`, standing still on its first frame; the colours of
    // an 8-bit avatar over an 8-bit panorama are matched to the panorama's. A null path only
    // empties the slot (0). 1 when the file cannot be read or is not an avatar: the slot is
    // then empty.
    int Load(const char* path, const double atPosition[3], const double ofSize[3],
             std::int16_t visibleFlag);
    // Empties the slot. Always 0.
    int Unload();
    int ReleaseImage() { return Unload(); }
    int SetVisible(std::int16_t value);
    // 1 when the slot is empty; else 0 with the current frame column and row.
    int IsEmpty(std::int16_t* column, std::int16_t* row);
    int SetVelocity(double x, double y, double z);
    // A velocity given along the current view: right, forward and up. 1 also without owner.
    int SetViewVelocity(double right, double forward, double up);
    int SetSizeRate(double x, double y, double z);
    // Grid passes per second across (`a`) and down (`b`).
    int SetAnimationRate(double a, double b);

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
