#include "apps/cubestitch/seam_options_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <fstream>

#include "platform/message_box.h"
#include "tests/apps/cubestitch/seam_test_support.h"

namespace cubestitch {
namespace {

constexpr const char* kWidthMessage = "Width must be a positive multiple of 16 less than 16384";
constexpr const char* kHeightMessage = "Height must be a positive multiple of 16 less than 16384";

class SeamOptionsTest : public SeamTest {
  protected:
    std::unique_ptr<CSeamOptionsDlg> MakeDialog() {
        const SeamFrameServices services = RecordingServices();
        return std::make_unique<CSeamOptionsDlg>(nullptr, settings_, services.ask,
                                                 services.runCompressor, services.help);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const AskedMessage& m : messages_)
            texts.push_back(m.text);
        return texts;
    }
};

TEST_F(SeamOptionsTest, OpensWithStoredValuesOrDefaults) {
    auto fresh = MakeDialog();
    EXPECT_EQ(fresh->WidthEdit()->text(), "2048");
    EXPECT_EQ(fresh->HeightEdit()->text(), "1024");
    EXPECT_TRUE(fresh->AspectBox()->isChecked());
    EXPECT_EQ(fresh->windowTitle(), "Cubestitch Options");

    settings_.WriteWidth(512);
    settings_.WriteHeight(512);
    settings_.WriteAspect(0);
    auto stored = MakeDialog();
    EXPECT_EQ(stored->WidthEdit()->text(), "512");
    EXPECT_EQ(stored->HeightEdit()->text(), "512");
    EXPECT_FALSE(stored->AspectBox()->isChecked());

    // Numbers beyond int are not narrowed into it: 2^32 + 16, 2^32 + 512, 2^32.
    std::ofstream(settings_.FilePath(), std::ios::trunc)
        << "[Seam]\nWidth=4294967312\nHeight=4294967808\nAspect=4294967296\n";
    auto wrapped = MakeDialog();
    EXPECT_EQ(wrapped->WidthEdit()->text(), "2048");
    EXPECT_EQ(wrapped->HeightEdit()->text(), "1024");
    EXPECT_TRUE(wrapped->AspectBox()->isChecked());
}

TEST_F(SeamOptionsTest, ExchangeChecksEachSizeInTurn) {
    struct Case {
        const char* width;
        const char* height;
        const char* message;  // null: accepted
    };
    const Case cases[] = {
        {"16384", "16", nullptr},
        {"16", "16384", nullptr},
        {" 64 ", "32", nullptr},
        {"16400", "1024", kWidthMessage},
        {"0", "1024", kWidthMessage},
        {"-16", "1024", kWidthMessage},
        {"100", "1024", kWidthMessage},
        {"2048", "8", kHeightMessage},
        {"2048", "1000", kHeightMessage},
        {"abc", "1024", "Please enter an integer."},
        {"", "1024", "Please enter an integer."},
        {"2048", "1e3", "Please enter an integer."},
        // The first bad field is reported, nothing after it.
        {"7", "9", kWidthMessage},
    };
    for (const Case& c : cases) {
        messages_.clear();
        auto dialog = MakeDialog();
        dialog->WidthEdit()->setText(c.width);
        dialog->HeightEdit()->setText(c.height);
        EXPECT_EQ(dialog->DoDataExchange(true), c.message == nullptr) << c.width << "x" << c.height;
        if (c.message == nullptr) {
            EXPECT_TRUE(messages_.empty());
            EXPECT_EQ(dialog->m_width, QString(c.width).trimmed().toInt());
            EXPECT_EQ(dialog->m_height, QString(c.height).toInt());
        } else {
            EXPECT_EQ(Texts(), std::vector<std::string>{c.message}) << c.width << "x" << c.height;
        }
    }
}

TEST_F(SeamOptionsTest, AspectBoxCouplesTheSizesWhenAFieldIsLeft) {
    struct Case {
        const char* name;
        bool aspect;
        bool leaveWidth;  // else the height field is left
        const char* width;
        const char* height;
        const char* shownWidth;
        const char* shownHeight;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"width sets height", true, true, "2048", "16", "2048", "1024", {}},
        {"height sets width", true, false, "16", "512", "1024", "512", {}},
        {"not ticked: no coupling", false, true, "2048", "16", "2048", "16", {}},
        {"48 gives 24, refused at the next exchange", true, true, "48", "16", "48", "24", {}},
        {"16384 high gives 32768 wide", true, false, "16", "16384", "32768", "16384", {}},
        {"invalid width: no coupling", true, true, "100", "16", "100", "16", {kWidthMessage}},
    };
    for (const Case& c : cases) {
        messages_.clear();
        auto dialog = MakeDialog();
        dialog->AspectBox()->setChecked(c.aspect);
        dialog->WidthEdit()->setText(c.width);
        dialog->HeightEdit()->setText(c.height);
        if (c.leaveWidth)
            dialog->OnWidthChanged();
        else
            dialog->OnHeightChanged();
        EXPECT_EQ(dialog->WidthEdit()->text(), c.shownWidth) << c.name;
        EXPECT_EQ(dialog->HeightEdit()->text(), c.shownHeight) << c.name;
        EXPECT_EQ(Texts(), c.messages) << c.name;
    }
    // The coupled values that break the rules are caught by the next exchange.
    messages_.clear();
    auto dialog = MakeDialog();
    dialog->WidthEdit()->setText("48");
    dialog->OnWidthChanged();
    EXPECT_FALSE(dialog->DoDataExchange(true));
    EXPECT_EQ(Texts(), std::vector<std::string>{kHeightMessage});
}

TEST_F(SeamOptionsTest, OkWritesAllThreeCancelWritesNothing) {
    {
        auto dialog = MakeDialog();
        dialog->WidthEdit()->setText("4096");  // typed, the field never left
        dialog->HeightEdit()->setText("1024");
        dialog->AspectBox()->setChecked(false);
        dialog->reject();
        EXPECT_FALSE(std::filesystem::exists(settings_.FilePath()));
    }
    {
        auto dialog = MakeDialog();
        dialog->WidthEdit()->setText("100");
        dialog->accept();
        EXPECT_EQ(dialog->result(), QDialog::Rejected);  // stays open
        EXPECT_FALSE(std::filesystem::exists(settings_.FilePath()));
        dialog->WidthEdit()->setText("4096");
        dialog->AspectBox()->setChecked(false);
        dialog->accept();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
    EXPECT_EQ(settings_.ReadWidth(), 4096);
    EXPECT_EQ(settings_.ReadHeight(), 1024);
    EXPECT_EQ(settings_.ReadAspect(), 0);
}

TEST_F(SeamOptionsTest, CompressionButtonRunsTheCompressorsDialog) {
    auto dialog = MakeDialog();
    dialog->OpenCompressionOptions();
    ASSERT_EQ(compressorRuns_.size(), 1u);
    EXPECT_EQ(compressorRuns_[0], std::vector<std::string>{"/dialog"});
    EXPECT_TRUE(messages_.empty());

    compressorStarts_ = false;
    dialog->OpenCompressionOptions();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Failed to find Compactor.exe"});

    // F1 where the focus is (a size field passes it on) opens the help as the button does.
    messages_.clear();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(dialog->WidthEdit(), &f1);
    EXPECT_EQ(helpContext_, 3);
    EXPECT_TRUE(messages_.empty());
    helpOpens_ = false;
    dialog->OnHelp();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to open help file"});
}

}  // namespace
}  // namespace cubestitch
