#include "engine/viewer/hotspot.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "engine/viewer/box_projection.h"
#include "engine/viewer/owner_lock.h"

int Hotspot::SetActive(std::int16_t value) {
    active = value;
    return 0;
}

void Hotspot::SetTarget(const char* text) {
    target.reset();
    if (text)
        target = std::string(text);
}

int Hotspot::GetTarget(char* buffer, std::int16_t length) const {
    if (length <= 0)
        return 0;
    const std::string& text = target ? *target : std::string();
    const std::size_t n = static_cast<std::size_t>(length);
    const std::size_t copied = std::min(text.size(), n);
    std::memcpy(buffer, text.data(), copied);
    std::memset(buffer + copied, 0, n - copied);
    return 0;
}

int Hotspot::GetScreenRect(int* left, int* top, int* right, int* bottom) const {
    if (!engine)
        return 1;
    const OwnerLock lock(engine);
    const ViewState& state = *lock.State();
    int x0, y0, x1, y1;
    if (!ProjectBox(state, centre, size, &x0, &y0, &x1, &y1))
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
    const OwnerLock lock(engine);
    *x = centre[0];
    *y = centre[1];
    *z = centre[2];
    return 0;
}

int Hotspot::GetSize(double* x, double* y, double* z) const {
    const OwnerLock lock(engine);
    *x = size[0];
    *y = size[1];
    *z = size[2];
    return 0;
}
