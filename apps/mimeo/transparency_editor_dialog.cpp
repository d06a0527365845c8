#include "apps/mimeo/transparency_editor_dialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "apps/mimeo/frame_image.h"

// The frame shown stretched over the whole pane; left clicks and Ctrl drags go to the editor.
class CEditorFramePane final : public QWidget {
  public:
    CEditorFramePane(CTransparencyEditorDlg* editor, const PackedDib& image, int column, int row)
        : editor_(editor), image_(image), column_(column), row_(row) {
        setMinimumSize(200, 200);
        setCursor(Qt::CrossCursor);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRgb background = editor_->palette().color(QPalette::Window).rgb();
        painter.drawImage(rect(), FrameImage(image_, column_, row_, background));
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            editor_->PickAt(event->position().toPoint(),
                            event->modifiers().testFlag(Qt::ControlModifier));
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons().testFlag(Qt::LeftButton) &&
            event->modifiers().testFlag(Qt::ControlModifier) &&
            rect().contains(event->position().toPoint()))
            editor_->PickAt(event->position().toPoint(), true);
    }

  private:
    CTransparencyEditorDlg* editor_;
    const PackedDib& image_;
    int column_, row_;
};

std::optional<QPoint> PanePointToFramePixel(QPoint point, QSize pane, QSize frame) {
    if (pane.isEmpty() || frame.isEmpty() || point.x() < 0 || point.y() < 0 ||
        point.x() >= pane.width() || point.y() >= pane.height())
        return std::nullopt;
    const auto x =
        static_cast<int>(std::trunc(static_cast<double>(point.x()) / pane.width() * frame.width()));
    const auto y = static_cast<int>(std::trunc(static_cast<double>(pane.height() - point.y() - 1) /
                                               pane.height() * frame.height()));
    return QPoint(x, y);
}

CTransparencyEditorDlg::CTransparencyEditorDlg(QWidget* parent, PackedDib& image, int column,
                                               int row, std::function<void()> redrawMain)
    : QDialog(parent),
      image_(image),
      column_(column),
      row_(row),
      redrawMain_(std::move(redrawMain)),
      red_(new QLineEdit),
      green_(new QLineEdit),
      blue_(new QLineEdit),
      sensitivity_(new QLineEdit),
      slider_(new QSlider(Qt::Horizontal)),
      pane_(new CEditorFramePane(this, image, column, row)) {
    setWindowTitle(QStringLiteral("Transparency Editor"));
    for (QLineEdit* edit : {red_, green_, blue_, sensitivity_})
        edit->setValidator(new QIntValidator(-1, 765, edit));
    auto* rgb = new QGroupBox(QStringLiteral("RGB Value"));
    auto* rgbForm = new QFormLayout(rgb);
    rgbForm->addRow(QStringLiteral("Red:"), red_);
    rgbForm->addRow(QStringLiteral("Green:"), green_);
    rgbForm->addRow(QStringLiteral("Blue:"), blue_);
    auto* sensitivityGroup = new QGroupBox(QStringLiteral("Sensitivity"));
    auto* sensitivityLayout = new QHBoxLayout(sensitivityGroup);
    sensitivityLayout->addWidget(sensitivity_);
    sensitivityLayout->addWidget(slider_);
    slider_->setRange(0, 20);
    auto* selection = new QGroupBox(QStringLiteral("Transparency Selection"));
    auto* instructions = new QLabel(QStringLiteral(
        "Click on the image below to select the transparent color.\n\nHold the Ctrl key down "
        "and click (or drag) to select multiple transparent colors."));
    instructions->setWordWrap(true);
    (new QVBoxLayout(selection))->addWidget(instructions);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    auto* removeAll = new QPushButton(QStringLiteral("Remove All Transparency"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(removeAll, &QPushButton::clicked, this, [this] { RemoveAllTransparency(); });
    connect(slider_, &QSlider::sliderMoved, this, [this](int value) { OnSensitivityMoved(value); });
    connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            OnSensitivityMoved(slider_->sliderPosition());
    });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(removeAll);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(rgb);
    left->addWidget(sensitivityGroup);
    auto* right = new QHBoxLayout;
    right->addWidget(selection, 1);
    right->addLayout(buttons);
    auto* layout = new QGridLayout(this);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addWidget(pane_, 1, 0);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    // Every colour already marked counts as picked, so that the track bar keeps it.
    const std::uint8_t* entry = image_.data() + platform::kInfoHeaderSize;
    for (int i = 0; i < 256; ++i, entry += 4) {
        if (entry[3] != 0)
            picked_.push_back({entry[0], entry[1], entry[2]});
    }
    SetFields(FirstTransparentColour(image_), 0);
}

QWidget* CTransparencyEditorDlg::FramePane() const {
    return pane_;
}

int CTransparencyEditorDlg::Field(const QLineEdit* edit) const {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? value : -1;
}

int CTransparencyEditorDlg::Red() const {
    return Field(red_);
}
int CTransparencyEditorDlg::Green() const {
    return Field(green_);
}
int CTransparencyEditorDlg::Blue() const {
    return Field(blue_);
}
int CTransparencyEditorDlg::Sensitivity() const {
    return std::max(0, Field(sensitivity_));
}

void CTransparencyEditorDlg::SetFields(std::optional<ColourKey> colour, int sensitivity) {
    red_->setText(QString::number(colour ? colour->red : -1));
    green_->setText(QString::number(colour ? colour->green : -1));
    blue_->setText(QString::number(colour ? colour->blue : -1));
    sensitivity_->setText(QString::number(sensitivity));
    slider_->setValue(sensitivity / 5);
}

void CTransparencyEditorDlg::MarkPicked() {
    ClearTransparency(image_);
    for (const ColourKey& key : picked_)
        MarkTransparent(image_, key, 3 * Sensitivity());
}

void CTransparencyEditorDlg::Changed() {
    if (redrawMain_)
        redrawMain_();
    pane_->update();
}

void CTransparencyEditorDlg::PickAt(QPoint point, bool ctrl) {
    const QSize frame = FrameSize(image_);
    const std::optional<QPoint> pixel = PanePointToFramePixel(point, pane_->size(), frame);
    if (!pixel) {
        QApplication::beep();
        return;
    }
    if (!ctrl) {
        ClearTransparency(image_);
        picked_.clear();
    }
    const std::size_t x = static_cast<std::size_t>(column_) * frame.width() + pixel->x();
    const std::size_t y = static_cast<std::size_t>(row_) * frame.height() + pixel->y();
    const std::size_t index = image_[kHeaderAndPalette + y * HeaderOf(image_).biWidth + x];
    const std::uint8_t* entry = image_.data() + platform::kInfoHeaderSize + 4 * index;
    const ColourKey colour{entry[0], entry[1], entry[2]};
    picked_.push_back(colour);
    SetFields(colour, Sensitivity());
    MarkTransparent(image_, colour, 3 * Sensitivity());
    Changed();
}

void CTransparencyEditorDlg::OnSensitivityMoved(int position) {
    const int red = Red(), green = Green(), blue = Blue();
    sensitivity_->setText(QString::number(position * 5));
    if (red >= 0 && green >= 0 && blue >= 0) {
        const ColourKey typed{blue, green, red};
        if (picked_.empty())
            picked_.push_back(typed);
        else
            picked_.back() = typed;
    }
    MarkPicked();
    Changed();
}

void CTransparencyEditorDlg::RemoveAllTransparency() {
    ClearTransparency(image_);
    picked_.clear();
    Changed();
}

void CTransparencyEditorDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        QApplication::beep();
    QDialog::mousePressEvent(event);
}
