#include <gtest/gtest.h>

#include <vector>

#include "platform/frame_wait.h"
#include "platform/headless/headless_backend.h"
#include "platform/input.h"
#include "platform/window.h"

namespace platform {
namespace {

// A subclassing procedure that notes what it saw and passes everything on.
std::vector<std::uint32_t> seenBySubclass;
WindowProc previousProc = nullptr;

std::intptr_t SubclassProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    seenBySubclass.push_back(message);
    if (message == WM_USER + 1)
        return 42;  // swallowed
    return CallWindowProc(previousProc, window, message, wParam, lParam);
}

std::vector<std::uint32_t> Ids(const std::vector<Message>& log) {
    std::vector<std::uint32_t> ids;
    for (const Message& m : log)
        ids.push_back(m.id);
    return ids;
}

class WindowTest : public testing::Test {
  protected:
    void SetUp() override { seenBySubclass.clear(); }
    HeadlessBackend backend;
};

TEST_F(WindowTest, SubclassSeesFirstPassesOnAndRestores) {
    const WindowHandle window = backend.CreateWindow({200, 100});
    previousProc = SetWindowProc(window, &SubclassProc);
    ASSERT_NE(previousProc, nullptr);

    EXPECT_EQ(SendMessage(window, WM_USER + 1), 42);
    SendMessage(window, WM_PAINT);
    EXPECT_EQ(seenBySubclass, (std::vector<std::uint32_t>{WM_USER + 1, WM_PAINT}));
    EXPECT_EQ(Ids(backend.Log(window)), (std::vector<std::uint32_t>{WM_PAINT}));

    EXPECT_EQ(SetWindowProc(window, previousProc), &SubclassProc);
    SendMessage(window, WM_CLOSE);
    EXPECT_EQ(seenBySubclass.size(), 2u) << "a restored chain bypasses the old subclass";
    EXPECT_EQ(SetWindowProc(window + 1000, &SubclassProc), nullptr);
}

TEST_F(WindowTest, PostedMessagesWaitForThePump) {
    const WindowHandle window = backend.CreateWindow({200, 100});
    EXPECT_TRUE(PostMessage(window, WM_USER, 1, 8));
    EXPECT_TRUE(backend.Log(window).empty());
    EXPECT_EQ(backend.Pump(), 1);
    const auto log = backend.Log(window);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].wParam, 1u);
    EXPECT_EQ(log[0].lParam, 8);

    backend.DestroyWindow(window);
    EXPECT_FALSE(PostMessage(window, WM_USER));
    EXPECT_EQ(SendMessage(window, WM_USER), 0);
}

TEST_F(WindowTest, AModalWaitDeliversMessagesAndTakesTheKeysOfTheQueue) {
    const WindowHandle window = backend.CreateWindow({200, 100});
    PostMessage(window, WM_USER + 3);
    backend.Press(window, 'A');
    backend.PressLeft(window, {1, 1});
    backend.Release(window, 'A');
    EXPECT_FALSE(WaitWatchingForKey(20, VK_ESCAPE));
    EXPECT_EQ(Ids(backend.Log(window)), (std::vector<std::uint32_t>{WM_USER + 3}))
        << "input reaches no window, posted messages do";

    backend.Press(window, VK_ESCAPE);
    PostMessage(window, WM_USER + 4);
    EXPECT_TRUE(WaitWatchingForKey(60000, VK_ESCAPE));
    EXPECT_EQ(Ids(backend.Log(window)), (std::vector<std::uint32_t>{WM_USER + 3, WM_USER + 4}));
    EXPECT_EQ(backend.QueuedCount(), 0u);
}

TEST_F(WindowTest, ResizeSendsSizeThenQueuesPaint) {
    const WindowHandle window = backend.CreateWindow({200, 100}, {10, 20});
    backend.Resize(window, {640, 480});
    EXPECT_EQ(Ids(backend.Log(window)), (std::vector<std::uint32_t>{WM_SIZE}));
    EXPECT_EQ(backend.Log(window)[0].lParam, MakeLParam(640, 480));
    backend.Pump();
    EXPECT_EQ(Ids(backend.Log(window)), (std::vector<std::uint32_t>{WM_SIZE, WM_PAINT}));

    Rect client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client, (Rect{0, 0, 640, 480}));
    EXPECT_EQ(ClientToScreen(window, {5, 5}), (Point{15, 25}));
    EXPECT_EQ(ScreenToClient(window, {15, 25}), (Point{5, 5}));
    EXPECT_FALSE(GetClientRect(window + 1000, &client));
}

TEST_F(WindowTest, InputCarriesClassicParameters) {
    const WindowHandle window = backend.CreateWindow({640, 480});
    backend.HoldKey(VK_SHIFT, true);
    backend.Press(window, VK_LEFT, 2);
    backend.Release(window, VK_LEFT);
    backend.PressLeft(window, {639, 300});
    backend.MoveMouse(window, {700, 20});
    backend.ReleaseLeft(window, {10, -20});
    backend.Pump();

    const auto log = backend.Log(window);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].id, WM_KEYDOWN);
    EXPECT_EQ(log[0].wParam, static_cast<std::uintptr_t>(VK_LEFT));
    EXPECT_EQ(LowWord(log[0].lParam), 2) << "repeat count in the low word";
    EXPECT_EQ(log[1].id, WM_KEYUP);
    EXPECT_NE(log[1].lParam & (std::intptr_t{1} << 31), 0) << "transition bit on release";
    EXPECT_EQ(log[2].id, WM_LBUTTONDOWN);
    EXPECT_EQ(log[2].wParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(LowWord(log[2].lParam), 639);
    EXPECT_EQ(HighWord(log[2].lParam), 300);
    EXPECT_EQ(log[3].wParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(log[4].wParam, MK_SHIFT);
    // Points outside stay inside while the button is held and on its release, as on a display.
    EXPECT_EQ(log[3].lParam, MakeLParam(639, 20));
    EXPECT_EQ(log[4].lParam, MakeLParam(10, 0));
    EXPECT_TRUE(IsKeyHeld(VK_SHIFT));
    EXPECT_FALSE(IsKeyHeld(VK_CONTROL));
    EXPECT_EQ(GetCursorPos(), (Point{10, -20}));
}

TEST_F(WindowTest, CursorsAndClip) {
    const WindowHandle window = backend.CreateWindow({64, 64});
    EXPECT_EQ(LoadCursor(CursorShape::SizeAll), LoadCursor(CursorShape::SizeAll));
    SetCursor(window, LoadCursor(CursorShape::UpArrow));
    SetCursor(window, nullptr);
    EXPECT_EQ(backend.CurrentCursor(window)->shape, CursorShape::UpArrow);
    const Rect clip{1, 2, 3, 4};
    ClipCursor(&clip);
    EXPECT_EQ(backend.CursorClip(), clip);
    ClipCursor(nullptr);
    EXPECT_FALSE(backend.CursorClip().has_value());
}

}  // namespace
}  // namespace platform
