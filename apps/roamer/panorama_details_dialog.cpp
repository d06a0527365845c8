#include "apps/roamer/panorama_details_dialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "apps/common/stored_text_qt.h"
#include "platform/qt/window_host.h"

namespace {

// A control of the dialog's layout, in dialog units (x, y, width, height).
struct Place {
    int x, y, width, height;
};

struct Field {
    const char* label;
    Place labelPlace;
    int id;
    Place textPlace;
};

// In the order of the texts: photographer, organisation, street, city, e-mail, phone, fax,
// description, notes, credits.
constexpr Field kFields[10] = {
    {"Photographer/Artist:", {182, 11, 66, 10}, 1000, {249, 11, 123, 10}},
    {"Organization:", {182, 23, 66, 11}, 1002, {249, 24, 123, 10}},
    {"Street Address:", {182, 35, 66, 11}, 1003, {249, 36, 123, 10}},
    {"City/State/Zip:", {181, 47, 66, 11}, 1004, {249, 48, 123, 10}},
    {"email:", {182, 59, 66, 11}, 1005, {249, 60, 123, 10}},
    {"phone:", {182, 71, 66, 11}, 1006, {249, 72, 123, 10}},
    {"fax:", {182, 83, 66, 11}, 1007, {249, 84, 123, 10}},
    {"Panorama Description:", {7, 107, 75, 10}, 1001, {85, 108, 287, 9}},
    {"Notes:", {7, 118, 24, 9}, 1008, {36, 118, 336, 9}},
    {"Credits:", {7, 128, 26, 9}, 1009, {36, 128, 336, 8}},
};
constexpr Place kPreview{7, 7, 166, 92};
constexpr Place kOk{327, 143, 45, 14};
constexpr int kDialogWidth = 379;
constexpr int kDialogHeight = 164;

// Dialog units to pixels from the font: a vertical unit is an eighth of the line height; a
// horizontal unit a quarter of the average letter width, widened where needed so that every
// label fits its place (the layout was made for a narrower font).
class DialogUnits {
  public:
    explicit DialogUnits(const QFontMetrics& metrics) : lineHeight_(metrics.height()) {
        const QString alphabet =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        xNumerator_ = metrics.horizontalAdvance(alphabet);
        xDenominator_ = 4 * static_cast<int>(alphabet.size());
        for (const Field& field : kFields) {
            const int needed = metrics.horizontalAdvance(QString::fromLatin1(field.label)) + 2;
            if (needed * xDenominator_ > field.labelPlace.width * xNumerator_) {
                xNumerator_ = needed;
                xDenominator_ = field.labelPlace.width;
            }
        }
    }
    int X(int units) const { return units * xNumerator_ / xDenominator_; }
    int Y(int units) const { return units * lineHeight_ / 8; }
    QRect Rect(const Place& place) const {
        return {X(place.x), Y(place.y), X(place.width), Y(place.height)};
    }

  private:
    int lineHeight_;
    int xNumerator_;
    int xDenominator_;
};

}  // namespace

CPanoramaDetailsDlg::CPanoramaDetailsDlg(const Texts& texts, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Panorama Details"));
    const DialogUnits units(fontMetrics());
    setFixedSize(units.X(kDialogWidth), units.Y(kDialogHeight));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("1010"));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setStyleSheet(QStringLiteral("QFrame { color: black; }"));
    frame->setGeometry(units.Rect(kPreview));
    preview_ = new platform::QtWindowHost(frame);
    preview_->setFocusPolicy(Qt::NoFocus);
    preview_->setGeometry(frame->contentsRect().adjusted(1, 1, -1, -1));

    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        const Field& field = kFields[i];
        auto* label = new QLabel(QString::fromLatin1(field.label), this);
        label->setGeometry(units.Rect(field.labelPlace));
        auto* text = new QLabel(StoredTextToQString(texts[i]), this);
        text->setObjectName(QString::number(field.id));
        text->setTextFormat(Qt::PlainText);
        text->setGeometry(units.Rect(field.textPlace));
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(units.Rect(kOk));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

CPanoramaDetailsDlg::~CPanoramaDetailsDlg() {
    if (previewOpen_ && previewClosing)
        previewClosing();
}

void CPanoramaDetailsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (previewOpen_)
        return;
    previewOpen_ = true;
    if (previewOpened)
        previewOpened(preview_->Handle());
}

void CPanoramaDetailsDlg::done(int result) {
    if (previewOpen_) {
        previewOpen_ = false;
        if (previewClosing)
            previewClosing();
    }
    QDialog::done(result);
}
