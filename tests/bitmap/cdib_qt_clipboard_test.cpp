// Clipboard transfer through the desktop's clipboard (Qt, offscreen platform in the tests).
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <algorithm>

#include "bitmap/cdib.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_clipboard.h"

namespace {

void StartApplication() {
    static int argc = 1;
    static char name[] = "bitmap_qt_clipboard_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

CDIB Pattern() {  // 5 x 3: red 50 x, green 80 y, blue 7
    CDIB dib(5, 3, 24);
    for (int i = 0; i < 15; ++i)
        dib.SetPixel(i % 5, i / 5, static_cast<std::uint8_t>(50 * (i % 5)),
                     static_cast<std::uint8_t>(80 * (i / 5)), 7);
    return dib;
}

std::array<int, 3> ColourAt(const CDIB& dib, int x, int y) {
    std::uint8_t r = 0, g = 0, b = 0;
    EXPECT_EQ(dib.GetPixel(x, y, &r, &g, &b), 1);
    return {r, g, b};
}

class CdibQtClipboard : public testing::Test {
  protected:
    void SetUp() override {
        StartApplication();
        platform::SetClipboard(&clipboard_);
    }
    void TearDown() override { platform::SetClipboard(nullptr); }
    platform::QtClipboard clipboard_;
};

TEST_F(CdibQtClipboard, CopyIsABitmapThatPastesBackAndOtherProgramsRead) {
    const CDIB source = Pattern();
    ASSERT_EQ(source.CopyToClipboard(), 1);
    CDIB target(1, 1, 8);
    ASSERT_EQ(target.PasteFromClipboard(), 1);
    EXPECT_TRUE(std::ranges::equal(target.GetBlock(), source.GetBlock()));

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data != nullptr && data->hasFormat("image/bmp"));
    const QImage image = QImage::fromData(data->data("image/bmp"), "BMP");
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(image.pixel(4, 2), qRgb(200, 160, 7));
}

TEST_F(CdibQtClipboard, PastesAPlainImageAndLeavesTheBitmapAloneForText) {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(3, 0, qRgb(250, 128, 1));
    QGuiApplication::clipboard()->setImage(image);
    CDIB target;
    ASSERT_EQ(target.PasteFromClipboard(), 1);
    ASSERT_EQ(target.GetWidth() * 10 + target.GetHeight(), 42);
    EXPECT_EQ(ColourAt(target, 3, 0), (std::array<int, 3>{250, 128, 1}));
    EXPECT_EQ(ColourAt(target, 0, 1), (std::array<int, 3>{10, 20, 30}));

    QGuiApplication::clipboard()->setText("no picture here");
    EXPECT_EQ(target.PasteFromClipboard(), 0);
    EXPECT_EQ(ColourAt(target, 3, 0), (std::array<int, 3>{250, 128, 1}));
}

TEST(CdibQtBackend, InstallingTheBackendInstallsTheDesktopClipboard) {
    StartApplication();
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
