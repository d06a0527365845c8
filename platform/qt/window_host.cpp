#include "platform/qt/window_host.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>

#include "platform/messages.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/surface_image.h"
#include "platform/surface.h"

namespace platform {
namespace {

// The window class background of the viewer windows: light grey.
const QColor kBackground(192, 192, 192);

Point ScreenOrigin(const QWidget* widget) {
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y()};
}

// Writes the picture straight into the image `painter` paints on (the window's backing store),
// when that is a 32-bit image reached by a whole-pixel shift: one pass from the surface to the
// screen's memory. False, with nothing written, for any other paint device.
bool PaintStraight(QPainter& painter, const SurfacePicture& picture, QPoint origin) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
    const QTransform toDevice = painter.deviceTransform();
    if (device == nullptr || device->devType() != QInternal::Image ||
        toDevice.type() > QTransform::TxTranslate) {
        return false;
    }
    const QPoint shift(static_cast<int>(toDevice.dx()), static_cast<int>(toDevice.dy()));
    if (shift.x() != toDevice.dx() || shift.y() != toDevice.dy())
        return false;
    const QRect widgetArea = painter.window().translated(shift);
    const QRegion systemClip = engine->systemClip();
    const QRegion clip = systemClip.isEmpty() ? QRegion(widgetArea) : systemClip & widgetArea;
    return PaintPictureInto(picture, *static_cast<QImage*>(device), origin + shift, clip);
}

}  // namespace

QtWindowHost::QtWindowHost(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    handle_ = CreateWindowRecord(Size{width(), height()}, ScreenOrigin(this));
    if (QtBackend* backend = QtBackend::Installed())
        backend->RegisterHost(handle_, this);
}

QtWindowHost::~QtWindowHost() {
    SendMessage(handle_, WM_DESTROY);
    if (QtBackend* backend = QtBackend::Installed())
        backend->UnregisterHost(handle_);
    DestroyWindowRecord(handle_);
}

void QtWindowHost::ClearPicture() {
    if (const auto surface = GetWindowSurface(handle_))
        clearedSerial_ = surface->Serial();
    update();
}

void QtWindowHost::ShowNewFrame() {
    if (!isVisible())
        return;
    frameRepaintPending_ = true;
    update();
}

void QtWindowHost::PaintNewFrameNow() {
    if (!isVisible())
        return;
    frameRepaintPending_ = true;
    repaint();
}

void QtWindowHost::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect frameArea;
    bool drawnStraight = false;
    bool drawnToImage = false;
    if (const auto surface = GetWindowSurface(handle_)) {
        surface->Read([&](const SurfacePicture& picture) {
            if (picture.serial <= clearedSerial_)
                return;
            frameArea =
                QRect(picture.origin.x, picture.origin.y, picture.size.width, picture.size.height);
            drawnStraight = PaintStraight(painter, picture, frameArea.topLeft());
            drawnToImage = !drawnStraight && PresentPicture(picture, frame_);
        });
    }
    // The frame is opaque: only the client area around it needs the background.
    if (drawnStraight || drawnToImage)
        painter.setClipRegion(QRegion(rect()).subtracted(frameArea));
    painter.fillRect(rect(), kBackground);
    painter.setClipping(false);
    if (drawnToImage)
        painter.drawImage(frameArea.topLeft(), frame_);
    painter.end();
    // A repaint asked for by a new frame shows that frame and nothing more; any other repaint
    // (exposure, resize) tells the window's procedure, which may want a fresh frame.
    const bool systemRepaint = !frameRepaintPending_;
    frameRepaintPending_ = false;
    if (systemRepaint)
        SendMessage(handle_, WM_PAINT);
}

void QtWindowHost::UpdateGeometry() {
    SetWindowGeometry(handle_, Size{width(), height()}, ScreenOrigin(this));
}

void QtWindowHost::resizeEvent(QResizeEvent*) {
    UpdateGeometry();
    SendMessage(handle_, WM_SIZE, SIZE_RESTORED, MakeLParam(width(), height()));
}

void QtWindowHost::moveEvent(QMoveEvent*) {
    UpdateGeometry();
    const Point origin = ScreenOrigin(this);
    SendMessage(handle_, WM_MOVE, 0, MakeLParam(origin.x, origin.y));
}

void QtWindowHost::keyPressEvent(QKeyEvent* event) {
    const int key = VirtualKeyFromQt(event->key());
    if (key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    SendMessage(handle_, WM_KEYDOWN, static_cast<std::uintptr_t>(key),
                MakeKeyData(1, event->isAutoRepeat(), false));
}

void QtWindowHost::keyReleaseEvent(QKeyEvent* event) {
    const int key = VirtualKeyFromQt(event->key());
    // Auto-repeat comes as release and press pairs on some systems; a held key sends key-down
    // repeats and one key-up when it is really let go.
    if (key == 0 || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    SendMessage(handle_, WM_KEYUP, static_cast<std::uintptr_t>(key), MakeKeyData(1, true, true));
}

void QtWindowHost::SendMouse(std::uint32_t message, QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const Point point = ReportedMousePoint(message, event->buttons() != Qt::NoButton,
                                           {at.x(), at.y()}, {width(), height()});
    SendMessage(handle_, message, MouseKeyFlags(event->buttons(), event->modifiers()),
                MakeLParam(point.x, point.y));
}

void QtWindowHost::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        SendMouse(WM_LBUTTONDOWN, event);
    } else if (event->button() == Qt::RightButton) {
        SendMouse(WM_RBUTTONDOWN, event);
    }
}

void QtWindowHost::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SendMouse(WM_LBUTTONUP, event);
    } else if (event->button() == Qt::RightButton) {
        SendMouse(WM_RBUTTONUP, event);
    }
}

void QtWindowHost::mouseMoveEvent(QMouseEvent* event) {
    SendMouse(WM_MOUSEMOVE, event);
}

bool QtWindowHost::focusNextPrevChild(bool) {
    return false;  // Tab is a key for the window's procedure, not a focus move
}

}  // namespace platform
