#include "apps/linksmith/embedded_files_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

#include "apps/common/stored_text_qt.h"
#include "apps/linksmith/linksmith_editor.h"
#include "platform/message_box.h"
#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_paths.h"

namespace {

// The help context of the dialog.
constexpr int kEmbeddedFilesHelpContext = 1;

}  // namespace

CEmbeddedFilesDlg::CEmbeddedFilesDlg(QWidget* parent, EmbeddedFileList& files,
                                     std::function<void(int)> help)
    : QDialog(parent),
      files_(files),
      help_(std::move(help)),
      list_(new QTreeWidget(this)),
      addButton_(new QPushButton(QStringLiteral("Add new file(s)..."), this)) {
    setWindowTitle(QStringLiteral("Embedded files"));
    setAcceptDrops(true);
    list_->setAcceptDrops(false);
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const QStringList titles{QStringLiteral("Name"), QStringLiteral("Location"),
                             QStringLiteral("Size")};
    list_->setHeaderLabels(titles);
    list_->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    // Each column three times as wide as its title.
    for (int column = 0; column < titles.size(); ++column)
        list_->setColumnWidth(column, 3 * list_->fontMetrics().horizontalAdvance(titles[column]));
    list_->header()->setStretchLastSection(false);
    list_->setMinimumSize(list_->columnWidth(0) + list_->columnWidth(1) + list_->columnWidth(2) + 8,
                          140);

    auto* remove = new QPushButton(QStringLiteral("Remove selected file(s)"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* helpButton = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* button : {addButton_, remove, cancel, helpButton})
        button->setAutoDefault(false);
    ok->setDefault(true);
    connect(addButton_, &QPushButton::clicked, this, [this] { OnAddFiles(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnRemoveFiles(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (help_)
            help_(kEmbeddedFilesHelpContext);
    });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {ok, cancel, helpButton})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(addButton_);
    rowButtons->addWidget(remove);
    rowButtons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(list_, 1);
    left->addLayout(rowButtons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    ShowRows();
    addButton_->setFocus(Qt::OtherFocusReason);
    files_.SetClashMessage([this](const char* text) {
        platform::MessageBoxOver(this, text, kLinksmithCaption, platform::MB_OK);
    });
}

CEmbeddedFilesDlg::~CEmbeddedFilesDlg() {
    files_.SetClashMessage({});
}

void CEmbeddedFilesDlg::ShowRows() {
    list_->clear();
    for (const EmbeddedFileRow& row : files_.Rows()) {
        auto* item = new QTreeWidgetItem(
            list_, {StoredTextToQString(row.name), platform::PathText(row.source),
                    QString::fromStdString(FormatFileSize(row.size))});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CEmbeddedFilesDlg::AddPaths(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        files_.AddEmbeddedFileRow(path);
    ShowRows();
}

void CEmbeddedFilesDlg::OnAddFiles() {
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    AddPaths(platform::RunOpenDialog(dialog));
}

void CEmbeddedFilesDlg::OnRemoveFiles() {
    std::vector<int> rows;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        if (list_->topLevelItem(row)->isSelected())
            rows.push_back(row);
    }
    files_.RemoveRows(rows);
    ShowRows();
}

void CEmbeddedFilesDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CEmbeddedFilesDlg::dropEvent(QDropEvent* event) {
    AddPaths(platform::DroppedLocalPaths(event->mimeData()));
    event->acceptProposedAction();
}
