#include "apps/cubestitch/seam_options_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/cube_seam/seam_settings.h"
#include "platform/message_box.h"

namespace cubestitch {

namespace {

constexpr int kHelpContext = 3;

}  // namespace

CSeamOptionsDlg::CSeamOptionsDlg(QWidget* parent, SeamSettings& settings, AskUser ask,
                                 CompressorRunner runCompressor, std::function<bool(int)> help)
    : QDialog(parent),
      settings_(settings),
      ask_(std::move(ask)),
      runCompressor_(std::move(runCompressor)),
      help_(std::move(help)),
      widthEdit_(new QLineEdit),
      heightEdit_(new QLineEdit),
      aspectBox_(new QCheckBox(QStringLiteral("2:1 &Aspect ratio"))) {
    setWindowTitle(QStringLiteral("Cubestitch Options"));
    m_width = settings_.ReadWidth();
    m_height = settings_.ReadHeight();
    m_aspect = settings_.ReadAspect();

    auto* sizeBox = new QGroupBox(QStringLiteral("Image size"));
    auto* sizeGrid = new QGridLayout(sizeBox);
    auto* widthLabel = new QLabel(QStringLiteral("Width"));
    auto* heightLabel = new QLabel(QStringLiteral("Height"));
    widthLabel->setBuddy(widthEdit_);
    heightLabel->setBuddy(heightEdit_);
    sizeGrid->addWidget(widthLabel, 0, 0);
    sizeGrid->addWidget(widthEdit_, 0, 1);
    sizeGrid->addWidget(heightLabel, 1, 0);
    sizeGrid->addWidget(heightEdit_, 1, 1);
    sizeGrid->addWidget(aspectBox_, 2, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* compression =
        buttons->addButton(QStringLiteral("Compression..."), QDialogButtonBox::ActionRole);
    QPushButton* helpButton =
        buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    // The buttons do not take the focus, so a size field keeps it (and is exchanged on OK)
    // when one of them is clicked.
    for (QAbstractButton* button : buttons->buttons())
        button->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSeamOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSeamOptionsDlg::reject);
    connect(compression, &QPushButton::clicked, this, [this] { OpenCompressionOptions(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { OnHelp(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeBox);
    layout->addWidget(buttons);

    widthEdit_->installEventFilter(this);
    heightEdit_->installEventFilter(this);
    DoDataExchange(false);
}

bool CSeamOptionsDlg::TakeSize(QLineEdit* edit, const char* message, int* value) {
    bool isNumber = false;
    const int number = edit->text().trimmed().toInt(&isNumber);
    const char* complaint = !isNumber                       ? "Please enter an integer."
                            : !IsValidSeamDimension(number) ? message
                                                            : nullptr;
    if (complaint == nullptr) {
        *value = number;
        return true;
    }
    reporting_ = true;
    ask_(complaint, platform::MB_OK | platform::MB_ICONWARNING);
    edit->setFocus();
    edit->selectAll();
    reporting_ = false;
    return false;
}

bool CSeamOptionsDlg::DoDataExchange(bool saveAndValidate) {
    if (!saveAndValidate) {
        widthEdit_->setText(QString::number(m_width));
        heightEdit_->setText(QString::number(m_height));
        aspectBox_->setChecked(m_aspect != 0);
        return true;
    }
    if (!TakeSize(widthEdit_, "Width must be a positive multiple of 16 less than 16384", &m_width))
        return false;
    if (!TakeSize(heightEdit_, "Height must be a positive multiple of 16 less than 16384",
                  &m_height))
        return false;
    m_aspect = aspectBox_->isChecked() ? 1 : 0;
    return true;
}

void CSeamOptionsDlg::OnWidthChanged() {
    if (!DoDataExchange(true) || m_aspect == 0)
        return;
    m_height = m_width / 2;
    DoDataExchange(false);
}

void CSeamOptionsDlg::OnHeightChanged() {
    if (!DoDataExchange(true) || m_aspect == 0)
        return;
    m_width = m_height * 2;
    DoDataExchange(false);
}

void CSeamOptionsDlg::OpenCompressionOptions() {
    if (!runCompressor_({"/dialog"}).started)
        ask_("Failed to find Compactor.exe", platform::MB_OK);
}

void CSeamOptionsDlg::OnHelp() {
    if (!help_ || !help_(kHelpContext))
        ask_("Unable to open help file", platform::MB_OK);
}

void CSeamOptionsDlg::accept() {
    if (!DoDataExchange(true))
        return;
    const bool written = settings_.WriteWidth(m_width) && settings_.WriteHeight(m_height) &&
                         settings_.WriteAspect(m_aspect);
    if (!written)
        ask_("Failed to save settings", platform::MB_OK | platform::MB_ICONWARNING);
    QDialog::accept();
}

void CSeamOptionsDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OnHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CSeamOptionsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !reporting_ && isVisible()) {
        if (watched == widthEdit_)
            OnWidthChanged();
        else if (watched == heightEdit_)
            OnHeightChanged();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace cubestitch
