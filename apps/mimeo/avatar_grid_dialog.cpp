#include "apps/mimeo/avatar_grid_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/message_box.h"

namespace {

constexpr int kGridHelpContext = 2;
constexpr int kLargestGridSide = 32767;

}  // namespace

CAvatarGridDlg::CAvatarGridDlg(QWidget* parent, AvatarGrid grid, std::function<bool(int)> help)
    : QDialog(parent),
      columns_(new QSpinBox),
      rows_(new QSpinBox),
      disableTransparency_(new QCheckBox(QStringLiteral("Disable transparency"))) {
    setWindowTitle(QStringLiteral("Avatar Grid"));
    for (QSpinBox* box : {columns_, rows_})
        box->setRange(1, kLargestGridSide);
    auto* group = new QGroupBox(QStringLiteral("Grid Dimensions"));
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("# of Columns"), columns_);
    form->addRow(QStringLiteral("# of Rows"), rows_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* helpButton =
        buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (!help || !help(kGridHelpContext))
            platform::MessageBox(platform::kNoWindow, "Unable to open help file", "MIMEO",
                                 platform::MB_OK);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(disableTransparency_);
    layout->addWidget(buttons);
    SetGrid(grid);
}

AvatarGrid CAvatarGridDlg::Grid() const {
    return {columns_->value(), rows_->value(), disableTransparency_->isChecked()};
}

void CAvatarGridDlg::SetGrid(AvatarGrid grid) {
    columns_->setValue(grid.columns);
    rows_->setValue(grid.rows);
    disableTransparency_->setChecked(grid.disableTransparency);
}
