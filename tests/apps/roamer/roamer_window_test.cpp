// Roamer's window with a real engine on the offscreen display: opening the sample, turning
// the view, load failures, the recent-file list, the details dialog and the window placement.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <set>

#include "apps/common/help_page.h"
#include "apps/roamer/command_ids.h"
#include "apps/roamer/main_frame.h"
#include "apps/roamer/panorama_details_dialog.h"
#include "apps/roamer/roamer_app.h"
#include "apps/roamer/roamer_view.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_host.h"
#include "platform/surface.h"
#include "tests/engine/viewer/engine_test_access.h"

namespace {

// One application for the whole run, never destroyed: Qt's own globals go away first at exit.
void EnsureApp() {
    static int argc = 1;
    static char name[] = "roamer_tests";
    static char* argv[] = {name, nullptr};
    static const QApplication* app = new QApplication(argc, argv);
    (void)app;
}

// Pumps events until `done` holds or `limitMs` passed. The default bound only keeps a broken
// build from hanging: a loaded machine may take seconds to show a first frame.
template <typename Done>
bool PumpUntil(Done done, int limitMs = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// The platform window host among `parent`'s descendants (it has no meta-object of its own, so
// findChild cannot tell it from other widgets).
platform::QtWindowHost* HostIn(const QWidget& parent) {
    for (QWidget* child : parent.findChildren<QWidget*>()) {
        if (auto* host = dynamic_cast<platform::QtWindowHost*>(child))
            return host;
    }
    return nullptr;
}

void Settle(int ms = 150) {
    PumpUntil([] { return false; }, ms);
}

const std::string kSample = HALVEX_SAMPLE_DIR "/sample.pan";
const std::string kSecondSample = HALVEX_SAMPLE_DIR "/sample2.pan";

class RoamerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        backend_.Install();
        platform::SetBatchMode(true);
        ASSERT_TRUE(QFile::exists(QString::fromStdString(kSample))) << kSample;
    }
    void TearDown() override {
        app_.reset();
        platform::SetBatchMode(false);
    }

    void Start(const std::vector<std::string>& arguments) {
        app_ = std::make_unique<CRoamerApp>(ProfilePath());
        ASSERT_TRUE(app_->InitInstance(arguments));
        Settle();
    }
    QString ProfilePath() const { return dir_.filePath(QStringLiteral("Roamer.ini")); }
    CMainFrame& Frame() { return *app_->MainFrame(); }
    CRoamerView& View() { return *Frame().View(); }
    platform::QtWindowHost& Host() { return *HostIn(View()); }
    std::uint64_t FramesShown() {
        return platform::GetWindowSurface(View().ViewWindow())->Serial();
    }
    QImage Shown() { return Host().grab().toImage(); }

    // Opens `path` and returns what the message boxes said meanwhile.
    std::string OpenCapturingMessages(const std::string& path) {
        testing::internal::CaptureStderr();
        app_->OpenDocumentFile(path);
        return testing::internal::GetCapturedStderr();
    }

    // Faces the sample's LINK hotspot and clicks it; returns what the message boxes said.
    std::string ClickLink() {
        View().Engine().SetView(45, 2, 0, 60, 2);
        Settle();
        const QPointF centre(Host().width() / 2.0, Host().height() / 2.0);
        testing::internal::CaptureStderr();
        QMouseEvent press(QEvent::MouseButtonPress, centre, Host().mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Host(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, Host().mapToGlobal(centre),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Host(), &release);
        Settle();
        return testing::internal::GetCapturedStderr();
    }

    // The panorama description that the details dialog shows.
    QString DetailsDescription() {
        QString description;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            description =
                dialog->findChild<QWidget*>(QStringLiteral("1001"))->property("text").toString();
            dialog->accept();
        });
        Frame().Command(kCmdPanoramaDetails)->trigger();
        Settle();
        return description;
    }

    platform::QtBackend backend_;
    QTemporaryDir dir_;
    std::unique_ptr<CRoamerApp> app_;
};

