#include "platform/backend.h"

#include <array>
#include <atomic>

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

}  // namespace platform
