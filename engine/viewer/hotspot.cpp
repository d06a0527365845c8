#include "engine/viewer/hotspot.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "engine/viewer/box_projection.h"
#include "engine/viewer/owner_lock.h"

HotspotSlot* Hotspot::SlotIn(const OwnerLock& lock) {
    return const_cast<HotspotSlot*>(std::as_const(*this).SlotIn(lock));
}

const HotspotSlot* Hotspot::SlotIn(const OwnerLock& lock) const {
    const ViewState* state = lock.State();
    if (state == nullptr)
        return &own_;
    if (index_ < 0 || index_ >= state->hotspotCount || !state->hotspots)
        return nullptr;
    return &state->hotspots[static_cast<std::size_t>(index_)];
}

int Hotspot::SetActive(std::int16_t value) {
    const OwnerLock lock(engine_);
    if (HotspotSlot* slot = SlotIn(lock))
        slot->active = value;
    return 0;
}

void Hotspot::SetTarget(const char* text) {
    std::optional<std::string> copy;
    if (text)
        copy = std::string(text);
    const OwnerLock lock(engine_);
    if (HotspotSlot* slot = SlotIn(lock))
        slot->target = std::move(copy);
}

int Hotspot::GetTarget(char* buffer, std::int16_t length) const {
    if (length <= 0)
        return 0;
    const HotspotSlot copy = Snapshot();
    const std::string& text = copy.target ? *copy.target : std::string();
    const std::size_t n = static_cast<std::size_t>(length);
    const std::size_t copied = std::min(text.size(), n);
    std::memcpy(buffer, text.data(), copied);
    std::memset(buffer + copied, 0, n - copied);
    return 0;
}

int Hotspot::GetScreenRect(int* left, int* top, int* right, int* bottom) const {
    const OwnerLock lock(engine_);
    const HotspotSlot* slot = SlotIn(lock);
    if (slot == nullptr || lock.State() == nullptr)
        return 1;
    const ViewState& state = *lock.State();
    int x0, y0, x1, y1;
    if (!ProjectBox(state, slot->centre, slot->size, &x0, &y0, &x1, &y1))
        return 1;
    const int w = state.viewFrame.width;
    const int h = state.viewFrame.height;
    auto inside = [](int v, int limit) { return v >= 0 && v <= limit - 1; };
    if (!inside(x0, w) || !inside(x1, w) || !inside(h - y0, h) || !inside(h - y1, h))
        return 1;
    *left = x0;
    *top = h - y1;
    *right = x1;
    *bottom = h - y0;
    return 0;
}

int Hotspot::GetCentre(double* x, double* y, double* z) const {
    const HotspotSlot copy = Snapshot();
    *x = copy.centre[0];
    *y = copy.centre[1];
    *z = copy.centre[2];
    return 0;
}

int Hotspot::GetSize(double* x, double* y, double* z) const {
    const HotspotSlot copy = Snapshot();
    *x = copy.size[0];
    *y = copy.size[1];
    *z = copy.size[2];
    return 0;
}

HotspotSlot Hotspot::Snapshot() const {
    const OwnerLock lock(engine_);
    const HotspotSlot* slot = SlotIn(lock);
    return slot != nullptr ? *slot : HotspotSlot{};
}