TEST_F(RoamerWindowTest, OpensTheSampleFromTheCommandLineAndShowsFrames) {
    Start({kSample});
    ASSERT_TRUE(View().IsLoaded());
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));

    const QImage shown = Shown();
    const QColor centre = shown.pixelColor(shown.width() / 2, shown.height() / 2);
    EXPECT_NE(centre, QColor(192, 192, 192)) << "the view still shows its empty background";
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("sample.pan - Roamer"));
    EXPECT_TRUE(Frame().Command(kCmdResetPanorama)->isEnabled());
    EXPECT_TRUE(Frame().Command(kCmdPanoramaDetails)->isEnabled());
    EXPECT_TRUE(Frame().Command(kCmdAntialiasHigh)->isChecked());
}

double CurrentPan(CRoamerView& view) {
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    view.Engine().GetView(&pan, &tilt, &roll, &fov);
    return pan;
}

TEST_F(RoamerWindowTest, HoldingAnArrowKeyTurnsTheViewAndResetBringsItHome) {
    Start({kSample});
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));
    Settle(300);
    const QImage before = Shown();

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&Host(), &press);
    EXPECT_TRUE(PumpUntil([&] { return CurrentPan(View()) > 10; }))
        << "Left turns towards growing headings";
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&Host(), &release);
    Settle(300);
    const double stopped = CurrentPan(View());
    Settle(300);
    EXPECT_EQ(CurrentPan(View()), stopped) << "letting go of the key stops the turn";
    EXPECT_NE(Shown(), before);

    Frame().Command(kCmdResetPanorama)->trigger();
    Settle();
    EXPECT_EQ(CurrentPan(View()), 0);
}

// The surface pictures the view paints while it is watched, as their serials and a hash of
// their pixels, and the window's title at each.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(platform::QtWindowHost& host) : host_(host) {
        host.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &host_ && event->type() == QEvent::Paint) {
            platform::GetWindowSurface(host_.Handle())
                ->Read([this](const platform::SurfacePicture& picture) {
                    serials.push_back(picture.serial);
                    hashes.push_back(qHashBits(picture.pixels.data(), picture.pixels.size()));
                });
            titles.push_back(host_.window()->windowTitle());
        }
        return false;
    }
    std::vector<std::uint64_t> serials;
    std::vector<std::size_t> hashes;
    std::vector<QString> titles;

  private:
    platform::QtWindowHost& host_;
};

TEST_F(RoamerWindowTest, TheSwingHomeMovesOnScreenAndEndsOnTheHomeView) {
    const struct {
        const char* name;
        std::function<void(CMainFrame&, platform::QtWindowHost&)> start;
    } cases[] = {
        {"Space",
         [](CMainFrame&, platform::QtWindowHost& view) {
             QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
             QApplication::sendEvent(&view, &space);
             QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
             QApplication::sendEvent(&view, &up);
         }},
        {"Reset Panaorama",
         [](CMainFrame& frame, platform::QtWindowHost&) {
             frame.Command(kCmdResetPanorama)->trigger();
         }},
    };
    Start({kSample});
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));
    Settle(300);
    const QImage home = Shown();
    ViewerEngine& engine = View().Engine();
    for (const auto& c : cases) {
        engine.SetView(Access::State(engine)->homePan + 100, Access::State(engine)->homeTilt + 20,
                       0, Access::State(engine)->homeFov + 15, 2);
        Settle();
        ASSERT_NE(Shown(), home) << c.name;
        const std::uint64_t before = FramesShown();

        PaintWatch watch(Host());
        c.start(Frame(), Host());
        const std::vector<std::uint64_t> painted = watch.serials;
        const std::uint64_t frames = FramesShown() - before;
        const std::set<std::uint64_t> distinct(painted.begin(), painted.end());
        EXPECT_GE(frames, 40u) << c.name;
        EXPECT_GE(distinct.size() * 4, frames) << c.name << ": the swing did not move on screen";

        double pan = 0, tilt = 0, roll = 0, fov = 0;
        engine.GetView(&pan, &tilt, &roll, &fov);
        EXPECT_EQ(pan, Access::State(engine)->homePan) << c.name;
        EXPECT_EQ(tilt, Access::State(engine)->homeTilt) << c.name;
        EXPECT_EQ(fov, Access::State(engine)->homeFov) << c.name;
        Settle(300);
        EXPECT_EQ(watch.serials.back(), FramesShown()) << c.name << ": the last frame is not shown";
        EXPECT_EQ(Shown(), home) << c.name;
    }
}

