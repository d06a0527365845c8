#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <chrono>

#include "platform/message_box.h"
#include "platform/surface.h"

namespace platform {
namespace {

HeadlessBackend* activeBackend = nullptr;

// FNV-1a over the picture's size and the bytes of its pixels (not what follows them in a row).
std::uint64_t PictureChecksum(const SurfacePicture& picture) {
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](std::uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (int value : {picture.size.width, picture.size.height, static_cast<int>(picture.format)}) {
        for (int shift = 0; shift < 32; shift += 8)
            mix(static_cast<std::uint8_t>(static_cast<unsigned>(value) >> shift));
    }
    const auto rowBytes = static_cast<std::size_t>(std::max(picture.size.width, 0)) *
                          static_cast<std::size_t>(BytesPerPixel(picture.format));
    for (int row = 0; row < picture.size.height; ++row) {
        const std::size_t start = picture.stride * static_cast<std::size_t>(row);
        if (start + rowBytes > picture.pixels.size())
            break;
        for (std::size_t i = 0; i < rowBytes; ++i)
            mix(picture.pixels[start + i]);
    }
    return hash;
}

// A key or mouse message: user input.
bool IsInputMessage(const Message& message) {
    return message.id == WM_KEYDOWN || message.id == WM_KEYUP ||
           (message.id >= WM_MOUSEMOVE && message.id <= WM_RBUTTONUP);
}

}  // namespace

HeadlessBackend::HeadlessBackend() {
    activeBackend = this;
    InstallBackend(this);
}

HeadlessBackend::~HeadlessBackend() {
    std::vector<WindowHandle> windows;
    {
        const auto state = state_.Lock();
        for (const auto& [window, log] : state->logs)
            windows.push_back(window);
    }
    for (WindowHandle window : windows)
        DestroyWindowRecord(window);
    InstallBackend(nullptr);
    activeBackend = nullptr;
}

std::intptr_t HeadlessBackend::BaseProc(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) {
    if (HeadlessBackend* self = activeBackend) {
        self->state_.Lock()->logs[window].push_back(Message{window, message, wParam, lParam});
    }
    return 0;
}

WindowHandle HeadlessBackend::CreateWindow(Size clientSize, Point screenOrigin) {
    WindowHandle window = CreateWindowRecord(clientSize, screenOrigin, &HeadlessBackend::BaseProc);
    state_.Lock()->logs[window];
    return window;
}

void HeadlessBackend::DestroyWindow(WindowHandle window) {
    if (!IsWindow(window))
        return;
    SendMessage(window, WM_DESTROY);
    DestroyWindowRecord(window);
    const auto state = state_.Lock();
    state->logs.erase(window);
    state->framesReady.erase(window);
    state->paintPending.erase(window);
    state->painted.erase(window);
    state->cursors.erase(window);
}

void HeadlessBackend::Resize(WindowHandle window, Size clientSize) {
    const Point origin = ClientToScreen(window, Point{});
    SetWindowGeometry(window, clientSize, origin);
    SendMessage(window, WM_SIZE, SIZE_RESTORED, MakeLParam(clientSize.width, clientSize.height));
    PostMessage(window, WM_PAINT);
}

void HeadlessBackend::Move(WindowHandle window, Point screenOrigin) {
    Rect client;
    GetClientRect(window, &client);
    SetWindowGeometry(window, Size{client.Width(), client.Height()}, screenOrigin);
    SendMessage(window, WM_MOVE, 0, MakeLParam(screenOrigin.x, screenOrigin.y));
    PostMessage(window, WM_PAINT);
}

void HeadlessBackend::Press(WindowHandle window, int virtualKey, int repeatCount) {
    PostMessage(window, WM_KEYDOWN, static_cast<std::uintptr_t>(virtualKey),
                MakeKeyData(repeatCount, repeatCount > 1, false));
}

void HeadlessBackend::Release(WindowHandle window, int virtualKey) {
    PostMessage(window, WM_KEYUP, static_cast<std::uintptr_t>(virtualKey),
                MakeKeyData(1, true, true));
}

void HeadlessBackend::HoldKey(int virtualKey, bool held) {
    const auto state = state_.Lock();
    if (virtualKey == VK_CONTROL)
        state->ctrlHeld = held;
    if (virtualKey == VK_SHIFT)
        state->shiftHeld = held;
}

std::uint32_t HeadlessBackend::State::ModifierFlags() const {
    std::uint32_t flags = 0;
    if (ctrlHeld)
        flags |= MK_CONTROL;
    if (shiftHeld)
        flags |= MK_SHIFT;
    if (leftHeld)
        flags |= MK_LBUTTON;
    return flags;
}

void HeadlessBackend::QueueMouse(WindowHandle window, std::uint32_t message, Point at) {
    std::uint32_t flags;
    Rect client;
    GetClientRect(window, &client);
    {
        const auto state = state_.Lock();
        state->cursorPos = ClientToScreen(window, at);
        if (message == WM_LBUTTONDOWN)
            state->leftHeld = true;
        else if (message == WM_LBUTTONUP)
            state->leftHeld = false;
        at = ReportedMousePoint(message, state->leftHeld, at, {client.Width(), client.Height()});
        flags = state->ModifierFlags();
    }
    PostMessage(window, message, flags, MakeLParam(at.x, at.y));
}

void HeadlessBackend::MoveMouse(WindowHandle window, Point at) {
    QueueMouse(window, WM_MOUSEMOVE, at);
}

void HeadlessBackend::PressLeft(WindowHandle window, Point at) {
    QueueMouse(window, WM_LBUTTONDOWN, at);
}

void HeadlessBackend::ReleaseLeft(WindowHandle window, Point at) {
    QueueMouse(window, WM_LBUTTONUP, at);
}

void HeadlessBackend::SetScreenSize(Size size) {
    state_.Lock()->screenSize = size;
}

int HeadlessBackend::Pump() {
    int delivered = 0;
    for (;;) {
        std::optional<Message> message;
        {
            const auto state = state_.Lock();
            if (!state->queue.empty()) {
                message = state->queue.front();
                state->queue.pop_front();
            }
        }
        if (!message) {
            ShowPendingFrames();
            return delivered;
        }
        DispatchMessage(*message);
        ++delivered;
    }
}

std::vector<int> HeadlessBackend::PumpModal() {
    std::deque<Message> waiting;
    state_.Lock()->queue.swap(waiting);
    std::vector<int> keys;
    for (const Message& message : waiting) {
        if (message.id == WM_KEYDOWN)
            keys.push_back(static_cast<int>(message.wParam));
        else if (!IsInputMessage(message))
            DispatchMessage(message);
    }
    ShowPendingFrames();
    return keys;
}

void HeadlessBackend::PumpHoldingInput() {
    std::deque<Message> waiting;
    state_.Lock()->queue.swap(waiting);
    std::deque<Message> held;
    for (const Message& message : waiting) {
        if (IsInputMessage(message))
            held.push_back(message);
        else
            DispatchMessage(message);
    }
    if (!held.empty()) {
        // Ahead of what the delivered messages queued: the input came first.
        const auto state = state_.Lock();
        state->queue.insert(state->queue.begin(), held.begin(), held.end());
    }
    ShowPendingFrames();
}

void HeadlessBackend::DropHeldInput() {
    const auto state = state_.Lock();
    std::erase_if(state->queue, IsInputMessage);
}

bool HeadlessBackend::WaitForMessage(std::uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto state = state_.Lock();
    return state.WaitUntil(queued_, deadline, [](const State& now) { return !now.queue.empty(); });
}

std::size_t HeadlessBackend::QueuedCount() const {
    return state_.Lock()->queue.size();
}

std::vector<Message> HeadlessBackend::Log(WindowHandle window) const {
    const auto state = state_.Lock();
    auto it = state->logs.find(window);
    return it == state->logs.end() ? std::vector<Message>{} : it->second;
}

void HeadlessBackend::ClearLog(WindowHandle window) {
    state_.Lock()->logs[window].clear();
}

int HeadlessBackend::FramesReady(WindowHandle window) const {
    const auto state = state_.Lock();
    auto it = state->framesReady.find(window);
    return it == state->framesReady.end() ? 0 : it->second;
}

CursorHandle HeadlessBackend::CurrentCursor(WindowHandle window) const {
    const auto state = state_.Lock();
    auto it = state->cursors.find(window);
    return it == state->cursors.end() ? nullptr : it->second;
}

std::optional<Rect> HeadlessBackend::CursorClip() const {
    return state_.Lock()->clip;
}

void HeadlessBackend::AnswerNextMessageBox(int answer) {
    state_.Lock()->answers.push_back(answer);
}

std::vector<MessageBoxRecord> HeadlessBackend::MessageBoxes() const {
    return state_.Lock()->messageBoxes;
}

void HeadlessBackend::ClearMessageBoxes() {
    state_.Lock()->messageBoxes.clear();
}

void HeadlessBackend::Post(const Message& message) {
    state_.Lock()->queue.push_back(message);
    queued_.notify_all();
}

void HeadlessBackend::FrameReady(WindowHandle window) {
    const auto state = state_.Lock();
    ++state->framesReady[window];
    state->paintPending.insert(window);
}

void HeadlessBackend::ShowPendingFrames() {
    std::set<WindowHandle> windows;
    state_.Lock()->paintPending.swap(windows);
    for (WindowHandle window : windows) {
        const std::shared_ptr<Surface> surface = GetWindowSurface(window);
        if (!surface)
            continue;
        PaintedPicture painted;
        surface->Read([&painted](const SurfacePicture& picture) {
            painted = PaintedPicture{picture.serial, PictureChecksum(picture)};
        });
        const auto state = state_.Lock();
        if (state->logs.count(window) != 0)
            state->painted[window].push_back(painted);
    }
}

std::vector<HeadlessBackend::PaintedPicture> HeadlessBackend::Painted(WindowHandle window) const {
    const auto state = state_.Lock();
    auto it = state->painted.find(window);
    return it == state->painted.end() ? std::vector<PaintedPicture>{} : it->second;
}

Size HeadlessBackend::ScreenSize() {
    return state_.Lock()->screenSize;
}

Point HeadlessBackend::CursorPos() {
    return state_.Lock()->cursorPos;
}

void HeadlessBackend::SetCursor(WindowHandle window, CursorHandle cursor) {
    state_.Lock()->cursors[window] = cursor;
}

void HeadlessBackend::ClipCursor(const Rect* screenRect) {
    state_.Lock()->clip = screenRect ? std::optional<Rect>(*screenRect) : std::nullopt;
}

bool HeadlessBackend::IsKeyHeld(int virtualKey) {
    const auto state = state_.Lock();
    if (virtualKey == VK_CONTROL)
        return state->ctrlHeld;
    if (virtualKey == VK_SHIFT)
        return state->shiftHeld;
    return false;
}

int HeadlessBackend::MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                                std::uint32_t type) {
    const auto state = state_.Lock();
    int answer = DefaultMessageBoxAnswer(type);
    if (!state->answers.empty()) {
        answer = state->answers.front();
        state->answers.pop_front();
    }
    state->messageBoxes.push_back(
        MessageBoxRecord{owner, std::string(text), std::string(caption), type, answer});
    return answer;
}

}  // namespace platform
