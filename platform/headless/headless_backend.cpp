#include "platform/headless/headless_backend.h"

#include <chrono>

#include "platform/message_box.h"
#include "platform/surface.h"

namespace platform {
namespace {

HeadlessBackend* activeBackend = nullptr;

// FNV-1a over the picture's size and pixel bytes.
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
    for (std::uint8_t byte : picture.pixels)
        mix(byte);
    return hash;
}

}  // namespace

HeadlessBackend::HeadlessBackend() {
    activeBackend = this;
    InstallBackend(this);
}

HeadlessBackend::~HeadlessBackend() {
    std::vector<WindowHandle> windows;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [window, log] : logs_)
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
        std::lock_guard lock(self->mutex_);
        self->logs_[window].push_back(Message{window, message, wParam, lParam});
    }
    return 0;
}

WindowHandle HeadlessBackend::CreateWindow(Size clientSize, Point screenOrigin) {
    WindowHandle window = CreateWindowRecord(clientSize, screenOrigin, &HeadlessBackend::BaseProc);
    std::lock_guard lock(mutex_);
    logs_[window];
    return window;
}

void HeadlessBackend::DestroyWindow(WindowHandle window) {
    if (!IsWindow(window))
        return;
    SendMessage(window, WM_DESTROY);
    DestroyWindowRecord(window);
    std::lock_guard lock(mutex_);
    logs_.erase(window);
    framesReady_.erase(window);
    paintPending_.erase(window);
    painted_.erase(window);
    cursors_.erase(window);
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
    std::lock_guard lock(mutex_);
    if (virtualKey == VK_CONTROL)
        ctrlHeld_ = held;
    if (virtualKey == VK_SHIFT)
        shiftHeld_ = held;
}

std::uint32_t HeadlessBackend::ModifierFlags() const {
    std::uint32_t flags = 0;
    if (ctrlHeld_)
        flags |= MK_CONTROL;
    if (shiftHeld_)
        flags |= MK_SHIFT;
    if (leftHeld_)
        flags |= MK_LBUTTON;
    return flags;
}

void HeadlessBackend::QueueMouse(WindowHandle window, std::uint32_t message, Point at) {
    std::uint32_t flags;
    Rect client;
    GetClientRect(window, &client);
    {
        std::lock_guard lock(mutex_);
        cursorPos_ = ClientToScreen(window, at);
        if (message == WM_LBUTTONDOWN)
            leftHeld_ = true;
        else if (message == WM_LBUTTONUP)
            leftHeld_ = false;
        at = ReportedMousePoint(message, leftHeld_, at, {client.Width(), client.Height()});
        flags = ModifierFlags();
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
    std::lock_guard lock(mutex_);
    screenSize_ = size;
}

int HeadlessBackend::Pump() {
    int delivered = 0;
    for (;;) {
        Message message;
        {
            std::unique_lock lock(mutex_);
            if (queue_.empty()) {
                lock.unlock();
                ShowPendingFrames();
                return delivered;
            }
            message = queue_.front();
            queue_.pop_front();
        }
        DispatchMessage(message);
        ++delivered;
    }
}

std::vector<int> HeadlessBackend::PumpModal() {
    std::deque<Message> waiting;
    {
        std::lock_guard lock(mutex_);
        waiting.swap(queue_);
    }
    std::vector<int> keys;
    for (const Message& message : waiting) {
        if (message.id == WM_KEYDOWN)
            keys.push_back(static_cast<int>(message.wParam));
        else if (message.id != WM_KEYUP && (message.id < WM_MOUSEMOVE || message.id > WM_RBUTTONUP))
            DispatchMessage(message);
    }
    ShowPendingFrames();
    return keys;
}

bool HeadlessBackend::WaitForMessage(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    return queued_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this] { return !queue_.empty(); });
}

std::size_t HeadlessBackend::QueuedCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

std::vector<Message> HeadlessBackend::Log(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    auto it = logs_.find(window);
    return it == logs_.end() ? std::vector<Message>{} : it->second;
}

void HeadlessBackend::ClearLog(WindowHandle window) {
    std::lock_guard lock(mutex_);
    logs_[window].clear();
}

int HeadlessBackend::FramesReady(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    auto it = framesReady_.find(window);
    return it == framesReady_.end() ? 0 : it->second;
}

CursorHandle HeadlessBackend::CurrentCursor(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    auto it = cursors_.find(window);
    return it == cursors_.end() ? nullptr : it->second;
}

std::optional<Rect> HeadlessBackend::CursorClip() const {
    std::lock_guard lock(mutex_);
    return clip_;
}

void HeadlessBackend::AnswerNextMessageBox(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<MessageBoxRecord> HeadlessBackend::MessageBoxes() const {
    std::lock_guard lock(mutex_);
    return messageBoxes_;
}

void HeadlessBackend::ClearMessageBoxes() {
    std::lock_guard lock(mutex_);
    messageBoxes_.clear();
}

void HeadlessBackend::Post(const Message& message) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(message);
    }
    queued_.notify_all();
}

void HeadlessBackend::FrameReady(WindowHandle window) {
    std::lock_guard lock(mutex_);
    ++framesReady_[window];
    paintPending_.insert(window);
}

void HeadlessBackend::ShowPendingFrames() {
    std::set<WindowHandle> windows;
    {
        std::lock_guard lock(mutex_);
        windows.swap(paintPending_);
    }
    for (WindowHandle window : windows) {
        const std::shared_ptr<Surface> surface = GetWindowSurface(window);
        if (!surface)
            continue;
        PaintedPicture painted;
        surface->Read([&painted](const SurfacePicture& picture) {
            painted = PaintedPicture{picture.serial, PictureChecksum(picture)};
        });
        std::lock_guard lock(mutex_);
        if (logs_.count(window) != 0)
            painted_[window].push_back(painted);
    }
}

std::vector<HeadlessBackend::PaintedPicture> HeadlessBackend::Painted(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    auto it = painted_.find(window);
    return it == painted_.end() ? std::vector<PaintedPicture>{} : it->second;
}

Size HeadlessBackend::ScreenSize() {
    std::lock_guard lock(mutex_);
    return screenSize_;
}

Point HeadlessBackend::CursorPos() {
    std::lock_guard lock(mutex_);
    return cursorPos_;
}

void HeadlessBackend::SetCursor(WindowHandle window, CursorHandle cursor) {
    std::lock_guard lock(mutex_);
    cursors_[window] = cursor;
}

void HeadlessBackend::ClipCursor(const Rect* screenRect) {
    std::lock_guard lock(mutex_);
    clip_ = screenRect ? std::optional<Rect>(*screenRect) : std::nullopt;
}

bool HeadlessBackend::IsKeyHeld(int virtualKey) {
    std::lock_guard lock(mutex_);
    if (virtualKey == VK_CONTROL)
        return ctrlHeld_;
    if (virtualKey == VK_SHIFT)
        return shiftHeld_;
    return false;
}

int HeadlessBackend::MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                                std::uint32_t type) {
    std::lock_guard lock(mutex_);
    int answer = DefaultMessageBoxAnswer(type);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messageBoxes_.push_back(
        MessageBoxRecord{owner, std::string(text), std::string(caption), type, answer});
    return answer;
}

}  // namespace platform
