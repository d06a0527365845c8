// The editor's dialogs on the offscreen display, driven as a user would: the define-hotspot
// dialog's line form and what Browse, Clear and a drop do to typed text; the angular-size
// dialog's range check; the embedded-files dialog's rows; the details dialog's fields.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QUrl>

#include "apps/linksmith/define_dimensions_dialog.h"
#include "apps/linksmith/define_hotspot_dialog.h"
#include "apps/linksmith/embedded_files_dialog.h"
#include "apps/linksmith/hotspot_record.h"
#include "apps/linksmith/panorama_details_edit_dialog.h"
#include "platform/headless/headless_backend.h"
#include "tests/apps/linksmith/qt_test_app.h"
#include "tests/engine/container/container_test_support.h"

namespace {

class LinksmithDialogsTest : public testing::Test {
  protected:
    void SetUp() override { EnsureQtApplication(); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRecord& box : backend_.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }

    platform::HeadlessBackend backend_;  // records the message boxes
};

TEST_F(LinksmithDialogsTest, DefineDialogKeepsTypedTextWhenPathsArrive) {
    const struct {
        const char* name;
        std::string stored;  // the hotspot's text
        QString typed;       // typed at the end before the paths arrive
        QStringList paths;   // from Browse or a drop
        std::string result;  // stored again after OK
    } cases[] = {
        {"two commands, untouched", "a.pan;  b.wav", "", {}, "a.pan;  b.wav"},
        {"path into empty text", "", "", {"/m/x.wav"}, "/m/x.wav"},
        {"typed text kept", "", "go.pan", {"/m/x.wav"}, "go.pan;  /m/x.wav"},
        {"drop of two", "a.pan", "", {"/m/x.wav", "/m/y.avi"}, "a.pan;  /m/x.wav;  /m/y.avi"},
        {"typed line break stays bare", "a.pan", "\nb.pan", {}, "a.pan\r\nb.pan"},
    };
    for (const auto& c : cases) {
        CDefineHotspotDlg dialog(nullptr, QString::fromStdString(ToDialogLines(c.stored)), {});
        auto* edit = dialog.findChild<QPlainTextEdit*>();
        ASSERT_NE(edit, nullptr);
        if (c.stored.find(";  ") != std::string::npos) {
            EXPECT_EQ(edit->document()->blockCount(), 2) << c.name << ": one command a line";
        }
        edit->moveCursor(QTextCursor::End);
        edit->insertPlainText(c.typed);
        if (!c.paths.isEmpty())
            dialog.AppendPaths(c.paths);
        EXPECT_EQ(ToStoredText(dialog.Text().toStdString()), c.result) << c.name;
    }

    CDefineHotspotDlg dialog(nullptr, QStringLiteral("a.pan"), {});
    dialog.findChild<QPlainTextEdit*>()->insertPlainText(QStringLiteral("typed"));
    dialog.OnClear();
    EXPECT_TRUE(dialog.Text().isEmpty());
    dialog.AppendPaths({QStringLiteral("/m/x.wav")});
    EXPECT_EQ(dialog.Text(), QStringLiteral("/m/x.wav")) << "no joint before the first command";

    // A dropped Windows-1252 name arrives as its characters, not as U+FFFD.
    dialog.OnClear();
    QMimeData dropped;
    dropped.setUrls({QUrl(QStringLiteral("file:///m/caf%E9.wav"))});
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drop);
    EXPECT_EQ(dialog.Text(), QStringLiteral("/m/caf\u00e9.wav"));
}

TEST_F(LinksmithDialogsTest, DefineDialogHoldsNoMoreThanTheEditorReadsBack) {
    const auto as = [](int n, char c = 'a') { return QString(n, QLatin1Char(c)); };
    const QString path = QStringLiteral("/") + as(43, 'p');
    const struct {
        const char* name;
        QString given;
        int at;  // where the typing goes in
        QString typed;
        QStringList paths;  // from Browse or a drop
        QString result;     // as Text() gives it
    } cases[] = {
        {"a line break takes two bytes", as(2046), 2046, "\n", {}, as(2046)},
        {"a paste keeps its start", "x" + as(2040), 1, "bcdefghijk", {}, "xbcdefg" + as(2040)},
        {"bytes, not letters", as(2043), 2043, "\u00e9\U0001F600\u00e9", {}, as(2043) + "\u00e9"},
        {"only whole paths are added", as(2000), 0, "", {path, "/q"}, as(2000) + ";\r\n" + path},
        {"a longer text given is cut", as(3000), 0, "", {}, as(2047)},
    };
    for (const auto& c : cases) {
        CDefineHotspotDlg dialog(nullptr, c.given, {});
        auto* edit = dialog.findChild<QPlainTextEdit*>();
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(c.at);
        edit->setTextCursor(cursor);
        edit->insertPlainText(c.typed);
        dialog.AppendPaths(c.paths);
        EXPECT_EQ(dialog.Text(), c.result) << c.name;
    }
}

