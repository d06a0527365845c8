#include "apps/linksmith/panorama_details_edit_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/common/stored_text_qt.h"

CPanoramaDetailsEditDlg::CPanoramaDetailsEditDlg(QWidget* parent, const PanoramaNote& note)
    : QDialog(parent), given_(note) {
    setWindowTitle(QStringLiteral("Panorama Details"));
    auto* fields = new QFormLayout;
    for (std::size_t i = 0; i < kPanoramaNoteFieldCount; ++i) {
        edits_[i] = new QLineEdit(StoredTextToQString(note.fields[i]), this);
        edits_[i]->setCursorPosition(0);  // a long text shows from its start
        shown_[i] = edits_[i]->text();
        edits_[i]->setMinimumWidth(360);
        const std::string_view label = kPanoramaNoteLabels[i];
        fields->addRow(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())),
                       edits_[i]);
    }

    auto* clear = new QPushButton(QStringLiteral("Clear All Fields"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    clear->setAutoDefault(false);
    cancel->setAutoDefault(false);
    ok->setDefault(true);
    connect(clear, &QPushButton::clicked, this, [this] { OnClearAllFields(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    ok->setFocus(Qt::OtherFocusReason);
}

PanoramaNote CPanoramaDetailsEditDlg::Note() const {
    PanoramaNote note;
    for (std::size_t i = 0; i < kPanoramaNoteFieldCount; ++i)
        note.fields[i] = StoredTextFromQString(given_.fields[i], shown_[i], edits_[i]->text());
    return note;
}

void CPanoramaDetailsEditDlg::OnClearAllFields() {
    for (QLineEdit* edit : edits_)
        edit->clear();
}
