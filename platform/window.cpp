#include "platform/window.h"

#include <map>

#include "platform/backend.h"
#include "platform/guarded.h"
#include "platform/surface.h"

namespace platform {
namespace {

struct WindowRecord {
    WindowProc proc = DefaultWindowProc;
    void* userData = nullptr;
    Size clientSize;
    Point screenOrigin;
    std::shared_ptr<Surface> surface = std::make_shared<Surface>();
};

// The table is read by the render thread (client size, surface) while the user-interface
// thread changes it, hence the lock. Procedures are called without holding it, so that a
// procedure may create, subclass or destroy windows.
struct WindowTable {
    std::map<WindowHandle, WindowRecord> windows;
    WindowHandle nextHandle = 1;
};

Guarded<WindowTable>& Table() {
    static Guarded<WindowTable> table;
    return table;
}

template <typename Fn>
auto WithRecord(WindowHandle window, Fn&& fn) -> decltype(fn(std::declval<WindowRecord&>())) {
    const auto table = Table().Lock();
    auto it = table->windows.find(window);
    if (it == table->windows.end())
        return {};
    return fn(it->second);
}

}  // namespace

std::intptr_t DefaultWindowProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

WindowHandle CreateWindowRecord(Size clientSize, Point screenOrigin, WindowProc baseProc) {
    const auto table = Table().Lock();
    WindowHandle handle = table->nextHandle++;
    WindowRecord& record = table->windows[handle];
    record.proc = baseProc ? baseProc : DefaultWindowProc;
    record.clientSize = clientSize;
    record.screenOrigin = screenOrigin;
    return handle;
}

void DestroyWindowRecord(WindowHandle window) {
    Table().Lock()->windows.erase(window);
}

void SetWindowGeometry(WindowHandle window, Size clientSize, Point screenOrigin) {
    WithRecord(window, [&](WindowRecord& r) {
        r.clientSize = clientSize;
        r.screenOrigin = screenOrigin;
        return 0;
    });
}

WindowProc SetWindowProc(WindowHandle window, WindowProc proc) {
    if (!proc)
        return nullptr;
    return WithRecord(window, [&](WindowRecord& r) {
        WindowProc previous = r.proc;
        r.proc = proc;
        return previous;
    });
}

WindowProc GetWindowProc(WindowHandle window) {
    return WithRecord(window, [](WindowRecord& r) { return r.proc; });
}

std::intptr_t CallWindowProc(WindowProc proc, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam) {
    return (proc ? proc : DefaultWindowProc)(window, message, wParam, lParam);
}

void SetWindowUserData(WindowHandle window, void* data) {
    WithRecord(window, [&](WindowRecord& r) {
        r.userData = data;
        return 0;
    });
}

void* GetWindowUserData(WindowHandle window) {
    return WithRecord(window, [](WindowRecord& r) { return r.userData; });
}

std::intptr_t SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    WindowProc proc = GetWindowProc(window);
    if (!proc)
        return 0;
    return proc(window, message, wParam, lParam);
}

bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    Backend* backend = InstalledBackend();
    if (!backend || !IsWindow(window))
        return false;
    backend->Post(Message{window, message, wParam, lParam});
    return true;
}

std::intptr_t DispatchMessage(const Message& message) {
    return SendMessage(message.window, message.id, message.wParam, message.lParam);
}

bool IsWindow(WindowHandle window) {
    return WithRecord(window, [](WindowRecord&) { return true; });
}

bool GetClientRect(WindowHandle window, Rect* rect) {
    Rect result;
    bool found = WithRecord(window, [&](WindowRecord& r) {
        result = Rect{0, 0, r.clientSize.width, r.clientSize.height};
        return true;
    });
    if (rect)
        *rect = result;
    return found;
}

Point ClientToScreen(WindowHandle window, Point point) {
    WithRecord(window, [&](WindowRecord& r) {
        point.x += r.screenOrigin.x;
        point.y += r.screenOrigin.y;
        return 0;
    });
    return point;
}

Point ScreenToClient(WindowHandle window, Point point) {
    WithRecord(window, [&](WindowRecord& r) {
        point.x -= r.screenOrigin.x;
        point.y -= r.screenOrigin.y;
        return 0;
    });
    return point;
}

Size GetScreenSize() {
    Backend* backend = InstalledBackend();
    return backend ? backend->ScreenSize() : Size{1024, 768};
}

std::shared_ptr<Surface> GetWindowSurface(WindowHandle window) {
    return WithRecord(window, [](WindowRecord& r) { return r.surface; });
}

}  // namespace platform
