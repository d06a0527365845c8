#include "apps/cubestitch/image_pane.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "apps/cubestitch/command_ids.h"
#include "platform/qt/surface_image.h"
#include "platform/surface.h"

namespace cubestitch {

namespace {

constexpr int kInitialPictureSize = 256;
constexpr int kCaptionButtonHeight = 25;
constexpr int kInitialPaneSize = 100;
constexpr int kSelectionInset = 2;
constexpr int kSelectionBorder = 4;

// Shows the wait cursor for the life of the object.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

const std::vector<EditMenuItem>& EditMenuItems() {
    static const std::vector<EditMenuItem> items = {
        {"&Copy", "Ctrl+C", kCmdCopy},
        {"&Paste", "Ctrl+V", kCmdPaste},
        {"", "", 0},
        {"Rotate &90", "", kCmdRotate90},
        {"Rotate &180", "", kCmdRotate180},
        {"Rotate &270", "", kCmdRotate270},
        {"", "", 0},
        {"Flip &Vertical", "", kCmdFlipVertical},
        {"Flip &Horizontal", "", kCmdFlipHorizontal},
    };
    return items;
}

CImagePane::CImagePane(QWidget* parent, const QString& caption, int commandId,
                       CommandSink frameCommand)
    : QWidget(parent),
      m_caption(new QPushButton(caption, this)),
      commandId_(commandId),
      frameCommand_(std::move(frameCommand)) {
    m_bitmap.Create(kInitialPictureSize, kInitialPictureSize, 24);
    m_caption->setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, kInitialPaneSize, kInitialPaneSize);
    m_caption->setGeometry(0, 0, kInitialPaneSize, kCaptionButtonHeight);
    connect(m_caption, &QPushButton::clicked, this, [this] { SendToFrame(commandId_); });
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CImagePane::CaptionHeight() const {
    return m_caption->height();
}

QRect CImagePane::PictureRect() const {
    const int top = CaptionHeight();
    return {0, top, width(), std::max(height() - top, 0)};
}

void CImagePane::SendToFrame(int commandId) const {
    if (frameCommand_)
        frameCommand_(commandId);
}

void CImagePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_caption->setGeometry(0, 0, width(), m_caption->height());
}

void CImagePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    Draw(painter);
}

void CImagePane::Draw(QPainter& painter) {
    const QRect area = PictureRect();
    if (area.isEmpty())
        return;
    platform::Surface surface;
    if (m_bitmap.Paint(surface, area.x(), area.y(), area.width(), area.height(), 0, 0, -1, -1) ==
        0)
        return;
    surface.Read([&painter](const platform::SurfacePicture& picture) {
        const QImage image = platform::ImageFromPicture(picture);
        if (!image.isNull())
            painter.drawImage(QPoint(picture.origin.x, picture.origin.y), image);
    });
}

CFacePane::CFacePane(QWidget* parent, const QString& caption, int commandId,
                     CommandSink frameCommand, std::function<void(CFacePane*)> select)
    : CImagePane(parent, caption, commandId, std::move(frameCommand)), select_(std::move(select)) {}

void CFacePane::SetSelected(bool selected) {
    if (selected_ == selected)
        return;
    selected_ = selected;
    update();
}

QRect CFacePane::SelectionRect() const {
    const QRect area = PictureRect();
    return area.adjusted(kSelectionInset, kSelectionInset, -kSelectionInset, -kSelectionInset);
}

void CFacePane::Draw(QPainter& painter) {
    CImagePane::Draw(painter);
    if (!selected_)
        return;
    const QRect border = SelectionRect();
    if (border.width() <= 0 || border.height() <= 0)
        return;
    // A hatched frame just inside the picture's edge.
    const QBrush hatch(Qt::black, Qt::BDiagPattern);
    const int thickness = std::min({kSelectionBorder, border.width(), border.height()});
    painter.fillRect(QRect(border.left(), border.top(), border.width(), thickness), hatch);
    painter.fillRect(QRect(border.left(), border.bottom() - thickness + 1, border.width(), thickness),
                     hatch);
    painter.fillRect(QRect(border.left(), border.top(), thickness, border.height()), hatch);
    painter.fillRect(QRect(border.right() - thickness + 1, border.top(), thickness, border.height()),
                     hatch);
}

void CFacePane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (select_)
        select_(this);
    if (event->button() != Qt::RightButton)
        return;
    QMenu menu(this);
    for (const EditMenuItem& item : EditMenuItems()) {
        if (item.commandId == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromLatin1(item.text));
        const int id = item.commandId;
        connect(action, &QAction::triggered, this, [this, id] { OnEditCommand(id); });
    }
    menu.exec(event->globalPosition().toPoint());
}

void CFacePane::OnEditCommand(int commandId) {
    WaitCursor wait;
    switch (commandId) {
        case kCmdRotate90:
            m_bitmap.Rotate90();
            break;
        case kCmdRotate180:
            m_bitmap.Rotate180();
            break;
        case kCmdRotate270:
            m_bitmap.Rotate270();
            break;
        case kCmdFlipVertical:
            m_bitmap.FlipVertical();
            break;
        case kCmdFlipHorizontal:
            m_bitmap.FlipHorizontal();
            break;
        case kCmdCopy:
            m_bitmap.CopyToClipboard();
            return;
        case kCmdPaste:
            m_bitmap.PasteFromClipboard();
            break;
        default:
            return;
    }
    update();
}

CPanoramaPane::CPanoramaPane(QWidget* parent, CommandSink frameCommand)
    : CImagePane(parent, QStringLiteral("&Seam"), kCmdSeam, std::move(frameCommand)) {}

void CPanoramaPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QMenu menu(this);
    const struct {
        const char* text;
        int commandId;
    } items[] = {{"Seam", kCmdSeam}, {"Save", kCmdSave}, {"View", kCmdViewPanorama}};
    for (const auto& item : items) {
        QAction* action = menu.addAction(QString::fromLatin1(item.text));
        const int id = item.commandId;
        connect(action, &QAction::triggered, this, [this, id] { SendToFrame(id); });
    }
    menu.exec(event->globalPosition().toPoint());
}

}  // namespace cubestitch
