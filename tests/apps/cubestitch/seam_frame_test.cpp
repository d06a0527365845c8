#include "apps/cubestitch/seam_frame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <fstream>
#include <iterator>

#include "apps/cubestitch/command_ids.h"
#include "apps/standalone_viewer/headless_viewer_shell.h"
#include "apps/standalone_viewer/qt_viewer_shell.h"
#include "apps/standalone_viewer/viewer_window.h"
#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"
#include "tests/apps/cubestitch/seam_test_support.h"

namespace cubestitch {
namespace {

class SeamFrameTest : public SeamTest {
  protected:
    void SetUp() override {
        SeamTest::SetUp();
        frame_ = std::make_unique<CSeamFrame>(settings_, RecordingServices());
    }
    void TearDown() override {
        frame_.reset();
        SeamTest::TearDown();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const AskedMessage& m : messages_)
            texts.push_back(m.text);
        return texts;
    }
    std::unique_ptr<CSeamFrame> frame_;
};

TEST_F(SeamFrameTest, EditCommandsActOnTheSelectedFaceOnly) {
    const CDIB original = PatternPicture(6, 4);
    for (int k = 0; k < kCubeFaceCount; ++k)
        ASSERT_EQ(frame_->FacePane(k).Bitmap().CopyFrom(original), 1);
    // Right after start-up the Left pane is selected.
    ASSERT_EQ(frame_->SelectedPane(), &frame_->FacePane(0));

    struct Step {
        int face;  // selected before the command
        int command;
        void (*expected)(CDIB&);
    };
    const Step steps[] = {
        {0, kCmdRotate90, [](CDIB& b) { b.Rotate90(); }},
        {2, kCmdRotate180, [](CDIB& b) { b.Rotate180(); }},
        {2, kCmdRotate270, [](CDIB& b) { b.Rotate270(); }},
        {3, kCmdFlipVertical, [](CDIB& b) { b.FlipVertical(); }},
        {5, kCmdFlipHorizontal, [](CDIB& b) { b.FlipHorizontal(); }},
    };
    std::vector<CDIB> expected(kCubeFaceCount, original);
    for (const Step& step : steps) {
        frame_->SelectPane(&frame_->FacePane(step.face));
        frame_->OnCommand(step.command);
        step.expected(expected[static_cast<std::size_t>(step.face)]);
        for (int k = 0; k < kCubeFaceCount; ++k)
            EXPECT_TRUE(
                SamePixels(frame_->FacePane(k).Bitmap(), expected[static_cast<std::size_t>(k)]))
                << "command " << step.command << " face " << k;
    }
    // Only one pane shows the border at a time.
    for (int k = 0; k < kCubeFaceCount; ++k)
        EXPECT_EQ(frame_->FacePane(k).IsSelected(), k == 5) << k;
    EXPECT_EQ(frame_->FacePane(0).Bitmap().GetWidth(), 4);  // 6 x 4 turned a quarter
}

TEST_F(SeamFrameTest, CopyAndPasteCarryAFaceToAnother) {
    ASSERT_EQ(frame_->FacePane(1).Bitmap().CopyFrom(PatternPicture(9, 5)), 1);
    frame_->SelectPane(&frame_->FacePane(1));
    frame_->OnCommand(kCmdCopy);
    frame_->SelectPane(&frame_->FacePane(4));
    frame_->OnCommand(kCmdPaste);
    EXPECT_TRUE(SamePixels(frame_->FacePane(4).Bitmap(), PatternPicture(9, 5)));
    EXPECT_FALSE(frame_->IsModified());
}

TEST_F(SeamFrameTest, MouseButtonsSelectAFaceButNotThePanorama) {
    frame_->show();
    CFacePane& front = frame_->FacePane(1);
    const QPointF inside(5, front.height() - 5);
    QMouseEvent press(QEvent::MouseButtonPress, inside, front.mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&front, &press);
    EXPECT_EQ(frame_->SelectedPane(), &front);
    EXPECT_FALSE(frame_->FacePane(0).IsSelected());

    CPanoramaPane& panorama = frame_->PanoramaPane();
    QMouseEvent onPanorama(QEvent::MouseButtonPress, inside, panorama.mapToGlobal(inside),
                           Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panorama, &onPanorama);
    EXPECT_EQ(frame_->SelectedPane(), &front);
}

TEST_F(SeamFrameTest, PanesAreLaidOutAndDrawn) {
    frame_->LayoutPanes(605, 400);
    EXPECT_EQ(frame_->FacePane(0).geometry(), QRect(0, 0, 100, 125));
    EXPECT_EQ(frame_->FacePane(5).geometry(), QRect(500, 0, 105, 125));
    EXPECT_EQ(frame_->PanoramaPane().geometry(), QRect(0, 125, 605, 275));
    EXPECT_EQ(frame_->FacePane(2).CaptionButton()->geometry(), QRect(0, 0, 100, 25));
    frame_->LayoutPanes(3, 100);  // narrower than six pixels
    EXPECT_EQ(frame_->FacePane(5).geometry(), QRect(0, 0, 3, 25));

    // A red face is drawn stretched below its caption, with the selection border inset.
    CFacePane& left = frame_->FacePane(0);
    CDIB red(8, 8, 24);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            red.SetPixel(x, y, 255, 0, 0);
    left.Bitmap().CopyFrom(red);
    const QImage shot = left.grab().toImage();
    const int side = left.width();
    EXPECT_EQ(left.height(), side + 25);
    EXPECT_EQ(left.SelectionRect(), QRect(2, 27, side - 4, side - 4));
    EXPECT_EQ(QColor(shot.pixel(side / 2, side / 2 + 25)), QColor(255, 0, 0));  // picture
    EXPECT_EQ(QColor(shot.pixel(0, 26)), QColor(255, 0, 0));  // outside the border
    int hatched = 0;
    for (int x = 2; x < side - 2; ++x)
        hatched += QColor(shot.pixel(x, 28)) == QColor(0, 0, 0) ? 1 : 0;
    EXPECT_GT(hatched, 10);
}

TEST_F(SeamFrameTest, OpeningFacesOneByOneAndAll) {
    const std::string good = WritePicture("good.bmp", 20, 10);
    const std::string highColour = WritePicture("high.bmp", 12, 12, 16);
    const std::string junk = Scratch("junk.bmp");
    std::ofstream(junk) << "not a picture";

    struct Case {
        const char* name;
        int face;
        std::string path;  // empty: cancelled
        int width;         // the pane's width afterwards
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"loads", 2, good, 20, {}},
        {"other depth is converted", 3, highColour, 12, {}},
        {"cancelled leaves the face", 2, "", 20, {}},
        {"unreadable", 4, junk, 128, {"Failed to Load image"}},
    };
    for (const Case& c : cases) {
        messages_.clear();
        openPaths_ = {c.path};
        frame_->OnCommand(kCmdOpenLeft + c.face);
        EXPECT_EQ(frame_->SelectedPane(), &frame_->FacePane(c.face)) << c.name;
        EXPECT_EQ(frame_->FacePane(c.face).Bitmap().GetWidth(), c.width) << c.name;
        EXPECT_EQ(frame_->FacePane(c.face).Bitmap().GetBitCount(), 24) << c.name;
        EXPECT_EQ(Texts(), c.messages) << c.name;
    }

