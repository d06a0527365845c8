#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSettings>

#include "plugin/scenegrab/saver_options.h"
#include "plugin/scenegrab/saver_options_dlg.h"
#include "tests/plugin/scenegrab/scenegrab_fixture.h"

namespace {

using scenegrab::PanoramaSizeForFaces;

QApplication& TestApplication() {
    // Made once and kept to the end of the process: Qt cannot be torn down and set up again.
    static int argc = 1;
    static char name[] = "scenegrab_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

TEST(SaverOptions, OffersAPanoramaSizeForTheFaces) {
    struct Case {
        int faceWidth, faceHeight;
        bool aspect;
        int width, height;
    };
    const Case cases[] = {
        {256, 256, true, 1024, 512}, {250, 200, true, 1024, 512}, {250, 200, false, 1008, 400},
        {16, 16, true, 64, 32},      {1, 1, false, 16, 16},       {200, 250, true, 1024, 512},
    };
    for (const Case& c : cases) {
        const auto size = PanoramaSizeForFaces(c.faceWidth, c.faceHeight, c.aspect);
        EXPECT_EQ(size.width, c.width) << c.faceWidth << "x" << c.faceHeight << " " << c.aspect;
        EXPECT_EQ(size.height, c.height) << c.faceWidth << "x" << c.faceHeight << " " << c.aspect;
    }
}

TEST_F(ScenegrabTest, OptionsWithoutADialogTakeTheOfferAndKeepTheProfile) {
    EXPECT_EQ(scenegrab::SaverProfile::ReadAspect(), 1);
    EXPECT_EQ(scenegrab::SaverProfile::ReadSuppress(0), 0);
    auto options = scenegrab::ShowSaverOptions({250, 200, false, false});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->size.width, 1024);
    EXPECT_FALSE(options->suppress);

    scenegrab::SaverProfile::Write(1, 0);
    options = scenegrab::ShowSaverOptions({250, 200, false, false});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->size.width, 1008);
    EXPECT_EQ(options->size.height, 400);
    EXPECT_TRUE(options->suppress);
    EXPECT_TRUE(std::filesystem::exists(root_ / "config" / "Tavrin" / "Scenegrab.conf"));
}

// Without a dialog the size offered for the host's frames and the stored aspect meets the
// dialog's bounds: what lies outside them is refused with the dialog's message.
TEST_F(ScenegrabTest, OptionsWithoutADialogKeepTheDialogsBounds) {
    struct Case {
        int faceSize;
        const char* storedAspect;
        int width;            // of the panorama taken (its height is half of it)
        const char* message;  // of a refusal
    };
    const Case cases[] = {
        {4096, "1", 16384, ""},
        {4100, "1", 0, "Please enter an integer between 64 and 8196."},
        {25, "1", 128, ""},
        {25, "0", 0, "Please enter an integer between 128 and 16392."},
        {4096, "4294967296", 16384, ""},  // 2^32 is not 0: the default aspect
    };
    for (const Case& c : cases) {
        backend_->ClearMessageBoxes();
        QSettings(QString::fromStdString(scenegrab::SaverProfile::FilePath()), QSettings::IniFormat)
            .setValue(QStringLiteral("LightWave Pan Plug-In/Aspect"), c.storedAspect);
        const auto options = scenegrab::ShowSaverOptions({c.faceSize, c.faceSize, false, false});
        EXPECT_EQ(options ? options->size.width : 0, c.width) << c.faceSize;
        EXPECT_EQ(Messages(),
                  *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

TEST_F(ScenegrabTest, OptionsDialogChecksItsFields) {
    TestApplication();
    struct Case {
        const char* width;
        const char* height;
        bool accepted;
        const char* message;
    };
    const Case cases[] = {
        {"2048", "1024", true, nullptr},
        {"1000", "512", false, "The width must be a multiple of 16"},
        {"1024", "500", false, "The height must be a multiple of 16"},
        {"16400", "512", false, "Please enter an integer between 128 and 16392."},
        {"16392", "8196", false, "The width must be a multiple of 16"},
        {"1024", "48", false, "Please enter an integer between 64 and 8196."},
        {"wide", "512", false, "Please enter an integer between 128 and 16392."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        backend_.reset();
        backend_ = std::make_unique<platform::HeadlessBackend>();
        scenegrab::SaverOptionsDlg dialog({{1024, 512}, false, false, false});
        dialog.findChild<QLineEdit*>("edit1000")->setText(c.width);
        dialog.findChild<QLineEdit*>("edit1001")->setText(c.height);
        EXPECT_EQ(dialog.ReadControls(), c.accepted);
        const auto messages = Messages();
        if (c.message != nullptr)
            EXPECT_EQ(messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(messages.empty());
    }
}

TEST_F(ScenegrabTest, OptionsDialogKeepsTwoToOneWhenAsked) {
    TestApplication();
    scenegrab::SaverOptionsDlg dialog({{1008, 400}, false, true, true});
    auto* width = dialog.findChild<QLineEdit*>("edit1000");
    auto* height = dialog.findChild<QLineEdit*>("edit1001");
    auto* aspect = dialog.findChild<QCheckBox*>("check1008");
    EXPECT_EQ(height->text(), "504");  // opening with the box checked sets height = width / 2
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("check1007")->isEnabled());  // a sequence

    width->setText("2048");
    emit width->editingFinished();
    EXPECT_EQ(height->text(), "1024");
    height->setText("256");
    emit height->editingFinished();
    EXPECT_EQ(width->text(), "512");

    aspect->setChecked(false);
    width->setText("4096");
    emit width->editingFinished();
    EXPECT_EQ(height->text(), "256");
    aspect->setChecked(true);
    EXPECT_EQ(height->text(), "2048");
}

}  // namespace