TEST_F(LinksmithDialogsTest, DimensionsDialogTakesOnlyDegreesInRange) {
    CDefineDimensionsDlg dialog(nullptr, 360, 180);
    EXPECT_EQ(dialog.HorizontalEdit()->text(), QStringLiteral("360"));
    const struct {
        const char* horizontal;
        const char* vertical;
        bool taken;
        const char* complaint;
    } cases[] = {
        {"400", "90", false, "Please enter an integer between 1 and 360."},
        {"90", "200", false, "Please enter an integer between 1 and 180."},
        {"ninety", "90", false, "Please enter an integer."},
        {"120", "60", true, nullptr},
    };
    for (const auto& c : cases) {
        backend_.ClearMessageBoxes();
        dialog.HorizontalEdit()->setText(QString::fromLatin1(c.horizontal));
        dialog.VerticalEdit()->setText(QString::fromLatin1(c.vertical));
        EXPECT_EQ(dialog.TakeValues(), c.taken) << c.horizontal << " " << c.vertical;
        if (c.complaint) {
            EXPECT_EQ(Messages(), std::vector<std::string>{c.complaint});
            EXPECT_EQ(dialog.Horizontal(), 360) << "nothing taken from a refused entry";
            EXPECT_EQ(dialog.Vertical(), 180);
        } else {
            EXPECT_TRUE(Messages().empty());
        }
    }
    EXPECT_EQ(dialog.Horizontal(), 120);
    EXPECT_EQ(dialog.Vertical(), 60);
}

TEST_F(LinksmithDialogsTest, EmbeddedFilesDialogShowsAddsAndRemovesRows) {
    TempFolder folder;
    WriteFileBytes(folder / "clip.avi", Bytes(1234, 7));
    EmbeddedFileList files;
    // A name stored in Windows-1252 shows as its characters.
    for (const auto& [name, size] : {std::pair{"~a.wav", 999}, {"~b\xe9.avt", 1000}, {"~c.txt", 0}})
        ASSERT_TRUE(files.AddEmbeddedFileRow(name, size));
    CEmbeddedFilesDlg dialog(nullptr, files, {});
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("b\u00e9.avt"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("[embedded]"));
    EXPECT_EQ(list->topLevelItem(1)->text(2), QStringLiteral("1,000"));
    EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("999"));

    // A new file from disk shows its folder and its size.
    dialog.AddPaths({(folder / "clip.avi").string()});
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(3)->text(1), QString::fromStdString(folder.Path().string()));
    EXPECT_EQ(list->topLevelItem(3)->text(2), QStringLiteral("1,234"));

    // Two selected rows go, with their entries; the others move up in step.
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(2)->setSelected(true);
    dialog.OnRemoveFiles();
    ASSERT_EQ(files.Rows().size(), 2u);
    EXPECT_EQ(files.Rows()[0].name, "b\xe9.avt");
    EXPECT_EQ(files.Rows()[1].name, "clip.avi");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("clip.avi"));
}

TEST_F(LinksmithDialogsTest, DetailsDialogEditsAndClearsTheTenTexts) {
    PanoramaNote note;
    note.fields[0] = "Ann \xdc Example";  // Windows-1252: kept as it is while unchanged
    note.fields[9] = "Credits line";
    CPanoramaDetailsEditDlg dialog(nullptr, note);
    EXPECT_EQ(dialog.Note(), note);
    EXPECT_EQ(dialog.Edit(0)->text(), QStringLiteral("Ann \u00dc Example"));
    EXPECT_EQ(dialog.Edit(9)->text(), QStringLiteral("Credits line"));
    dialog.Edit(4)->setText(QStringLiteral("ann\u00e9@example.org"));
    note.fields[4] = "ann\xc3\xa9@example.org";
    EXPECT_EQ(dialog.Note(), note);
    dialog.OnClearAllFields();
    EXPECT_TRUE(dialog.Note().IsEmpty());
}

}  // namespace
