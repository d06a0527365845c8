#include "apps/linksmith/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include "apps/common/program_icon.h"

namespace {

// The program's picture: a strip of panorama sky and ground with a hotspot frame on it.
QPixmap ProgramPicture() {
    QPixmap picture(96, 48);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 48);
    sky.setColorAt(0, QColor(70, 120, 200));
    sky.setColorAt(0.6, QColor(190, 215, 240));
    sky.setColorAt(0.61, QColor(90, 130, 60));
    sky.setColorAt(1, QColor(50, 80, 30));
    painter.fillRect(picture.rect(), sky);
    painter.setPen(QColor(255, 0, 0));
    painter.drawRect(30, 14, 28, 20);
    return picture;
}

}  // namespace

CLinksmithAboutDlg::CLinksmithAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Linksmith"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon(kLinksmithIcon).pixmap(48, 48));
    auto* picture = new QLabel(this);
    picture->setPixmap(ProgramPicture());
    auto* name = new QLabel(QStringLiteral("Corvane\nLinksmith\nVersion 4.0"), this);
    auto* maker = new QLabel(
        QStringLiteral("Copyright (C) Tavrin\nBuilt %1").arg(QStringLiteral(__DATE__)), this);
    auto* notice = new QLabel(
        QStringLiteral("This work is based in part on the work of the Independent JPEG Group."),
        this);
    notice->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(maker);
    layout->addWidget(notice);
    layout->addWidget(buttons);
    setFixedWidth(441);
}
