// Clipboard transfer through the desktop's clipboard (Qt, offscreen platform in the tests).
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "bitmap/cdib.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_clipboard.h"

namespace {

QGuiApplication& Application() {
    static int argc = 1;
    static char name[] = "cdib_qt_clipboard_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return application;
}

class CdibQtClipboard : public testing::Test {
protected:
    void SetUp() override {
        Application();
        platform::SetClipboard(&clipboard_);
    }
    void TearDown() override { platform::SetClipboard(nullptr); }
    platform::QtClipboard clipboard_;
};

CDIB Pattern() {
    CDIB dib(5, 3, 24);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            dib.SetPixel(x, y, static_cast<std::uint8_t>(50 * x), static_cast<std::uint8_t>(80 * y), 7);
        }
    }
    return dib;
}

TEST_F(CdibQtClipboard, CopyThenPasteGivesBackTheSamePicture) {
    const CDIB source = Pattern();
    ASSERT_EQ(source.CopyToClipboard(), 1);
    CDIB target(1, 1, 8);
    ASSERT_EQ(target.PasteFromClipboard(), 1);
    EXPECT_TRUE(std::equal(target.GetBlock().begin(), target.GetBlock().end(),
                           source.GetBlock().begin(), source.GetBlock().end()));
}

TEST_F(CdibQtClipboard, OtherProgramsReadTheCopyAsABitmap) {
    ASSERT_EQ(Pattern().CopyToClipboard(), 1);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat("image/bmp"));
    const QImage image = QImage::fromData(data->data("image/bmp"), "BMP");
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(image.pixel(4, 2), qRgb(200, 160, 7));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 7));
}

TEST_F(CdibQtClipboard, PastesAPlainImageAsFallback) {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(3, 0, qRgb(250, 128, 1));
    QGuiApplication::clipboard()->setImage(image);
    CDIB target;
    ASSERT_EQ(target.PasteFromClipboard(), 1);
    ASSERT_EQ(target.GetWidth(), 4);
    ASSERT_EQ(target.GetHeight(), 2);
    std::uint8_t r, g, b;
    ASSERT_EQ(target.GetPixel(3, 0, &r, &g, &b), 1);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{250, 128, 1}));
    ASSERT_EQ(target.GetPixel(0, 1, &r, &g, &b), 1);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{10, 20, 30}));
}

TEST_F(CdibQtClipboard, TextOnlyLeavesTheBitmapAlone) {
    QGuiApplication::clipboard()->setText("no picture here");
    CDIB picture = Pattern();
    EXPECT_EQ(picture.PasteFromClipboard(), 0);
    const CDIB original = Pattern();
    EXPECT_TRUE(std::equal(picture.GetBlock().begin(), picture.GetBlock().end(),
                           original.GetBlock().begin(), original.GetBlock().end()));
}

TEST(CdibQtBackend, InstallingTheBackendInstallsTheDesktopClipboard) {
    Application();
    QGuiApplication::clipboard()->setText("before");
    {
        platform::QtBackend backend;
        backend.Install();
        ASSERT_EQ(Pattern().CopyToClipboard(), 1);
        EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/bmp"));
    }
    QGuiApplication::clipboard()->setText("after");
    ASSERT_EQ(Pattern().CopyToClipboard(), 1);  // the in-memory clipboard again
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "after");
}

}  // namespace
