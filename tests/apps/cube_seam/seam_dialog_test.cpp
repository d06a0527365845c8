// The "Seaming Image" dialog on the offscreen display: it runs the seam to its end, shows the
// size, can be cancelled, and cannot be cancelled in a batch run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "apps/cube_seam/seam_progress_dialog.h"
#include "apps/cube_seam/seam_run.h"
#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"
#include "tests/apps/cube_seam/face_sets.h"

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "cube_seam_dialog_tests";
    static char* argv[] = {name, nullptr};
    static const QApplication* app = new QApplication(argc, argv);
    (void)app;
}

class SeamDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        backend_.Install();
    }
    SeamRequest Request(int width, int height, bool batch) {
        SeamRequest request;
        request.faces = faces_.Set();
        request.size = {width, height};
        request.batch = batch;
        request.caption = "Cubestitch";
        return request;
    }

    platform::QtBackend backend_;
    seam_test::Faces faces_ = seam_test::UniformFaces(256, 256);
};

TEST_F(SeamDialogTest, RunsToTheEndAndShowsTheSize) {
    std::unique_ptr<SeamProgress> progress = MakeSeamProgress();
    auto* dialog = dynamic_cast<SeamProgressDialog*>(progress.get());
    ASSERT_NE(dialog, nullptr);
    QString shownText;
    QTimer::singleShot(0, dialog, [&] {
        shownText = dialog->findChild<QLabel*>()->text();
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Seaming Image"));
        EXPECT_TRUE(dialog->CancelButton()->isEnabled());
    });
    CDIB panorama;
    const SeamResult result = RunSeam(Request(512, 256, false), panorama, *progress);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(shownText, QStringLiteral("Seaming 512x256 sized image"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(seam_test::PixelValue(panorama, 256, 128), seam_test::kFaceColours[1]);
}

TEST_F(SeamDialogTest, CancelEndsTheSeamAndTheWorker) {
    std::unique_ptr<SeamProgress> progress = MakeSeamProgress();
    auto* dialog = dynamic_cast<SeamProgressDialog*>(progress.get());
    QTimer::singleShot(0, dialog, [dialog] { dialog->CancelButton()->click(); });
    CDIB panorama;
    const SeamResult result = RunSeam(Request(2048, 1024, false), panorama, *progress);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(panorama.GetWidth(), 2048);  // handed back after the worker ended
    // The next seam on the same dialog shows it again and runs to its end; what the cancelled
    // worker posted last does not end it early.
    bool shownAgain = false;
    QTimer::singleShot(0, dialog, [&] { shownAgain = dialog->isVisible(); });
    EXPECT_TRUE(RunSeam(Request(512, 256, false), panorama, *progress).completed);
    EXPECT_TRUE(shownAgain);
}

TEST_F(SeamDialogTest, BatchRunsIgnoreCancel) {
    std::unique_ptr<SeamProgress> progress = MakeSeamProgress();
    auto* dialog = dynamic_cast<SeamProgressDialog*>(progress.get());
    bool enabled = true;
    QTimer::singleShot(0, dialog, [&] {
        enabled = dialog->CancelButton()->isEnabled();
        dialog->CancelButton()->click();
        dialog->reject();  // Escape
    });
    CDIB panorama;
    EXPECT_TRUE(RunSeam(Request(512, 256, true), panorama, *progress).completed);
    EXPECT_FALSE(enabled);
}

}  // namespace