    // Open All asks in face order and stops at the first cancelled dialog.
    messages_.clear();
    openTitles_.clear();
    openPaths_ = {good, good, ""};
    frame_->SelectPane(&frame_->FacePane(5));
    frame_->OnCommand(kCmdOpenAll);
    EXPECT_EQ(openTitles_, (std::vector<std::string>{"Open Left", "Open Front", "Open Right"}));
    EXPECT_EQ(frame_->FacePane(0).Bitmap().GetWidth(), 20);
    EXPECT_EQ(frame_->FacePane(1).Bitmap().GetWidth(), 20);
    EXPECT_EQ(frame_->FacePane(3).Bitmap().GetWidth(), 12);   // untouched
    EXPECT_EQ(frame_->SelectedPane(), &frame_->FacePane(5));  // no selection change

    // A face that fails ends the sequence with Open All's own message.
    openTitles_.clear();
    openPaths_ = {good, junk, good};
    frame_->OnCommand(kCmdOpenAll);
    EXPECT_EQ(openTitles_.size(), 2u);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Failed to load image"});
    EXPECT_EQ(frame_->FacePane(1).Bitmap().GetWidth(), 128);
}

TEST_F(SeamFrameTest, SavingKeepsTheUnsavedFlagUnlessTheFileWasWritten) {
    struct Case {
        const char* name;
        std::string target;  // empty: dialog cancelled
        bool starts;
        int status;
        bool saved;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"cancelled", "", true, 0, false, {}},
        {"compressor missing", Scratch("a.pan"), false, 0, false, {"Failed to find Compactor.exe"}},
        {"compressor failed", Scratch("b.pan"), true, 1, false, {"Failed to save file"}},
        {"bitmap not writable", Scratch("none/c.pan"), true, 0, false, {"Failed to save file"}},
        {"written", Scratch("d.pan"), true, 0, true, {}},
        {"longest name", Scratch(std::string(251, 'e') + ".pan"), true, 0, true, {}},
    };
    for (const Case& c : cases) {
        messages_.clear();
        compressorRuns_.clear();
        frame_->SetModified(true);
        savePath_ = c.target;
        compressorStarts_ = c.starts;
        compressorStatus_ = c.status;
        EXPECT_EQ(frame_->OnSavePanorama(), c.saved) << c.name;
        EXPECT_EQ(frame_->IsModified(), !c.saved) << c.name;
        EXPECT_EQ(Texts(), c.messages) << c.name;
        if (!compressorRuns_.empty()) {
            // The compressor reads a bitmap beside the target and writes the target.
            ASSERT_EQ(compressorRuns_[0].size(), 2u);
            EXPECT_EQ(std::filesystem::path(compressorRuns_[0][0]).parent_path(),
                      std::filesystem::path(c.target).parent_path());
            EXPECT_EQ(compressorRuns_[0][1], c.target);
            EXPECT_FALSE(std::filesystem::exists(compressorRuns_[0][0])) << c.name;
        }
    }
}

