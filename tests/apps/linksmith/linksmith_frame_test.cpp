// Linksmith's main window on the offscreen display: the size of its view, the File menu's
// enabling, the hotspot rectangles in the shown picture, and closing with a save.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <cctype>
#include <cstring>
#include <functional>
#include <set>

#include "apps/linksmith/define_dimensions_dialog.h"
#include "apps/linksmith/define_hotspot_dialog.h"
#include "apps/linksmith/embedded_files_dialog.h"
#include "apps/linksmith/linksmith_app.h"
#include "apps/linksmith/linksmith_frame.h"
#include "engine/container/section_archive.h"
#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_host.h"
#include "platform/thread.h"
#include "tests/apps/linksmith/headless_frame.h"
#include "tests/apps/linksmith/qt_test_app.h"

namespace {

void EnsureApp() {
    EnsureQtApplication();
}

void Settle(int ms = 200) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(LinksmithFrame, ShowsThePanoramaWithItsHotspotsAndSavesOnClose) {
    EnsureApp();
    platform::QtBackend backend;
    backend.Install();
    platform::SetBatchMode(true);  // "Save changes?" answers Yes
    TempFolder folder;
    const std::string path = (folder / "base.pan").string();
    WriteFileBytes(path, CompactorPanorama());

    CLinksmithApp app;
    ASSERT_TRUE(app.InitInstance({path}));
    EXPECT_EQ(platform::CurrentThreadPriority(), platform::ThreadPriority::AboveNormal)
        << "tried at start, whether or not the system allows it";
    CLinksmithFrame& frame = *app.MainFrame();
    Settle();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Linksmith"));
    EXPECT_EQ(frame.Host().size(), QSize(512, 256));
    ASSERT_TRUE(frame.Editor().HasPanorama());
    for (int id : {kCmdFileOpen, kCmdFileClose, kCmdFileSaveAs, kCmdExit, kCmdSetInitialViewCurrent,
                   kCmdSetInitialViewDefault, kCmdDefineDimensions, kCmdEmbeddedFiles,
                   kCmdPanoramaDetails}) {
        EXPECT_TRUE(frame.Command(id)->isEnabled()) << id;
    }
    for (int id : {kCmdSetInitialViewCurrent, kCmdSetInitialViewDefault}) {
        const auto* submenu = qobject_cast<const QMenu*>(frame.Command(id)->parent());
        ASSERT_NE(submenu, nullptr);
        EXPECT_EQ(submenu->title(), QStringLiteral("&Initial View"));
    }
    EXPECT_FALSE(frame.Command(kCmdFileSave)->isEnabled());

    HotspotRecord hotspot;
    hotspot.heading1 = 20;
    hotspot.heading2 = -20;
    hotspot.pitch1 = 10;
    hotspot.pitch2 = -10;
    hotspot.description = "next.pan";
    ASSERT_TRUE(frame.Editor().AddHotspot(hotspot));
    frame.Host().repaint();  // the repaint brings the menu up to date and draws the rectangles
    Settle();
    EXPECT_TRUE(frame.Command(kCmdFileSave)->isEnabled());
    ASSERT_EQ(frame.Editor().ProjectHotspot(hotspot), 1);
    const QImage shown = frame.Host().grab().toImage();
    EXPECT_EQ(shown.pixelColor(hotspot.left, 128), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(256, hotspot.bottom), QColor(255, 0, 0));

    frame.Command(kCmdFileClose)->trigger();
    Settle();
    EXPECT_FALSE(frame.Editor().HasPanorama());
    EXPECT_FALSE(frame.Command(kCmdFileClose)->isEnabled());
    EXPECT_FALSE(frame.Command(kCmdEmbeddedFiles)->isEnabled());
    EXPECT_FALSE(frame.Command(kCmdSetInitialViewCurrent)->isEnabled());
    EXPECT_EQ(frame.Host().grab().toImage().pixelColor(256, 128), QColor(192, 192, 192))
        << "the closed panorama's picture is gone";
    EXPECT_GT(SectionArchive(std::filesystem::path(path)).GetSectionSize("HSPT"), 0u);
    platform::SetBatchMode(false);
    platform::SetCurrentThreadPriority(platform::ThreadPriority::Normal);
}

// A panorama from the original platform stores Windows-1252 texts: the define-hotspot dialog
// shows one as its characters, and OK without a change gives back its bytes.
TEST(LinksmithFrame, ACodePageTextShowsAsItsCharactersAndComesBackAsItWas) {
    EnsureApp();
    platform::QtBackend backend;
    backend.Install();
    CLinksmithApp app;
    ASSERT_TRUE(app.InitInstance({}));
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<CDefineHotspotDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = dialog->Text();
        dialog->accept();
    });
    std::string text = "caf\xe9.pan";
    EXPECT_TRUE(app.MainFrame()->EditHotspotText(text));
    EXPECT_EQ(shown, QStringLiteral("caf\u00e9.pan"));
    EXPECT_EQ(text, "caf\xe9.pan");
}

TEST(LinksmithCommands, TheFileMenuGivesEachMnemonicToOneEntry) {
    std::set<char> taken{'i'};  // the "&Initial View" submenu
    for (const CommandInfo& info : kFileMenuCommands) {
        const char* mark = std::strchr(info.text, '&');
        EXPECT_TRUE(SubmenuOf(info.id) ||
                    (mark && taken.insert(char(std::tolower(mark[1]))).second))
            << info.text;
    }
}

TEST(LinksmithFrame, ADialogsMessageBoxesOpenOverIt) {
    EnsureApp();
    platform::QtBackend backend;
    backend.Install();
    TempFolder folder;
    WriteFileBytes(folder / "A.WAV", Bytes(4, 1));
    EmbeddedFileList files;
    ASSERT_TRUE(files.AddEmbeddedFileRow("~a.wav", 4));
    CDefineDimensionsDlg dimensions(nullptr, 0, 180);
    CDefineHotspotDlg hotspot(nullptr, QStringLiteral("a.pan"), {});
    CEmbeddedFilesDlg embedded(nullptr, files, {});
    const std::pair<QDialog*, std::function<void()>> cases[] = {
        {&dimensions, [&] { dimensions.accept(); }},  // "Please enter an integer between..."
        {&hotspot, [&] { hotspot.OnDisplay(); }},
        {&embedded, [&] { embedded.AddPaths({(folder / "A.WAV").string()}); }},
    };
    for (const auto& [dialog, raise] : cases) {
        const QWidget* owner = nullptr;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                owner = box->parentWidget();
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(0);
        raise();
        EXPECT_EQ(owner, dialog) << dialog->windowTitle().toStdString();
    }
}

}  // namespace