TEST_F(RoamerWindowTest, DraggingLeftOfTheCentreTurnsTheView) {
    Start({kSample});
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));
    const QPointF left(Host().width() / 8.0, Host().height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, left, Host().mapToGlobal(left), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Host(), &press);
    EXPECT_TRUE(PumpUntil([&] { return CurrentPan(View()) > 10; }));
    QMouseEvent release(QEvent::MouseButtonRelease, left, Host().mapToGlobal(left), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Host(), &release);
    Settle(300);
    const double stopped = CurrentPan(View());
    Settle(300);
    EXPECT_EQ(CurrentPan(View()), stopped);
}

TEST_F(RoamerWindowTest, AFileThatCannotBeLoadedShowsTheLoadErrorAndLeavesTheViewEmpty) {
    QFile garbage(dir_.filePath(QStringLiteral("garbage.pan")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a panorama at all");
    garbage.close();
    QFile badImage(dir_.filePath(QStringLiteral("bad-image.pan")));
    ASSERT_TRUE(badImage.open(QIODevice::WriteOnly));
    // A container whose one "BTMP" section holds no image.
    badImage.write(
        QByteArray("HVXK\x24\0\0\0\x01\0\0\0\0\0\0\0BTMP\x20\0\0\0\x04\0\0\0\0\0\0\0junk", 36));
    badImage.close();

    const struct {
        const char* name;
        QString path;
        const char* message;
    } cases[] = {
        {"missing", dir_.filePath(QStringLiteral("missing.pan")),
         "File I/O Error: Cannot Open Specified File"},
        {"not a panorama", garbage.fileName(), "File Type Error: Unsupported File Format"},
        {"no image", badImage.fileName(), "File Format Error: Cannot Format Specified Image."},
    };
    Start({});
    for (const auto& c : cases) {
        ASSERT_TRUE(app_->OpenDocumentFile(kSample)) << c.name;
        ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; })) << c.name;

        const std::string said = OpenCapturingMessages(c.path.toStdString());
        EXPECT_NE(said.find(std::string("Roamer: ") + c.message), std::string::npos)
            << c.name << ": " << said;
        EXPECT_FALSE(View().IsLoaded()) << c.name;
        EXPECT_FALSE(Frame().Command(kCmdResetPanorama)->isEnabled()) << c.name;
        EXPECT_FALSE(Frame().Command(kCmdPanoramaDetails)->isEnabled()) << c.name;
        EXPECT_FALSE(Frame().Command(kCmdEnableZoom)->isEnabled()) << c.name;
        Settle();
        const QImage shown = Shown();
        EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(192, 192, 192))
            << c.name;
        EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled - Roamer")) << c.name;
    }
}

TEST_F(RoamerWindowTest, AFirstStartCentresAClientAreaOf516By308) {
    Start({});
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QRect frame = Frame().geometry();
    EXPECT_EQ(frame.width(), 516);
    EXPECT_EQ(frame.height() - Frame().menuBar()->height(), 308);
    EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 2);
    EXPECT_FALSE(Frame().Command(kCmdResetPanorama)->isEnabled());
}

TEST_F(RoamerWindowTest, AFileDroppedOnTheWindowIsOpened) {
    Start({});
    ASSERT_FALSE(View().IsLoaded());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(kSecondSample))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_TRUE(View().IsLoaded());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("sample2.pan - Roamer"));
}

TEST(RoamerHelp, ThePageBesideTheProgramHasTheInstructionsAnchor) {
    const std::string file = FindHelpFile(HALVEX_ROAMER_DIR, HelpPage{"roamer", "CvnRoamer.html"});
    QFile page(QString::fromStdString(file));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << file;
    EXPECT_TRUE(page.readAll().contains("id=\"context-3\""));
}

TEST_F(RoamerWindowTest, InstructionsThatCannotBeOpenedSaySo) {
    auto launcher = std::make_shared<platform::RecordingLauncher>();
    launcher->openResult = false;
    const auto previous = platform::InstallProgramLauncher(launcher);
    Start({});
    testing::internal::CaptureStderr();
    Frame().Command(kCmdInstructions)->trigger();
    const std::string said = testing::internal::GetCapturedStderr();
    platform::InstallProgramLauncher(previous);
    EXPECT_NE(said.find("Roamer: Unable to open help file"), std::string::npos) << said;
    ASSERT_EQ(launcher->Log().size(), 1u);
    EXPECT_NE(launcher->Log().front().find("#context-3"), std::string::npos);
}