TEST_F(SeamFrameTest, AFailedSaveKeepsTheOldFile) {
    const std::string target = Scratch("kept.pan");
    std::ofstream(target) << "old panorama";
    compressorStatus_ = 2;
    EXPECT_FALSE(frame_->SavePanoramaTo(target));
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old panorama");
}

TEST_F(SeamFrameTest, ClosePrompt) {
    struct Case {
        const char* name;
        bool modified;
        int answer;
        std::string savePath;
        bool closes;
        bool asked;
    };
    const Case cases[] = {
        {"nothing unsaved", false, 0, "", true, false},
        {"no", true, platform::IDNO, "", true, true},
        {"cancel", true, platform::IDCANCEL, "", false, true},
        {"yes, save cancelled", true, platform::IDYES, "", false, true},
        {"yes, saved", true, platform::IDYES, Scratch("closing.pan"), true, true},
    };
    for (const Case& c : cases) {
        messages_.clear();
        answers_ = {c.answer};
        savePath_ = c.savePath;
        frame_->SetModified(c.modified);
        EXPECT_EQ(frame_->QueryClose(), c.closes) << c.name;
        ASSERT_EQ(messages_.size(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(messages_[0].text, "Save changes to the seamed image?");
            EXPECT_EQ(messages_[0].type & 0xF, platform::MB_YESNOCANCEL);
        }
        EXPECT_EQ(frame_->IsModified(), c.modified && !(c.closes && !c.savePath.empty())) << c.name;
    }
}

TEST_F(SeamFrameTest, ViewShowsTheSeamAndClosingTheFrameTakesTheViewerAlong) {
    platform::HeadlessBackend backend;
    settings_.WriteWidth(64);
    settings_.WriteHeight(32);
    for (int k = 0; k < kCubeFaceCount; ++k)
        frame_->FacePane(k).Bitmap().CopyFrom(PatternPicture(16, 16));
    ASSERT_TRUE(frame_->OnSeam());
    EXPECT_TRUE(frame_->IsModified());
    EXPECT_EQ(frame_->PanoramaPane().Bitmap().GetWidth(), 64);

    for (int views = 1; views <= 2; ++views) {
        frame_->OnCommand(kCmdViewPanorama);
        CViewerWindow* viewer = GetViewerWindow();
        ASSERT_TRUE(viewer->IsCreated());
        ASSERT_NE(viewer->Viewer(), nullptr);
        const auto* shell = dynamic_cast<const HeadlessViewerShell*>(viewer->Shell());
        ASSERT_NE(shell, nullptr);
        EXPECT_TRUE(shell->visible);
        EXPECT_EQ(shell->windowsMade, views);  // each view starts a fresh window
    }
    answers_ = {platform::IDNO};
    EXPECT_TRUE(frame_->close());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Save changes to the seamed image?"});
    EXPECT_FALSE(GetViewerWindow()->IsCreated());
    DestroyViewerWindow();
}

// The viewer window's About box is the program's, opened over the viewer window.
TEST_F(SeamFrameTest, TheViewersAboutBoxOpensOverTheViewer) {
    platform::QtBackend backend;
    backend.Install();
    frame_->OnCommand(kCmdViewPanorama);  // the blank panorama the frame starts with
    CViewerWindow* viewer = GetViewerWindow();
    const auto* shell = dynamic_cast<const QtViewerShell*>(viewer->Shell());
    ASSERT_NE(shell, nullptr);
    ASSERT_NE(shell->Widget(), nullptr);
    const QWidget* parent = nullptr;
    // Runs inside the About box's own loop: notes where it opened, then closes it.
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            parent = box->parentWidget();
            box->done(0);
        }
    });
    viewer->OnCommand(kViewerCmdAbout);
    EXPECT_EQ(parent, shell->Widget());
    DestroyViewerWindow();
}

TEST_F(SeamFrameTest, HelpOpensContextTwoOrSaysItCannot) {
    frame_->OnCommand(kCmdHelp);
    EXPECT_EQ(helpContext_, 2);
    EXPECT_TRUE(messages_.empty());
    helpOpens_ = false;
    frame_->OnCommand(kCmdHelp);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to open help file"});
}

}  // namespace
}  // namespace cubestitch
