#include "apps/linksmith/define_hotspot_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/linksmith/dropped_files.h"
#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"

namespace {

// The help context of the dialog.
constexpr int kDefineHotspotHelpContext = 3;
// The dialog shows line breaks as the stored text's carriage return and line feed.
const QString kLineBreak = QStringLiteral("\r\n");
const QString kCommandJoint = QStringLiteral(";\r\n");

// The path Browse chose the last time in this run.
QString& LastBrowsedPath() {
    static QString path;
    return path;
}

}  // namespace

CDefineHotspotDlg::CDefineHotspotDlg(QWidget* parent, const QString& text,
                                     std::function<void(int)> help)
    : QDialog(parent), edit_(new QPlainTextEdit(this)), help_(std::move(help)) {
    setWindowTitle(QStringLiteral("Define hotspot"));
    setAcceptDrops(true);
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setAcceptDrops(false);
    edit_->setMinimumSize(360, 120);

    auto* buttons = new QVBoxLayout;
    const auto addButton = [&](const char* label, auto slot) {
        auto* button = new QPushButton(QString::fromUtf8(label), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
        return button;
    };
    QPushButton* ok = addButton("OK", [this] { accept(); });
    ok->setDefault(true);
    addButton("Cancel", [this] { reject(); });
    addButton("Browse...", [this] { OnBrowse(); });
    addButton("Clear", [this] { OnClear(); });
    addButton("Display...", [this] { OnDisplay(); });
    addButton("Help", [this] {
        if (help_)
            help_(kDefineHotspotHelpContext);
    });
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Hotspot description:"), this));
    left->addWidget(edit_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    SetText(text);
}

QString CDefineHotspotDlg::Text() const {
    QString text = edit_->toPlainText();
    text.replace(kLineBreak, QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), kLineBreak);
    return text;
}

void CDefineHotspotDlg::SetText(const QString& text) {
    QString shown = text;
    shown.replace(kLineBreak, QStringLiteral("\n"));
    edit_->setPlainText(shown);
}

void CDefineHotspotDlg::AppendPaths(const QStringList& paths) {
    QString text = Text();
    for (const QString& path : paths) {
        if (!text.isEmpty())
            text += kCommandJoint;
        text += path;
    }
    SetText(text);
}

void CDefineHotspotDlg::OnBrowse() {
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!LastBrowsedPath().isEmpty())
        dialog.selectFile(LastBrowsedPath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    LastBrowsedPath() = dialog.selectedFiles().front();
    AppendPaths({LastBrowsedPath()});
}

void CDefineHotspotDlg::OnClear() {
    SetText(QString());
}

void CDefineHotspotDlg::OnDisplay() {
    platform::MessageBoxOver(this, Text().toStdString(), "Hotspot Description", platform::MB_OK);
}

void CDefineHotspotDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CDefineHotspotDlg::dropEvent(QDropEvent* event) {
    AppendPaths(DroppedLocalFiles(event->mimeData()));
    event->acceptProposedAction();
}
