#include "apps/cube_seam/seam_progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

SeamProgressDialog::SeamProgressDialog(QWidget* parent)
    : QDialog(parent),
      text_(new QLabel(QStringLiteral("Seaming Image"), this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Seaming Image"));
    setModal(true);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(320);
}

void SeamProgressDialog::Begin(const std::string& text, bool cancellable) {
    ++seam_;
    finished_ = false;
    bar_->setValue(0);
    text_->setText(QString::fromStdString(text));
    cancel_->setEnabled(cancellable);
}

void SeamProgressDialog::PostPosition(int position) {
    QMetaObject::invokeMethod(
        this,
        [this, position, seam = seam_.load()] {
            if (seam == seam_.load())
                bar_->setValue(position);
        },
        Qt::QueuedConnection);
}

void SeamProgressDialog::PostFinished() {
    QMetaObject::invokeMethod(
        this,
        [this, seam = seam_.load()] {
            if (seam != seam_.load())
                return;
            finished_ = true;
            if (isVisible())
                accept();
        },
        Qt::QueuedConnection);
}

bool SeamProgressDialog::Run() {
    if (finished_)
        return true;
    return exec() == QDialog::Accepted || finished_;
}

int SeamProgressDialog::Position() const {
    return bar_->value();
}

void SeamProgressDialog::reject() {
    if (cancel_->isEnabled())
        QDialog::reject();
}
