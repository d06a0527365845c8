#include "platform/qt/window_host.h"

#include <QKeyEvent>
#include <QMouseEvent>
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
    bool shown = false;
    QPoint origin;
    if (const auto surface = GetWindowSurface(handle_)) {
        surface->Read([&](const SurfacePicture& picture) {
            if (picture.serial <= clearedSerial_)
                return;
            shown = PresentPicture(picture, frame_);
            origin = QPoint(picture.origin.x, picture.origin.y);
        });
    }
    {
        QPainter painter(this);
        if (shown) {
            // The frame is opaque: only the client area around it needs the background.
            painter.setClipRegion(QRegion(rect()).subtracted(QRect(origin, frame_.size())));
            painter.fillRect(rect(), kBackground);
            painter.setClipping(false);
            painter.drawImage(origin, frame_);
        } else {
            painter.fillRect(rect(), kBackground);
        }
    }
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
    QPoint point = event->position().toPoint();
    // While a button is held the pointer stays confined to the client area, so the handlers
    // never see points outside it (they take the coordinates as unsigned 16-bit values).
    if (event->buttons() != Qt::NoButton || message == WM_LBUTTONUP) {
        point.setX(std::clamp(point.x(), 0, std::max(0, width() - 1)));
        point.setY(std::clamp(point.y(), 0, std::max(0, height() - 1)));
    }
    SendMessage(handle_, message, MouseKeyFlags(event->buttons(), event->modifiers()),
                MakeLParam(point.x(), point.y()));
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
