#include "platform/qt_media/qt_video_popup.h"

#include <QMetaObject>
#include <QPainter>
#include <QThread>

#include <cstring>

namespace platform {

VideoPopup::VideoPopup(int videoWidth, int videoHeight, bool fullScreen)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      fullScreen_(fullScreen) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(videoWidth, videoHeight);
}

void VideoPopup::SetFrame(const QImage& frame) {
    frame_ = frame;
    if (isHidden()) {
        if (fullScreen_) {
            showFullScreen();
        } else {
            show();
        }
    }
    update();
}

void VideoPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (frame_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(rect(), frame_);
}

QtVideoSink::QtVideoSink(int videoWidth, int videoHeight, bool fullScreen)
    : popup_(new VideoPopup(videoWidth, videoHeight, fullScreen)) {}

QtVideoSink::~QtVideoSink() {
    if (QThread::currentThread() == popup_->thread()) {
        delete popup_;
    } else {
        popup_->deleteLater();
    }
}

void QtVideoSink::Place(const ScreenRect& rect) {
    popup_->setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void QtVideoSink::Show(int width, int height, std::span<const std::uint8_t> bgra) {
    QImage frame(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        std::memcpy(frame.scanLine(row), bgra.data() + static_cast<std::size_t>(row) * width * 4,
                    static_cast<std::size_t>(width) * 4);
    }
    VideoPopup* popup = popup_;
    QMetaObject::invokeMethod(
        popup, [popup, frame] { popup->SetFrame(frame); }, Qt::QueuedConnection);
}

}  // namespace platform
