#include "platform/qt/window_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/frame_wait.h"
#include "platform/messages.h"
#include "platform/qt/qt_backend.h"
#include "platform/suite_program.h"
#include "platform/surface.h"
#include "tests/platform/qt/qt_test_app.h"

namespace platform {
namespace {

// Every message that reaches a host's window, with the thread it arrived on.
struct Received {
    std::uint32_t id;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::thread::id thread;
};
std::vector<Received> received;
std::string markOnPaint;  // when set, a file made as WM_PAINT arrives

std::intptr_t RecordingProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    received.push_back({message, wParam, lParam, std::this_thread::get_id()});
    if (message == WM_PAINT && !markOnPaint.empty())
        std::ofstream{markOnPaint};
    return DefaultWindowProc(window, message, wParam, lParam);
}

std::vector<Received> ReceivedOf(std::uint32_t id) {
    std::vector<Received> found;
    for (const Received& r : received) {
        if (r.id == id)
            found.push_back(r);
    }
    return found;
}

// Pumps events until `done` holds or `limitMs` passed. The default bound only keeps a broken
// build from hanging: a loaded machine may take seconds to deliver what a quiet one delivers at
// once.
constexpr int kPatienceMs = 60000;
template <typename Done>
bool PumpUntil(Done done, int limitMs = kPatienceMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// Lets queued events settle.
void Settle() {
    PumpUntil([] { return false; }, 100);
}

class WindowHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtTestApp();
        backend_.Install();
        host_ = std::make_unique<QtWindowHost>();
        host_->resize(64, 48);
        host_->show();
        SetWindowProc(host_->Handle(), &RecordingProc);
        Settle();
        received.clear();
    }
    void TearDown() override { host_.reset(); }

    QtBackend backend_;
    std::unique_ptr<QtWindowHost> host_;
};

TEST_F(WindowHostTest, KeysArriveAsVirtualKeysAndHeldKeysSendOneKeyUp) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    for (QKeyEvent* event : {&press, &repeatRelease, &repeat, &release}) {
        QApplication::sendEvent(host_.get(), event);
    }

    const auto downs = ReceivedOf(WM_KEYDOWN);
    const auto ups = ReceivedOf(WM_KEYUP);
    ASSERT_EQ(downs.size(), 2u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].wParam, std::uintptr_t(VK_LEFT));
    EXPECT_EQ(downs[0].lParam, MakeKeyData(1, false, false));
    EXPECT_EQ(downs[1].lParam, MakeKeyData(1, true, false));
    EXPECT_EQ(ups[0].lParam, MakeKeyData(1, true, true));
}

TEST_F(WindowHostTest, MouseMessagesCarryClientPointAndKeyFlagsAndStayInsideWhileHeld) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 20), QPointF(10, 20), Qt::LeftButton,
                      Qt::LeftButton, Qt::ControlModifier);
    QMouseEvent drag(QEvent::MouseMove, QPointF(-30, 500), QPointF(-30, 500), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(100, 5), QPointF(100, 5),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent rightPress(QEvent::MouseButtonPress, QPointF(10, 20), QPointF(10, 20),
                           Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QMouseEvent rightRelease(QEvent::MouseButtonRelease, QPointF(-70000, 90), QPointF(-70000, 90),
                             Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent hover(QEvent::MouseMove, QPointF(3, 4), QPointF(3, 4), Qt::NoButton, Qt::NoButton,
                      Qt::ShiftModifier);
    for (QMouseEvent* event : {&press, &drag, &release, &rightPress, &rightRelease, &hover}) {
        QApplication::sendEvent(host_.get(), event);
    }

    const auto downs = ReceivedOf(WM_LBUTTONDOWN);
    const auto moves = ReceivedOf(WM_MOUSEMOVE);
    const auto ups = ReceivedOf(WM_LBUTTONUP);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(moves.size(), 2u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].wParam, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(downs[0].lParam, MakeLParam(10, 20));
    EXPECT_EQ(moves[0].wParam, MK_LBUTTON);
    EXPECT_EQ(moves[0].lParam, MakeLParam(0, 47));
    EXPECT_EQ(ups[0].lParam, MakeLParam(63, 5));
    ASSERT_EQ(ReceivedOf(WM_RBUTTONUP).size(), 1u);
    EXPECT_EQ(ReceivedOf(WM_RBUTTONUP)[0].lParam, MakeLParam(0, 47));
    EXPECT_EQ(moves[1].wParam, MK_SHIFT);
    EXPECT_EQ(moves[1].lParam, MakeLParam(3, 4));
}

TEST_F(WindowHostTest, ResizeSendsSizeThenPaint) {
    host_->resize(80, 60);
    PumpUntil([] { return !ReceivedOf(WM_PAINT).empty(); });
    ASSERT_FALSE(ReceivedOf(WM_SIZE).empty());
    EXPECT_EQ(ReceivedOf(WM_SIZE).back().lParam, MakeLParam(80, 60));
    Rect client;
    ASSERT_TRUE(GetClientRect(host_->Handle(), &client));
    EXPECT_EQ(client, (Rect{0, 0, 80, 60}));
    EXPECT_FALSE(ReceivedOf(WM_PAINT).empty());
}

TEST_F(WindowHostTest, PostedMessagesArriveOnTheUserInterfaceThread) {
    std::thread poster(
        [handle = host_->Handle()] { EXPECT_TRUE(PostMessage(handle, WM_USER + 5, 7, 9)); });
    poster.join();
    ASSERT_TRUE(PumpUntil([] { return !ReceivedOf(WM_USER + 5).empty(); }));
    const Received message = ReceivedOf(WM_USER + 5).front();
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(message.lParam, 9);
    EXPECT_EQ(message.thread, std::this_thread::get_id());
}

TEST_F(WindowHostTest, FramesFromAnotherThreadAreShownWithoutAskingForAnotherFrame) {
    // A 40 x 30 frame of pure red, bottom-up BGR rows, shown at 8, 4 in the 64 x 48 window.
    std::vector<std::uint8_t> pixels(40 * 3 * 30);
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        pixels[i + 2] = 0xFF;
    std::thread renderer([&, handle = host_->Handle()] {
        const PixelView frame{40, 30, PixelFormatCode::Bgr24, pixels.data(), 40 * 3, nullptr};
        EXPECT_TRUE(PresentToWindow(handle, frame, Rect{8, 4, 48, 34}));
    });
    renderer.join();
    Settle();
    EXPECT_TRUE(ReceivedOf(WM_PAINT).empty());

    // The frame at its place, the window's light grey around it.
    const QImage shown = host_->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(8, 4)), QColor(Qt::red));
    EXPECT_EQ(QColor(shown.pixel(47, 33)), QColor(Qt::red));
    EXPECT_EQ(QColor(shown.pixel(7, 10)), QColor(192, 192, 192));
    EXPECT_EQ(QColor(shown.pixel(48, 33)), QColor(192, 192, 192));
    EXPECT_EQ(QColor(shown.pixel(20, 34)), QColor(192, 192, 192));

    host_->ClearPicture();
    Settle();
    EXPECT_EQ(QColor(host_->grab().toImage().pixel(20, 20)), QColor(192, 192, 192));
}

