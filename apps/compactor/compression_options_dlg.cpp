#include "apps/compactor/compression_options_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "apps/common/help_page.h"
#include "apps/common/program_icon.h"

namespace {

constexpr int kHelpContext = 2;
constexpr int kMinQuality = 0;
constexpr int kMaxQuality = 100;

// The radio buttons in the group's order, which is the codec number's order.
constexpr std::array<const char*, kCodecCount> kCodecTexts = {
    "JPEG Archive", "Intel Indeo Interactive",  "Cinepak by Radius", "Microsoft Video 1",
    "16 Bit BMP",   "24 Bit BMP (Uncompressed)"};

bool UsesQuality(int codec) {
    return codec >= kCodecJpeg && codec <= kCodecVideo1;
}

}  // namespace

CCompressionOptionsDlg::CCompressionOptionsDlg(CompressionSettings& settings, std::string helpFile,
                                               MessageSink messages, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      helpFile_(std::move(helpFile)),
      messages_(std::move(messages)) {
    setWindowTitle(QStringLiteral("Compression Options"));

    auto* codecGroup = new QGroupBox(this);
    auto* codecLayout = new QVBoxLayout(codecGroup);
    auto* buttonGroup = new QButtonGroup(this);
    for (int codec = 0; codec < kCodecCount; ++codec) {
        codecButtons_[codec] = new QRadioButton(QString::fromLatin1(kCodecTexts[codec]));
        buttonGroup->addButton(codecButtons_[codec], codec);
        codecLayout->addWidget(codecButtons_[codec]);
        connect(codecButtons_[codec], &QRadioButton::clicked, this, [this] { OnCodecClicked(); });
    }

    qualityEdit_ = new QLineEdit;
    qualityEdit_->setMaxLength(6);
    auto* up = new QToolButton;
    up->setArrowType(Qt::UpArrow);
    up->setAutoRepeat(true);
    auto* down = new QToolButton;
    down->setArrowType(Qt::DownArrow);
    down->setAutoRepeat(true);
    connect(up, &QToolButton::clicked, this, [this] { StepQuality(1); });
    connect(down, &QToolButton::clicked, this, [this] { StepQuality(-1); });
    auto* upDown = new QVBoxLayout;
    upDown->setSpacing(0);
    upDown->addWidget(up);
    upDown->addWidget(down);
    qualityControls_ = new QWidget;
    auto* qualityControlsLayout = new QHBoxLayout(qualityControls_);
    qualityControlsLayout->setContentsMargins(0, 0, 0, 0);
    qualityControlsLayout->addWidget(qualityEdit_);
    qualityControlsLayout->addLayout(upDown);
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(new QLabel(QStringLiteral("Quality")));
    qualityRow->addWidget(qualityControls_);

    thumbnailBox_ = new QCheckBox(QStringLiteral("Create Thumbnail"));

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(help, &QPushButton::clicked, this, [this] { OnHelp(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(codecGroup);
    layout->addLayout(qualityRow);
    layout->addWidget(thumbnailBox_);
    layout->addWidget(buttons);

    OnInitDialog();
}

int CCompressionOptionsDlg::DoModalFor(int callerWindow) {
    callerWindow_ = callerWindow;
    return exec();
}

void CCompressionOptionsDlg::OnInitDialog() {
    setWindowIcon(ProgramIcon(kCompactorIcon));
    codec_ = settings_.ReadCodec();
    quality_ = settings_.ReadQuality();
    thumbnail_ = settings_.ReadThumbnail();
    DoDataExchange(false);
}

bool CCompressionOptionsDlg::DoDataExchange(bool saveAndValidate) {
    bool valid = true;
    if (saveAndValidate) {
        for (int codec = 0; codec < kCodecCount; ++codec) {
            if (codecButtons_[codec]->isChecked())
                codec_ = codec;
        }
        thumbnail_ = thumbnailBox_->isChecked() ? 1 : 0;
        bool isInteger = false;
        const int quality = qualityEdit_->text().trimmed().toInt(&isInteger);
        if (isInteger && quality >= kMinQuality && quality <= kMaxQuality) {
            quality_ = quality;
        } else {
            valid = false;
            messages_("Please enter an integer between 0 and 100.");
            qualityEdit_->setFocus();
            qualityEdit_->selectAll();
        }
    } else {
        const bool known = codec_ >= 0 && codec_ < kCodecCount;
        for (int codec = 0; codec < kCodecCount; ++codec) {
            codecButtons_[codec]->setChecked(known && codec == codec_);
        }
        qualityEdit_->setText(QString::number(quality_));
        thumbnailBox_->setChecked(thumbnail_ != 0);
    }
    UpdateEnabling();
    return valid;
}

void CCompressionOptionsDlg::OnCodecClicked() {
    DoDataExchange(true);
}

void CCompressionOptionsDlg::OnOK() {
    if (!DoDataExchange(true))
        return;
    settings_.WriteCodec(codec_);
    settings_.WriteQuality(quality_);
    settings_.WriteThumbnail(thumbnail_);
    accept();
}

void CCompressionOptionsDlg::OnCancel() {
    reject();
}

void CCompressionOptionsDlg::OnHelp() {
    if (!OpenHelpFile(helpFile_, kHelpContext))
        messages_(kHelpFailedText);
}

void CCompressionOptionsDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OnHelp();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCompressionOptionsDlg::StepQuality(int step) {
    bool isInteger = false;
    const int current = qualityEdit_->text().trimmed().toInt(&isInteger);
    const int next = std::clamp(isInteger ? current + step : quality_, kMinQuality, kMaxQuality);
    qualityEdit_->setText(QString::number(next));
}

void CCompressionOptionsDlg::UpdateEnabling() {
    qualityControls_->setEnabled(UsesQuality(codec_));
    thumbnailBox_->setEnabled(codec_ == kCodecJpeg);
}
