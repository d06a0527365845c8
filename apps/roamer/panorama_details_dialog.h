#pragma once
// The Panorama Details dialog: the ten descriptive texts of the open panorama, read-only,
// beside a live preview in which the panorama turns slowly. UI thread only; run modally.
//
// The dialog owns the preview window (a platform window in a black frame). `previewOpened`
// runs once the dialog is shown and receives that window, so the caller can point its viewer
// engine at it; `previewClosing` runs when the dialog is closed, before the preview window is
// destroyed, so the caller can take the engine back.

#include <QDialog>

#include <array>
#include <functional>
#include <string>

#include "platform/window.h"

namespace platform {
class QtWindowHost;
}

class CPanoramaDetailsDlg : public QDialog {
  public:
    using Texts = std::array<std::string, 10>;

    CPanoramaDetailsDlg(const Texts& texts, QWidget* parent = nullptr);
    ~CPanoramaDetailsDlg() override;

    std::function<void(platform::WindowHandle preview)> previewOpened;
    std::function<void()> previewClosing;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    platform::QtWindowHost* preview_ = nullptr;
    bool previewOpen_ = false;
};
