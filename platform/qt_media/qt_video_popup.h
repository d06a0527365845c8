#pragma once
// Pictures of a playing video in a frameless window of their own, placed over the view at the
// rectangle the caller gives, or over the whole screen.

#include <QImage>
#include <QWidget>

#include "platform/media/media_backend.h"

namespace platform {

// GUI thread only.
class VideoPopup final : public QWidget {
  public:
    VideoPopup(int videoWidth, int videoHeight, bool fullScreen);
    void SetFrame(const QImage& frame);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage frame_;
    bool fullScreen_;
};

// Owns one popup; Show may be called from the playback thread, the rest on the GUI thread.
class QtVideoSink final : public VideoSink {
  public:
    QtVideoSink(int videoWidth, int videoHeight, bool fullScreen);
    ~QtVideoSink() override;
    void Place(const ScreenRect& rect) override;
    void Show(int width, int height, std::span<const std::uint8_t> bgra) override;

  private:
    VideoPopup* popup_;
};

}  // namespace platform