// Counts the paint events a widget receives, with the surface picture each one paints.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QtWindowHost& host) : host_(host) { host.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &host_ && event->type() == QEvent::Paint) {
            serials.push_back(GetWindowSurface(host_.Handle())->Serial());
            paints.fetch_add(1);
        }
        return false;
    }
    std::vector<std::uint64_t> serials;
    std::atomic<int> paints{0};

  private:
    QtWindowHost& host_;
};

TEST_F(WindowHostTest, AWaitForFramesPaintsEachFrameAndLetsNoMessageOrInputIn) {
    constexpr int kFrames = 6;
    PaintCounter counter(*host_);
    Semaphore done(0, 1);
    QApplication::postEvent(host_.get(),
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
    ASSERT_TRUE(PostMessage(host_->Handle(), WM_USER + 9));

    // Each frame waits until the previous one was painted (or a generous while, so that a wait
    // that paints nothing fails instead of hanging).
    std::thread renderer([&, handle = host_->Handle()] {
        std::vector<std::uint8_t> pixels(64 * 3 * 48);
        for (int frame = 1; frame <= kFrames; ++frame) {
            std::fill(pixels.begin(), pixels.end(), static_cast<std::uint8_t>(40 * frame));
            const PixelView view{64, 48, PixelFormatCode::Bgr24, pixels.data(), 64 * 3, nullptr};
            EXPECT_TRUE(PresentToWindow(handle, view, Rect{0, 0, 64, 48}));
            for (int waited = 0; counter.paints.load() < frame && waited < kPatienceMs; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        done.Release();
    });
    WaitShowingFrames(done);
    renderer.join();

    EXPECT_EQ(counter.serials, (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(received.empty()) << "a message or a key reached the window during the wait";
    Settle();
    EXPECT_EQ(ReceivedOf(WM_USER + 9).size(), 1u);
    EXPECT_EQ(ReceivedOf(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(counter.serials.size(), std::size_t{kFrames}) << "a shown frame was painted again";
    EXPECT_EQ(QColor(host_->grab().toImage().pixel(5, 5)), QColor(240, 240, 240));
}

TEST_F(WindowHostTest, AModalWaitDeliversMessagesAndHoldsInputBackTakingItsKeys) {
    QApplication::postEvent(host_.get(),
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
    QApplication::postEvent(host_.get(),
                            new QMouseEvent(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3),
                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    ASSERT_TRUE(PostMessage(host_->Handle(), WM_USER + 7));
    EXPECT_FALSE(WaitWatchingForKey(30, VK_ESCAPE)) << "only A was pressed";
    EXPECT_EQ(ReceivedOf(WM_USER + 7).size(), 1u) << "posted messages go on";
    QApplication::postEvent(host_.get(),
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(WaitWatchingForKey(60000, VK_ESCAPE));
    Settle();
    EXPECT_TRUE(ReceivedOf(WM_KEYDOWN).empty()) << "the keys went to the wait, not the window";
    EXPECT_TRUE(ReceivedOf(WM_LBUTTONDOWN).empty());
}

// While the program waits for another one, its window repaints (the child ends only once it
// has) and takes its posted messages.
TEST_F(WindowHostTest, AWaitForAnotherProgramRepaintsAndDeliversMessages) {
    char folder[] = "/tmp/halvex-wait-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    markOnPaint = std::string(folder) + "/painted";
    host_->update();
    ASSERT_TRUE(PostMessage(host_->Handle(), WM_USER + 3));
    const SuiteProgramRun run = RunProgramAndWait(
        "/bin/sh", {"-c", "i=0; while [ $i -lt 1000 ] && [ ! -e \"$1\" ]; do sleep 0.01; "
                          "i=$((i+1)); done; [ -e \"$1\" ]",
                    "sh", markOnPaint});
    EXPECT_EQ(run.exitStatus, 0) << "no repaint during the wait";
    EXPECT_EQ(ReceivedOf(WM_USER + 3).size(), 1u);
    std::filesystem::remove_all(folder);
    markOnPaint.clear();
}

TEST_F(WindowHostTest, DestroyingTheHostSendsDestroyAndForgetsTheWindow) {
    const WindowHandle handle = host_->Handle();
    host_.reset();
    EXPECT_EQ(ReceivedOf(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(handle));
}

}  // namespace
}  // namespace platform