TEST_F(RoamerWindowTest, TheRecentFileListKeepsLoadedFilesAndSurvivesARestart) {
    Start({});
    EXPECT_TRUE(app_->OpenDocumentFile(kSample));
    EXPECT_TRUE(app_->OpenDocumentFile(kSecondSample));
    OpenCapturingMessages(dir_.filePath(QStringLiteral("missing.pan")).toStdString());
    EXPECT_EQ(app_->RecentFiles().Paths(), (std::vector<std::string>{kSecondSample, kSample}));

    app_.reset();
    Start({});
    EXPECT_EQ(app_->RecentFiles().Paths(), (std::vector<std::string>{kSecondSample, kSample}));
}

TEST_F(RoamerWindowTest, ANameThatIsNotUtf8OpensFromTheCommandLineInAFolderThatIsNotUtf8) {
    // A folder and a panorama named in Windows-1252, as unpacked from an old archive.
    const std::string folder = dir_.path().toStdString() + "/Tour\xe9";
    const std::string file = folder + "/caf\xe9.pan";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    ASSERT_TRUE(std::filesystem::copy_file(kSample, file));
    const std::string saved = platform::GetCurrentDirectory();
    ASSERT_TRUE(platform::SetCurrentDirectory(folder));
    Start({"caf\xe9.pan"});
    ASSERT_TRUE(platform::SetCurrentDirectory(saved));
    EXPECT_TRUE(View().IsLoaded());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("caf\\xe9.pan - Roamer"));
    EXPECT_EQ(app_->RecentFiles().Paths(), std::vector<std::string>{file});
    app_.reset();
    // Qt lists no such name, so the temporary folder cannot remove it.
    std::filesystem::remove_all(folder);
}

TEST_F(RoamerWindowTest, SettingsChangedInOneRunAreThereInTheNext) {
    Start({kSample});
    Frame().Command(kCmdEnableZoom)->trigger();
    Frame().Command(kCmdAntialiasLow)->trigger();
    EXPECT_EQ(Access::State(View().Engine())->fovMin, 60);
    EXPECT_EQ(Access::State(View().Engine())->fovMax, 60);
    const QRect placed(40, 30, 600, 400);
    Frame().setGeometry(placed);
    Settle();
    const QRect geometry = Frame().geometry();
    Frame().close();
    app_.reset();

    Start({kSample});
    EXPECT_EQ(View().Freedoms(), 11 & ~8);
    EXPECT_EQ(View().AntialiasLevel(), 1);
    EXPECT_FALSE(Frame().Command(kCmdEnableZoom)->isChecked());
    EXPECT_TRUE(Frame().Command(kCmdAntialiasLow)->isChecked());
    EXPECT_EQ(Frame().geometry(), geometry);
}

TEST_F(RoamerWindowTest, AMaximisedWindowReopensInItsNormalRectangle) {
    Start({});
    Frame().setGeometry(QRect(60, 40, 500, 350));
    Settle();
    const QRect normal = Frame().geometry();
    Frame().showMaximized();
    Settle();
    ASSERT_TRUE(Frame().isMaximized());
    Frame().close();
    app_.reset();
    EXPECT_EQ(QSettings(ProfilePath(), QSettings::IniFormat).value("RESTORE/showCmd").toInt(), 3);

    Start({});
    EXPECT_FALSE(Frame().isMaximized());
    EXPECT_EQ(Frame().geometry(), normal);
}

TEST_F(RoamerWindowTest, TheDetailsDialogTurnsAPreviewAndGivesTheViewBackAsItWas) {
    Start({kSample});
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));
    View().Engine().SetView(33, 12, 0, 50, 2);
    Settle();
    std::uint64_t previewFrames = 0;
    QString description;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        platform::QtWindowHost* preview = HostIn(*dialog);
        ASSERT_NE(preview, nullptr);
        PumpUntil([&] { return platform::GetWindowSurface(preview->Handle())->Serial() > 3; });
        previewFrames = platform::GetWindowSurface(preview->Handle())->Serial();
        description =
            dialog->findChild<QWidget*>(QStringLiteral("1001"))->property("text").toString();
        dialog->accept();
    });
    Frame().Command(kCmdPanoramaDetails)->trigger();
    Settle();

    EXPECT_GT(previewFrames, 3u);
    EXPECT_TRUE(description.startsWith(QStringLiteral("A synthetic sphere")));
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    View().Engine().GetView(&pan, &tilt, &roll, &fov);
    EXPECT_EQ(pan, 33);
    EXPECT_EQ(tilt, 12);
    EXPECT_EQ(fov, 50);
    EXPECT_EQ(Access::State(View().Engine())->window, View().ViewWindow());

    // Attached again: a repaint of the view makes the engine draw.
    const std::uint64_t before = FramesShown();
    Host().repaint();
    EXPECT_TRUE(PumpUntil([&] { return FramesShown() > before + 1; }));
}

