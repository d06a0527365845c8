#pragma once
// A platform window shown in a QWidget. The widget owns one window record for its lifetime and
// turns Qt's events into the window's messages: WM_SIZE, WM_MOVE, WM_PAINT (for system
// repaints, not for repaints that only show a new frame), WM_KEYDOWN/WM_KEYUP with
// virtual-key codes and key data, mouse messages with client coordinates and MK_* flags, and
// WM_DESTROY when the widget goes away. It paints the window's surface.
//
// Threads: user-interface thread only. The render thread never touches the widget: it draws
// into the window's surface and the backend asks the widget to repaint (QtBackend::FrameReady).
// A QtBackend must be installed before the first host is made and outlive the last one.

#include <QImage>
#include <QWidget>

#include <cstdint>

#include "platform/window.h"

namespace platform {

class QtWindowHost : public QWidget {
  public:
    explicit QtWindowHost(QWidget* parent = nullptr);
    ~QtWindowHost() override;

    WindowHandle Handle() const { return handle_; }

    // Shows the background from now on, until the surface receives its next picture.
    void ClearPicture();

    // The backend calls this when the surface has a new picture: a repaint is scheduled.
    void ShowNewFrame();
    // The same, painted before returning (the user-interface thread is waiting for frames and
    // does not run the event loop meanwhile). A hidden window paints nothing.
    void PaintNewFrameNow();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void SendMouse(std::uint32_t message, QMouseEvent* event);
    void UpdateGeometry();

    WindowHandle handle_ = kNoWindow;
    std::uint64_t clearedSerial_ = 0;
    bool frameRepaintPending_ = false;
    // The last frame shown through an image of its own (when the window's paint device is not a
    // 32-bit image the frame can be written into), kept so that each frame reuses its memory.
    QImage frame_;
};

}  // namespace platform
