// Avatar slots: loading an avatar file (plain or run-length coded), matching its colours to an
// 8-bit panorama, and the setters that move and animate it.

#include "engine/viewer/avatar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "engine/avatar_file/avatar_file.h"
#include "engine/viewer/owner_lock.h"
#include "platform/dib_header.h"

namespace {

// An avatar file keeps its grid of animation frames where a bitmap keeps its resolution.
std::int32_t FramesAcross(const platform::BitmapInfoHeader& header) {
    return header.biXPelsPerMeter;
}
std::int32_t FramesDown(const platform::BitmapInfoHeader& header) {
    return header.biYPelsPerMeter;
}

}  // namespace

void MatchAvatarPalette(std::vector<std::uint8_t>& avatar, const std::uint8_t* panoramaColours) {
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(avatar.data());
    std::uint8_t* colours = avatar.data() + platform::kInfoHeaderSize;
    std::uint8_t mapping[256] = {0};
    for (int i = 1; i < 256; ++i) {
        int best = 3 * 255 * 255;
        for (int j = 1; j < 256; ++j) {
            int distance = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = colours[4 * i + c] - panoramaColours[4 * j + c];
                distance += d * d;
            }
            if (distance < best) {
                best = distance;
                mapping[i] = static_cast<std::uint8_t>(j);
            }
        }
    }
    const std::size_t pixels =
        static_cast<std::size_t>(header.biWidth) * static_cast<std::size_t>(header.biHeight);
    std::uint8_t* p = avatar.data() + kHeaderAndPalette;
    for (std::size_t k = 0; k < pixels; ++k) {
        p[k] = colours[4 * p[k] + 3] == 0xFF ? 0 : mapping[p[k]];
    }
    std::memcpy(colours, panoramaColours, kPaletteBytes);
    colours[3] = 0xFF;
    for (int i = 1; i < 256; ++i)
        colours[4 * i + 3] = 0;
}

AvatarSlot* Avatar::SlotIn(const OwnerLock& lock) {
    return const_cast<AvatarSlot*>(std::as_const(*this).SlotIn(lock));
}

const AvatarSlot* Avatar::SlotIn(const OwnerLock& lock) const {
    const ViewState* state = lock.State();
    if (state == nullptr)
        return &own_;
    if (index_ < 0 || index_ >= state->avatarSlotCount || !state->avatars)
        return nullptr;
    return &state->avatars[static_cast<std::size_t>(index_)];
}

template <class Use>
int Avatar::WithLoadedSlot(Use use) {
    const OwnerLock lock(engine_);
    AvatarSlot* slot = SlotIn(lock);
    if (slot == nullptr || !slot->HasImage())
        return 1;
    use(*slot);
    return 0;
}

bool Avatar::HasImage() const {
    const OwnerLock lock(engine_);
    const AvatarSlot* slot = SlotIn(lock);
    return slot != nullptr && slot->HasImage();
}

AvatarSlot Avatar::Snapshot() const {
    const OwnerLock lock(engine_);
    const AvatarSlot* slot = SlotIn(lock);
    return slot != nullptr ? *slot : AvatarSlot{};
}

int Avatar::Load(const char* path, const double atPosition[3], const double ofSize[3],
                 std::int16_t visibleFlag) {
    Unload();
    if (path == nullptr)
        return 0;
    AvatarRead read = ReadAvatarFile(path);
    if (read.fault != AvatarFault::None)
        return 1;
    PackedDib& block = read.image;
    const platform::BitmapInfoHeader header = HeaderOf(block);
    // A grid with more columns or rows than the picture has pixels has empty cells only.
    const std::int32_t across = std::max(FramesAcross(header), 1);
    const std::int32_t down = std::max(FramesDown(header), 1);
    if (across > header.biWidth || down > header.biHeight)
        return 1;
    const OwnerLock lock(engine_);
    AvatarSlot* slot = SlotIn(lock);
    if (slot == nullptr)
        return 1;
    const ViewState* state = lock.State();
    if (state != nullptr && state->image && state->image.Header().biBitCount == 8 &&
        header.biBitCount == 8) {
        MatchAvatarPalette(block, state->image.Colours());
    }

    slot->visible = visibleFlag;
    for (int i = 0; i < 3; ++i) {
        slot->size[i] = ofSize[i];
        slot->position[i] = atPosition[i];
        slot->velocity[i] = 0;
        slot->sizeRate[i] = 0;
    }
    slot->frameColumn = slot->frameRow = slot->columnRate = slot->rowRate = 0;
    slot->framesAcross = across;
    slot->framesDown = down;
    slot->image = std::move(block);
    return 0;
}

int Avatar::Unload() {
    const OwnerLock lock(engine_);
    if (AvatarSlot* slot = SlotIn(lock))
        slot->image.clear();
    return 0;
}

int Avatar::SetVisible(std::int16_t value) {
    return WithLoadedSlot([&](AvatarSlot& slot) { slot.visible = value; });
}

int Avatar::IsEmpty(std::int16_t* column, std::int16_t* row) {
    // The frame step keeps a position in 0 .. its count; a grid wider than the 16-bit range
    // reads as the range's end there.
    auto truncated = [](double position) {
        constexpr double kLast = std::numeric_limits<std::int16_t>::max();
        return static_cast<std::int16_t>(position >= 0 ? std::min(position, kLast) : 0.0);
    };
    return WithLoadedSlot([&](const AvatarSlot& slot) {
        *column = truncated(slot.frameColumn);
        *row = truncated(slot.frameRow);
    });
}

int Avatar::SetVelocity(double x, double y, double z) {
    return WithLoadedSlot([&](AvatarSlot& slot) {
        slot.velocity[0] = x;
        slot.velocity[1] = y;
        slot.velocity[2] = z;
    });
}

int Avatar::SetSizeRate(double x, double y, double z) {
    return WithLoadedSlot([&](AvatarSlot& slot) {
        slot.sizeRate[0] = x;
        slot.sizeRate[1] = y;
        slot.sizeRate[2] = z;
    });
}

int Avatar::SetAnimationRate(double a, double b) {
    return WithLoadedSlot([&](AvatarSlot& slot) {
        slot.columnRate = slot.framesAcross * a;
        slot.rowRate = slot.framesDown * b;
    });
}

int Avatar::SetViewVelocity(double right, double forward, double up) {
    if (engine_ == nullptr)
        return 1;
    double p = 0, t = 0, r = 0, f = 0;
    engine_->GetView(&p, &t, &r, &f);
    const double pi = 2 * std::acos(0.0);
    const double h = -p * pi / 180;
    const double v = t * pi / 180;
    return WithLoadedSlot([&](AvatarSlot& slot) {
        slot.velocity[0] = right * std::cos(h) + forward * std::cos(v) * std::sin(h) -
                           up * std::sin(v) * std::sin(h);
        slot.velocity[1] = -right * std::sin(h) + forward * std::cos(v) * std::cos(h) -
                           up * std::sin(v) * std::cos(h);
        slot.velocity[2] = forward * std::sin(v) + up * std::cos(v);
    });
}
