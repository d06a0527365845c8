// CPU time per frame of Roamer turning: the program's own application, main frame and view,
// on the display it is given (scripts/roamer-turning.sh runs it under Xvfb).
//
//   roamer_turning PATH [SECONDS]   opens the panorama PATH with the view 1024 x 768, holds the
//                                   left arrow key and measures for SECONDS (default 10)
//
// After one second of turning it takes the process's CPU time (every thread: the render
// thread, the user-interface thread and the toolkit's own) and the count of frames the render
// thread drew into the view's window, then again at the end. It prints the frames drawn, the
// frames painted on screen, the frame rate, the page faults and the CPU time per frame drawn;
// exit status 1 when the panorama does not open or no frame was drawn.

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "apps/roamer/main_frame.h"
#include "apps/roamer/roamer_app.h"
#include "apps/roamer/roamer_view.h"
#include "platform/messages.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_host.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 768;

rusage ProcessUsage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

double CpuSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Mark {
    rusage usage{};
    double wall = 0;
    std::uint64_t drawn = 0;
    int painted = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: roamer_turning PATH [SECONDS]\n");
        return 2;
    }
    const double seconds = argc == 3 ? std::atof(argv[2]) : 10.0;
    QApplication application(argc, argv);
    platform::QtBackend backend;
    backend.Install();
    QTemporaryDir profileDir;
    CRoamerApp roamer(QDir(profileDir.path()).filePath(QStringLiteral("Roamer.ini")));
    if (!roamer.InitInstance({argv[1]}) || !roamer.MainFrame()->View()->IsLoaded()) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    CMainFrame* frame = roamer.MainFrame();
    CRoamerView* view = frame->View();
    auto* host = view->findChild<platform::QtWindowHost*>();
    PaintCounter counter;
    host->installEventFilter(&counter);
    frame->resize(frame->width() + kViewWidth - host->width(),
                  frame->height() + kViewHeight - host->height());

    const platform::WindowHandle window = view->ViewWindow();
    const auto surface = platform::GetWindowSurface(window);
    const auto mark = [&] {
        return Mark{ProcessUsage(), WallSeconds(), surface->Serial(), counter.paints};
    };
    Mark start;
    Mark end;
    QTimer::singleShot(500, [&] {
        platform::SendMessage(window, platform::WM_KEYDOWN, platform::VK_LEFT,
                              platform::MakeKeyData(1, false, false));
    });
    QTimer::singleShot(1500, [&] { start = mark(); });
    QTimer::singleShot(1500 + static_cast<int>(seconds * 1000), [&] {
        end = mark();
        QApplication::quit();
    });
    QApplication::exec();

    const auto drawn = static_cast<double>(end.drawn - start.drawn);
    if (drawn <= 0) {
        std::fprintf(stderr, "no frame was drawn\n");
        return 1;
    }
    const double cpu = CpuSeconds(end.usage) - CpuSeconds(start.usage);
    const auto faults = static_cast<double>(end.usage.ru_minflt - start.usage.ru_minflt);
    const double wall = end.wall - start.wall;
    std::printf(
        "view %d x %d: %.0f frames drawn, %d painted in %.1f s (%.1f frames/s), "
        "%.0f page faults per frame, CPU %.2f s, %.2f ms per frame\n",
        host->width(), host->height(), drawn, end.painted - start.painted, wall, drawn / wall,
        faults / drawn, cpu, cpu * 1000 / drawn);
    return 0;
}
