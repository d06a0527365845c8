#include "apps/mimeo/frame_preview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

CFramePreview::CFramePreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(160, 160);
    setAutoFillBackground(true);
}

void CFramePreview::SetFrame(QImage frame) {
    frame_ = std::move(frame);
    update();
}

QRgb CFramePreview::TransparentColour() const {
    return palette().color(QPalette::Window).rgb();
}

QRect CFramePreview::TargetRect(QSize client, QSize frameSize) {
    if (frameSize.isEmpty() || client.isEmpty())
        return {};
    const double scale = std::min(static_cast<double>(client.height()) / frameSize.height(),
                                  static_cast<double>(client.width()) / frameSize.width());
    const auto width = static_cast<int>(std::trunc(scale * frameSize.width()));
    const auto height = static_cast<int>(std::trunc(scale * frameSize.height()));
    return {(client.width() - width) / 2 + 10, (client.height() - height) / 2 + 10, width - 20,
            height - 20};
}

void CFramePreview::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (frame_.isNull())
        return;
    const QRect target =
        TargetRect(contentsRect().size(), frame_.size()).translated(contentsRect().topLeft());
    if (target.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame_);
}
