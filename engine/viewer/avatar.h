#pragma once
// Avatar slots: animated sprites standing in a box around the eye.
//
// An engine keeps the fields of its slots (`AvatarSlot`) inside its guarded view state, where
// the render thread moves and draws them; callers reach a slot through an `Avatar` handle
// (ViewerEngine::GetAvatar), whose operations take the owner's state lock around every field
// they read or write, and which hands out copies, never the fields themselves. A handle made
// without an owner keeps a slot of its own (for tools and tests that need no engine).

#include <cstdint>
#include <vector>

class ViewerEngine;
class OwnerLock;

// Remaps an 8-bit avatar block to the panorama's 256 colours (`panoramaColours`, blue, green,
// red, flag): transparent colours become index 0, the only transparent entry afterwards.
void MatchAvatarPalette(std::vector<std::uint8_t>& avatar, const std::uint8_t* panoramaColours);

// The fields of one slot.
struct AvatarSlot {
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
};

class Avatar {
  public:
    // A handle with a slot of its own.
    Avatar() = default;
    // A handle of slot `index` of `owner`'s view state. A slot the owner does not have (no
    // panorama loaded, or fewer slots) reads as empty and takes no change.
    Avatar(ViewerEngine& owner, std::int16_t index) : engine_(&owner), index_(index) {}

    // Slot operations. User-interface thread; each takes the owner's state lock (when the
    // handle has an owner) for the whole operation. They return 0, or 1 when the slot is
    // empty, unless said otherwise.

    // Whether the slot holds an image.
    bool HasImage() const;
    // Loads the avatar file at `path` (plain, or run-length coded "qzmv") into the slot with
    // its box at `atPosition` of `ofSize`, standing still on its first frame; the colours of
    // an 8-bit avatar over an 8-bit panorama are matched to the panorama's. A null path only
    // empties the slot (0). 1 when the file cannot be read or is not an avatar, or when its
    // grid has more columns or rows than its picture has pixels: the slot is then empty. The
    // file is read without the lock.
    int Load(const char* path, const double atPosition[3], const double ofSize[3],
             std::int16_t visibleFlag);
    // Empties the slot. Always 0.
    int Unload();
    int ReleaseImage() { return Unload(); }
    int SetVisible(std::int16_t value);
    // 1 when the slot is empty; else 0 with the current frame column and row, truncated (at
    // most 32767).
    int IsEmpty(std::int16_t* column, std::int16_t* row);
    int SetVelocity(double x, double y, double z);
    // A velocity given along the current view: right, forward and up. 1 also without owner.
    int SetViewVelocity(double right, double forward, double up);
    int SetSizeRate(double x, double y, double z);
    // Grid passes per second across (`a`) and down (`b`).
    int SetAnimationRate(double a, double b);
    // A copy of the slot's fields as they are now (an empty slot's when it does not exist).
    AvatarSlot Snapshot() const;

  private:
    // The slot under `lock` (the owner's) or the handle's own; null when the owner has no
    // such slot.
    AvatarSlot* SlotIn(const OwnerLock& lock);
    const AvatarSlot* SlotIn(const OwnerLock& lock) const;
    // Runs `use` on the slot under the lock when it holds an image: 0; else 1.
    template <class Use>
    int WithLoadedSlot(Use use);

    ViewerEngine* engine_ = nullptr;
    std::int16_t index_ = 0;
    // The slot of a handle without an owner.
    AvatarSlot own_;
};
