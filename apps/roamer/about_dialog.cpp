#include "apps/roamer/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "apps/common/program_icon.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Roamer"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon(kRoamerIcon).pixmap(48, 48));
    auto* lines = new QLabel(QStringLiteral("Roamer Version %1\nThe Halvex panorama viewer\n"
                                            "Copyright (C) Tavrin\nBuilt %2")
                                 .arg(QStringLiteral(HALVEX_VERSION), QStringLiteral(__DATE__)),
                             this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(lines, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
