#pragma once
// The sunken frame in which Mimeo's main dialog shows the current frame of the avatar, scaled
// to fit with a margin of 10 pixels, smoothly. Transparent colours show in the frame's own
// background colour. User-interface thread only.

#include <QFrame>
#include <QImage>

class CFramePreview final : public QFrame {
  public:
    explicit CFramePreview(QWidget* parent = nullptr);

    // The frame to show (a null image shows nothing).
    void SetFrame(QImage frame);
    // The colour transparent palette entries are drawn in: the preview's background.
    QRgb TransparentColour() const;

    // Where a frame of `frameSize` is drawn inside a client area of `client`: the largest
    // whole-ratio fit, centred, less 10 pixels on every side.
    static QRect TargetRect(QSize client, QSize frameSize);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage frame_;
};
