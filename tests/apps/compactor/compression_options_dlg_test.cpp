#include "apps/compactor/compression_options_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/program_launcher.h"
#include "tests/apps/compactor/temp_config.h"

namespace {

class CompressionOptionsDlgTest : public TempConfigTest {
  protected:
    void SetUp() override {
        TempConfigTest::SetUp();
        TestApplication();
    }

    CompressionSettings settings_;
};

TEST_F(CompressionOptionsDlgTest, OpensWithTheStoredSettings) {
    settings_.WriteCodec(3);
    settings_.WriteQuality(40);
    settings_.WriteThumbnail(0);
    CCompressionOptionsDlg dialog(settings_, "", Recorder());
    EXPECT_TRUE(dialog.codecButton(3)->isChecked());
    EXPECT_EQ(dialog.qualityEdit()->text().toStdString(), "40");
    EXPECT_FALSE(dialog.thumbnailBox()->isChecked());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Compression Options");
}

TEST_F(CompressionOptionsDlgTest, EnablingFollowsTheChosenCodec) {
    struct Case {
        int codec;
        bool qualityEnabled;
        bool thumbnailEnabled;
    };
    const Case cases[] = {{0, true, true},  {1, true, false},  {2, true, false},
                          {3, true, false}, {4, false, false}, {5, false, false}};
    CCompressionOptionsDlg dialog(settings_, "", Recorder());
    for (const Case& c : cases) {
        dialog.codecButton(c.codec)->click();
        EXPECT_EQ(dialog.codec(), c.codec);
        EXPECT_EQ(dialog.qualityEdit()->isEnabled(), c.qualityEnabled) << c.codec;
        EXPECT_EQ(dialog.thumbnailBox()->isEnabled(), c.thumbnailEnabled) << c.codec;
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CompressionOptionsDlgTest, OkValidatesTheQualityThenWritesAllThree) {
    const struct {
        const char* text;
        bool accepted;
    } cases[] = {{"101", false}, {"-1", false}, {"abc", false},
                 {"", false},    {"0", true},   {" 100 ", true}};
    for (const auto& c : cases) {
        messages_.clear();
        settings_.WriteQuality(55);
        CCompressionOptionsDlg dialog(settings_, "", Recorder());
        dialog.codecButton(2)->setChecked(true);
        dialog.thumbnailBox()->setChecked(false);
        dialog.qualityEdit()->setText(QString::fromLatin1(c.text));
        dialog.OnOK();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_TRUE(messages_.empty()) << c.text;
            EXPECT_EQ(settings_.ReadCodec(), 2);
            EXPECT_EQ(settings_.ReadQuality(), QString(c.text).trimmed().toInt());
            EXPECT_EQ(settings_.ReadThumbnail(), 0);
        } else {
            EXPECT_EQ(messages_,
                      std::vector<std::string>{"Please enter an integer between 0 and 100."})
                << c.text;
            EXPECT_EQ(settings_.ReadQuality(), 55) << c.text;
        }
    }
}

TEST_F(CompressionOptionsDlgTest, CancelWritesNothing) {
    CCompressionOptionsDlg dialog(settings_, "", Recorder());
    dialog.codecButton(4)->setChecked(true);
    dialog.qualityEdit()->setText("12");
    dialog.OnCancel();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(settings_.FilePath()));
}

TEST_F(CompressionOptionsDlgTest, HelpThatCannotBeOpenedIsReported) {
    const std::string page = Scratch("help.html");
    std::ofstream(page) << "<html></html>";
    struct Case {
        const char* name;
        std::string page;
        bool opens;  // what the desktop's opener answers
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"missing page", Scratch("no-such-help.html"), true, {"Unable to open help file"}},
        {"no program found for the page", page, false, {"Unable to open help file"}},
        {"opened", page, true, {}},
    };
    for (const Case& c : cases) {
        auto launcher = std::make_shared<platform::RecordingLauncher>();
        launcher->openResult = c.opens;
        const auto previous = platform::InstallProgramLauncher(launcher);
        messages_.clear();
        CCompressionOptionsDlg dialog(settings_, c.page, Recorder());
        dialog.OnHelp();
        platform::InstallProgramLauncher(previous);
        EXPECT_EQ(messages_, c.said) << c.name;
    }
}

}  // namespace
