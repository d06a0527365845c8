#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"
#include "tests/platform/qt/qt_test_app.h"

namespace platform {
namespace {

struct Seen {
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows a box of `type`, notes what it offers and presses `press`; returns the answer.
int Answer(std::uint32_t type, QMessageBox::StandardButton press, Seen& seen,
           const char* text = "File I/O Error: Cannot Open Specified File") {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        seen.icon = box->icon();
        box->button(press)->click();
    });
    return MessageBox(kNoWindow, text, "Roamer", type);
}

TEST(QtMessageBox, ShowsTheCaptionTextIconAndButtonsAndReturnsTheAnswer) {
    EnsureQtTestApp();
    QtBackend backend;
    backend.Install();
    const struct {
        const char* name;
        std::uint32_t type;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton press;
        int answer;
    } cases[] = {
        {"ok", MB_OK | MB_ICONWARNING, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Warning,
         QMessageBox::Ok, IDOK},
        {"yes/no, no by default", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::Question,
         QMessageBox::Yes, IDYES},
        {"yes/no/cancel", MB_YESNOCANCEL | MB_ICONERROR,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
         QMessageBox::Critical, QMessageBox::Cancel, IDCANCEL},
        {"retry/cancel", MB_RETRYCANCEL | MB_ICONINFORMATION,
         QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, QMessageBox::Information,
         QMessageBox::Retry, IDRETRY},
    };
    for (const auto& c : cases) {
        Seen seen;
        EXPECT_EQ(Answer(c.type, c.press, seen), c.answer) << c.name;
        EXPECT_EQ(seen.caption, QStringLiteral("Roamer")) << c.name;
        EXPECT_EQ(seen.text, QStringLiteral("File I/O Error: Cannot Open Specified File"))
            << c.name;
        EXPECT_EQ(seen.buttons, c.buttons) << c.name;
        EXPECT_EQ(seen.defaultButton, c.defaultButton) << c.name;
        EXPECT_EQ(seen.icon, c.icon) << c.name;
    }
    // A text that holds an action's target reads as the texts panoramas store.
    Seen seen;
    Answer(MB_OK, QMessageBox::Ok, seen, "caf\xe9.doc");
    EXPECT_EQ(seen.text, QStringLiteral("caf\u00e9.doc"));
}

}  // namespace
}  // namespace platform
