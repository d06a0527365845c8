#include "platform/backend.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "platform/messages.h"

namespace platform {
namespace {

std::atomic<Backend*> installedBackend{nullptr};

}  // namespace

void InstallBackend(Backend* backend) {
    installedBackend.store(backend);
}

Backend* InstalledBackend() {
    return installedBackend.load();
}

CursorHandle LoadCursor(CursorShape shape) {
    static const std::array<Cursor, 8> kCursors = {
        Cursor{CursorShape::Arrow}, Cursor{CursorShape::SizeAll}, Cursor{CursorShape::UpArrow},
        Cursor{CursorShape::Wait},  Cursor{CursorShape::Cross},   Cursor{CursorShape::IBeam},
        Cursor{CursorShape::Hand},  Cursor{CursorShape::No}};
    return &kCursors.at(static_cast<std::size_t>(shape));
}

void SetCursor(WindowHandle window, CursorHandle cursor) {
    Backend* backend = InstalledBackend();
    if (backend && cursor)
        backend->SetCursor(window, cursor);
}

void ClipCursor(const Rect* screenRect) {
    if (Backend* backend = InstalledBackend())
        backend->ClipCursor(screenRect);
}

Point GetCursorPos() {
    Backend* backend = InstalledBackend();
    return backend ? backend->CursorPos() : Point{};
}

bool IsKeyHeld(int virtualKey) {
    Backend* backend = InstalledBackend();
    return backend && backend->IsKeyHeld(virtualKey);
}

Point ReportedMousePoint(std::uint32_t message, bool buttonHeld, Point at, Size client) {
    const bool release = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
    if (!buttonHeld && !release)
        return at;
    return {std::clamp(at.x, 0, std::max(0, client.width - 1)),
            std::clamp(at.y, 0, std::max(0, client.height - 1))};
}

}  // namespace platform
