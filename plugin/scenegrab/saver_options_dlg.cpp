#include "plugin/scenegrab/saver_options_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/common/program_icon.h"
#include "plugin/scenegrab/compactor_handoff.h"
#include "plugin/scenegrab/plugin_ui.h"

namespace scenegrab {

namespace {

constexpr int kHelpContext = 5;

QPushButton* AddButton(QBoxLayout* layout, const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

}  // namespace

SaverOptionsDlg::SaverOptionsDlg(const SaverOptionsDlgValues& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setWindowTitle(QString::fromLatin1(kPluginCaption));
    auto* layout = new QVBoxLayout(this);

    auto* group = new QGroupBox(tr("Panorama size"), this);
    auto* form = new QFormLayout(group);
    width_ = new QLineEdit(group);
    width_->setObjectName(QStringLiteral("edit1000"));
    height_ = new QLineEdit(group);
    height_->setObjectName(QStringLiteral("edit1001"));
    auto* widthLabel = new QLabel(tr("&Width"), group);
    widthLabel->setBuddy(width_);
    auto* heightLabel = new QLabel(tr("&Height"), group);
    heightLabel->setBuddy(height_);
    form->addRow(widthLabel, width_);
    form->addRow(heightLabel, height_);
    layout->addWidget(group);

    aspect_ = new QCheckBox(tr("&Force 2:1 aspect ratio"), this);
    aspect_->setObjectName(QStringLiteral("check1008"));
    suppress_ = new QCheckBox(tr("&Suppress view window"), this);
    suppress_->setObjectName(QStringLiteral("check1007"));
    suppress_->setEnabled(!values_.sequence);
    layout->addWidget(aspect_);
    layout->addWidget(suppress_);

    auto* row = new QHBoxLayout;
    QPushButton* compression = AddButton(row, tr("Com&pression..."), "button1014", this);
    QPushButton* help = AddButton(row, tr("H&elp"), "button1010", this);
    QPushButton* about = AddButton(row, tr("&About"), "button1013", this);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    WriteControls();
    if (values_.aspect)
        OnAspectToggled();

    connect(width_, &QLineEdit::editingFinished, this, [this] { OnWidthDone(); });
    connect(height_, &QLineEdit::editingFinished, this, [this] { OnHeightDone(); });
    connect(aspect_, &QCheckBox::toggled, this, [this] { OnAspectToggled(); });
    connect(compression, &QPushButton::clicked, this, [] { OpenCompressionOptions(); });
    connect(help, &QPushButton::clicked, this, [] { OpenPluginHelp(kHelpContext); });
    connect(about, &QPushButton::clicked, this, [this] { ShowPluginAbout(this); });
    connect(buttons, &QDialogButtonBox::accepted, this, &SaverOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SaverOptionsDlg::WriteControls() {
    width_->setText(QString::number(values_.size.width));
    height_->setText(QString::number(values_.size.height));
    aspect_->setChecked(values_.aspect);
    suppress_->setChecked(values_.suppress);
}

bool SaverOptionsDlg::ReadControls() {
    SaverOptionsDlgValues read = values_;
    // A text that is not a whole number reads as 0, below every bound.
    read.size = {width_->text().trimmed().toInt(), height_->text().trimmed().toInt()};
    read.suppress = suppress_->isChecked();
    read.aspect = aspect_->isChecked();
    if (const std::optional<PanoramaSizeProblem> problem = CheckPanoramaSize(read.size)) {
        (problem->width ? width_ : height_)->setFocus();
        ShowMessage(problem->text);
        return false;
    }
    values_ = read;
    return true;
}

void SaverOptionsDlg::accept() {
    if (ReadControls())
        QDialog::accept();
}

void SaverOptionsDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OpenPluginHelp(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

void SaverOptionsDlg::OnWidthDone() {
    bool ok = false;
    const int width = width_->text().trimmed().toInt(&ok);
    if (ok && aspect_->isChecked())
        height_->setText(QString::number(width / 2));
}

void SaverOptionsDlg::OnHeightDone() {
    bool ok = false;
    const int height = height_->text().trimmed().toInt(&ok);
    if (ok && aspect_->isChecked())
        width_->setText(QString::number(2 * height));
}

void SaverOptionsDlg::OnAspectToggled() {
    if (aspect_->isChecked())
        OnWidthDone();
}

void ShowPluginAbout(QWidget* parent) {
    QMessageBox about(parent);
    about.setWindowTitle(QString::fromLatin1(kPluginCaption));
    about.setIconPixmap(ProgramIcon(kScenegrabIcon).pixmap(64, 64));
    about.setText(
        QStringLiteral("Scenegrab\nVersion 1.0\n\nThis work is based in part on the "
                       "work of the Independent JPEG Group."));
    about.exec();
}

}  // namespace scenegrab
