#include "apps/linksmith/define_hotspot_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "apps/common/stored_text_qt.h"
#include "apps/linksmith/hotspot_record.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_paths.h"

namespace {

// The help context of the dialog.
constexpr int kDefineHotspotHelpContext = 3;
// The dialog shows line breaks as the stored text's carriage return and line feed.
const QString kLineBreak = QStringLiteral("\r\n");

// The bytes `c` takes in the stored text: its UTF-8 length, 2 for each half of a surrogate
// pair, and 2 for a line break, which is stored as carriage return and line feed.
int StoredBytes(QChar c) {
    const char16_t code = c.unicode();
    if (code == u'\n')
        return 2;
    if (code < 0x80)
        return 1;
    return code < 0x800 || c.isSurrogate() ? 2 : 3;
}

// The path Browse chose the last time in this run (bytes).
std::string& LastBrowsedPath() {
    static std::string path;
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
    connect(edit_->document(), &QTextDocument::contentsChange, this,
            [this](int from, int, int added) {
                insertedFrom_ = from;
                insertedTo_ = from + added;
            });
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] { KeepWithinLimit(); });

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

void CDefineHotspotDlg::KeepWithinLimit() {
    const QString shown = edit_->toPlainText();
    qsizetype over = -static_cast<qsizetype>(kMaxDescriptionLength);
    for (const QChar c : shown)
        over += StoredBytes(c);
    const int to = std::min(insertedTo_, static_cast<int>(shown.size()));
    int cut = to;
    while (over > 0 && cut > insertedFrom_) {
        --cut;
        over -= StoredBytes(shown[cut]);
        // A pair stands for one character: both halves go.
        if (shown[cut].isLowSurrogate() && cut > insertedFrom_ && shown[cut - 1].isHighSurrogate())
            over -= StoredBytes(shown[--cut]);
    }
    if (cut == to)
        return;
    QTextCursor cursor(edit_->document());
    cursor.setPosition(cut);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void CDefineHotspotDlg::AppendPaths(const QStringList& paths) {
    std::vector<std::string> commands;
    for (const QString& path : paths)
        commands.push_back(path.toStdString());
    SetText(QString::fromStdString(AppendCommands(Text().toStdString(), commands)));
}

void CDefineHotspotDlg::OnBrowse() {
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const std::string& last = LastBrowsedPath();
    const std::vector<std::string> chosen = platform::RunOpenDialog(
        dialog, platform::ParentDirectory(last), last.substr(last.rfind('/') + 1));
    if (chosen.empty())
        return;
    LastBrowsedPath() = chosen.front();
    // The path joins the text as a dropped one does.
    AppendPaths({StoredTextToQString(chosen.front())});
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
    // The description is text: the dropped paths join it read as the stored texts are, so a
    // Windows-1252 name shows as its characters and is stored in UTF-8, which the action
    // runners map back onto the file's own bytes.
    QStringList paths;
    for (const std::string& path : platform::DroppedLocalPaths(event->mimeData()))
        paths.append(StoredTextToQString(path));
    AppendPaths(paths);
    event->acceptProposedAction();
}
