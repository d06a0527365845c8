// The stand-alone viewer window on the offscreen display: a real top-level window with its
// title, status line and the panorama drawn by the engine; the close box frees it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QStatusBar>

#include <memory>
#include <string>
#include <vector>

#include "apps/common/program_icon.h"
#include "apps/standalone_viewer/qt_viewer_shell.h"
#include "apps/standalone_viewer/viewer_window.h"
#include "bitmap/cdib.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/qt/qt_backend.h"

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "standalone_viewer_qt_tests";
    static char* argv[] = {name, nullptr};
    static const QApplication* app = new QApplication(argc, argv);
    (void)app;
}

// Pumps events until `done` holds; the bound only keeps a broken build from hanging, as a
// loaded machine may take seconds to show a first frame.
template <typename Done>
bool PumpUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(QtViewerWindow, ShowsThePanoramaInATopLevelWindow) {
    EnsureApp();
    platform::QtBackend backend;
    backend.Install();
    platform::SetBatchMode(true);
    CDIB panorama(512, 256, 24);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x)
            panorama.SetPixelValue(x, y, static_cast<std::uint32_t>((x / 2) | y << 8 | 0x600000));
    {
        CViewerWindow window;
        auto* shell = dynamic_cast<QtViewerShell*>(window.Shell());
        ASSERT_NE(shell, nullptr);
        window.SetTitle("Halvex Viewer");
        window.GetSettings().icon = kScenegrabIcon;
        ASSERT_EQ(window.OpenMemory(panorama.GetBlock()), 1);
        ASSERT_EQ(window.ShowPanorama(), 1);
        QWidget* frame = shell->Widget();
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(frame->windowTitle(), QStringLiteral("Halvex Viewer"));
        EXPECT_EQ(frame->windowIcon().pixmap(32, 32).toImage(),
                  ProgramIcon(kScenegrabIcon).pixmap(32, 32).toImage());
        EXPECT_EQ(frame->size(), QSize(320, 240));
        EXPECT_EQ(frame->findChild<QStatusBar*>()->currentMessage(),
                  QStringLiteral("Press <space> to reset view"));
        // The engine's frames reach the window: its middle is no longer the background.
        ASSERT_TRUE(PumpUntil([&] {
            const QImage shot = frame->grab().toImage();
            return shot.pixelColor(160, 100).red() == 0x60;
        }));
        if (const char* path = std::getenv("HALVEX_SCREENSHOT"))
            frame->grab().save(QString::fromLocal8Bit(path));

        frame->close();  // the close box: WM_CLOSE, then the window and its engine go
        ASSERT_TRUE(PumpUntil([&] { return !window.IsCreated(); }));
        EXPECT_EQ(window.Viewer(), nullptr);
        EXPECT_EQ(shell->Widget(), nullptr);
    }
    platform::SetBatchMode(false);
}

// The Help command hands the page at its context to the suite's opener and passes on its
// verdict: an opener that finds no method (xdg-open exits non-zero) is a failure the window
// reports.
TEST(QtViewerWindow, HelpGoesToTheSuitesOpenerAndPassesOnItsVerdict) {
    EnsureApp();
    const std::string page = "/proc/self/exe";  // a page must be a file
    const auto opener = std::make_shared<platform::RecordingLauncher>();
    const auto previous = platform::InstallProgramLauncher(opener);
    for (const bool opens : {true, false}) {
        opener->openResult = opens;
        opener->ClearLog();
        EXPECT_EQ(QtViewerShell().OpenHelp(page, 6), opens);
        EXPECT_EQ(opener->Log(),
                  std::vector<std::string>{"open file://" + page + "#context-6 show 1"});
    }
    platform::InstallProgramLauncher(previous);
}

}  // namespace
