#pragma once
// The headless windowing backend: windows without a display, for tests and batch runs.
//
// Constructing a HeadlessBackend installs it as the process's backend; destroying it
// uninstalls it (and destroys the windows it still has). Only one may exist at a time.
//
// The thread that calls `Pump` is the user-interface thread. Input is simulated by the
// `Press`, `Release`, `MoveMouse`, `PressLeft` and `ReleaseLeft` calls, which queue the same
// messages, with the same parameters, that a real backend delivers; `Resize` and `Move`
// send WM_SIZE/WM_MOVE at once and queue a WM_PAINT, as a real window does. Message boxes
// are recorded and answered from a list the test fills (else with the default answer).
// Every message that reaches the end of a window's handler chain is recorded in its log.
//
// Painting: a window whose surface gets a new picture (FrameReady) is painted, as a real
// window repaints, at the end of the next `Pump` or by `ShowPendingFrames` (the wait for
// frames); each painted picture is recorded.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/guarded.h"

namespace platform {

struct MessageBoxRecord {
    WindowHandle owner = kNoWindow;
    std::string text;
    std::string caption;
    std::uint32_t type = 0;
    int answer = 0;
};

class HeadlessBackend final : public Backend {
  public:
    HeadlessBackend();
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // --- Windows (user-interface thread) ---
    // A window with a client area of `clientSize` whose top-left corner is at `screenOrigin`.
    WindowHandle CreateWindow(Size clientSize, Point screenOrigin = {});
    // Sends WM_DESTROY through the chain, then forgets the window.
    void DestroyWindow(WindowHandle window);
    // New client size: sends WM_SIZE (SIZE_RESTORED, width and height) and queues WM_PAINT.
    void Resize(WindowHandle window, Size clientSize);
    // New position: sends WM_MOVE (client origin x and y) and queues WM_PAINT.
    void Move(WindowHandle window, Point screenOrigin);

    // --- Input (user-interface thread): queued, delivered by Pump ---
    // WM_KEYDOWN with the key data of `repeatCount` (previous state "up" for the first press).
    void Press(WindowHandle window, int virtualKey, int repeatCount = 1);
    void Release(WindowHandle window, int virtualKey);
    // Sets what IsKeyHeld reports for VK_CONTROL / VK_SHIFT.
    void HoldKey(int virtualKey, bool held);
    // Mouse messages at client point `at`; the pointer moves there. The message's point is kept
    // inside the client area while the button is held and on its release, as on a display
    // (ReportedMousePoint). Key flags: MK_* of the
    // held button and modifiers (MK_SHIFT/MK_CONTROL from HoldKey are added).
    void MoveMouse(WindowHandle window, Point at);
    void PressLeft(WindowHandle window, Point at);
    void ReleaseLeft(WindowHandle window, Point at);
    void SetScreenSize(Size size);

    // --- Queue ---
    // Delivers every queued message (also those queued while pumping) and returns how many.
    int Pump();
    // Waits up to `timeoutMs` until at least one message is queued; true when one is.
    bool WaitForMessage(std::uint32_t timeoutMs);
    // How many messages wait in the queue.
    std::size_t QueuedCount() const;

    // --- Painting ---
    // A picture a window painted: the surface's serial and a checksum of size and pixels.
    struct PaintedPicture {
        std::uint64_t serial = 0;
        std::uint64_t checksum = 0;
    };
    // The pictures the window painted, in order.
    std::vector<PaintedPicture> Painted(WindowHandle window) const;

    // --- Observations ---
    // Messages that reached the end of the window's chain, in order.
    std::vector<Message> Log(WindowHandle window) const;
    void ClearLog(WindowHandle window);
    // How many times FrameReady was called for the window.
    int FramesReady(WindowHandle window) const;
    CursorHandle CurrentCursor(WindowHandle window) const;
    std::optional<Rect> CursorClip() const;

    // --- Message boxes ---
    void AnswerNextMessageBox(int answer);
    std::vector<MessageBoxRecord> MessageBoxes() const;
    // Forgets the boxes recorded so far (the answers still queued stay).
    void ClearMessageBoxes();

    // --- Backend ---
    void Post(const Message& message) override;
    void FrameReady(WindowHandle window) override;
    // Paints the windows with a new picture now; any thread may stand in for the
    // user-interface thread here.
    void ShowPendingFrames() override;
    // Takes the whole queue: WM_KEYDOWN messages give their keys, other key and mouse
    // messages are dropped, everything else is delivered; then paints the new pictures.
    std::vector<int> PumpModal() override;
    // Delivers the queued messages but key and mouse messages, which stay queued in order;
    // then paints the new pictures.
    void PumpHoldingInput() override;
    // Drops the key and mouse messages that wait in the queue.
    void DropHeldInput() override;
    Size ScreenSize() override;
    Point CursorPos() override;
    void SetCursor(WindowHandle window, CursorHandle cursor) override;
    void ClipCursor(const Rect* screenRect) override;
    bool IsKeyHeld(int virtualKey) override;
    int MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                   std::uint32_t type) override;

  private:
    static std::intptr_t BaseProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam);
    // Moves the cursor to `at`, records the left button's state for a press or release, and
    // queues `message` with the key flags of that moment.
    void QueueMouse(WindowHandle window, std::uint32_t message, Point at);

    struct State {
        // MK_* of the held modifiers and left button.
        std::uint32_t ModifierFlags() const;

        std::deque<Message> queue;
        std::map<WindowHandle, std::vector<Message>> logs;
        std::map<WindowHandle, int> framesReady;
        std::set<WindowHandle> paintPending;
        std::map<WindowHandle, std::vector<PaintedPicture>> painted;
        std::map<WindowHandle, CursorHandle> cursors;
        std::optional<Rect> clip;
        Point cursorPos;
        Size screenSize{1024, 768};
        bool ctrlHeld = false;
        bool shiftHeld = false;
        bool leftHeld = false;
        std::deque<int> answers;
        std::vector<MessageBoxRecord> messageBoxes;
    };
    Guarded<State> state_;
    std::condition_variable queued_;  // notified when a message is queued
};

}  // namespace platform