TEST(RoamerDetails, ACodePageTextShowsAsItsCharacters) {
    EnsureApp();
    const CPanoramaDetailsDlg dialog(CPanoramaDetailsDlg::Texts{"Ann \xdc Photog"});
    const auto* field = dialog.findChild<QLabel*>(QStringLiteral("1000"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), QStringLiteral("Ann \u00dc Photog"));
}

TEST_F(RoamerWindowTest, AHotspotLinkBringsTheDetailsOfThePanoramaItOpens) {
    Start({kSample});
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));
    ASSERT_TRUE(DetailsDescription().startsWith(QStringLiteral("A synthetic sphere")));

    const std::string said = ClickLink();
    EXPECT_TRUE(said.empty()) << said;
    ASSERT_TRUE(View().IsLoaded());
    EXPECT_TRUE(Frame().Command(kCmdPanoramaDetails)->isEnabled());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("sample2.pan - Roamer"));
    EXPECT_EQ(DetailsDescription(), QStringLiteral("The second sample: dusk"));
}

TEST_F(RoamerWindowTest, TheTitleNamesEachOpenedPanoramaBeforeItsFirstFrameIsShown) {
    Start({});
    const std::string cases[] = {kSample, kSecondSample, kSample};
    // What the panorama shown before looked like: its frames may be painted again while it
    // closes. Only frames painted under its own title count, as a busy machine may show the
    // last frame of a waiting run without the ones before it.
    std::set<std::size_t> earlier;
    for (const std::string& file : cases) {
        PaintWatch watch(Host());
        const std::uint64_t before = FramesShown();
        ASSERT_TRUE(app_->OpenDocumentFile(file));
        const QString title =
            QFileInfo(QString::fromStdString(file)).fileName() + QStringLiteral(" - Roamer");
        bool painted = false;
        for (std::size_t i = 0; i < watch.serials.size(); ++i) {
            if (watch.serials[i] <= before || earlier.count(watch.hashes[i]) != 0)
                continue;
            painted = true;
            EXPECT_EQ(watch.titles[i], title) << "a frame was shown under another title";
        }
        EXPECT_TRUE(painted) << file << ": no frame shown while it opened";
        EXPECT_EQ(Frame().windowTitle(), title);
        earlier.clear();
        for (std::size_t i = 0; i < watch.hashes.size(); ++i) {
            if (watch.titles[i] == title)
                earlier.insert(watch.hashes[i]);
        }
    }
}

TEST_F(RoamerWindowTest, AHotspotLinkThatFailsToLoadLeavesTheViewEmpty) {
    const QString first = dir_.filePath(QStringLiteral("sample.pan"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(kSample), first));
    QFile broken(dir_.filePath(QStringLiteral("sample2.pan")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    // A container whose one "BTMP" section holds no image.
    broken.write(
        QByteArray("HVXK\x24\0\0\0\x01\0\0\0\0\0\0\0BTMP\x20\0\0\0\x04\0\0\0\0\0\0\0junk", 36));
    broken.close();
    Start({first.toStdString()});
    ASSERT_TRUE(PumpUntil([&] { return FramesShown() > 0; }));

    const std::string said = ClickLink();
    EXPECT_NE(said.find("Halvex: File Format Error: Cannot Format Specified Image."),
              std::string::npos)
        << said;
    EXPECT_FALSE(View().IsLoaded());
    EXPECT_FALSE(Frame().Command(kCmdResetPanorama)->isEnabled());
    EXPECT_FALSE(Frame().Command(kCmdPanoramaDetails)->isEnabled());
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(192, 192, 192));
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled - Roamer"));
}

}  // namespace
