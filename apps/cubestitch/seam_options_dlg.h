#pragma once
// "Cubestitch Options": the panorama size the seam produces ("Width", "Height", a whole
// multiple of 16 from 16 to 16384), the "2:1 Aspect ratio" box that couples them when a size
// field loses the focus, the "Compression..." button that runs the compressor's own options
// dialog, and Help. OK writes the three values to the settings; Cancel writes nothing.
// User-interface thread only.

#include <QDialog>

#include <functional>

#include "apps/cubestitch/panorama_saver.h"
#include "apps/cubestitch/seam_messages.h"
#include "apps/cubestitch/seam_settings.h"

class QCheckBox;
class QLineEdit;

namespace cubestitch {

class CSeamOptionsDlg final : public QDialog {
  public:
    // Reads the three values from `settings` (which must outlive the dialog). Messages go to
    // `ask`; the compressor's dialog runs through `runCompressor`; `help` opens the help at a
    // context number and says whether it could.
    CSeamOptionsDlg(QWidget* parent, SeamSettings& settings, AskUser ask,
                    CompressorRunner runCompressor, std::function<bool(int context)> help);

    // The dialog's fields and the controls. With `saveAndValidate` the values are taken from
    // the controls in the order width, height, aspect; the first invalid size is reported
    // ("Width must be a positive multiple of 16 less than 16384", likewise "Height"), gets the
    // focus back, and nothing after it is taken; text that is not a whole number gets "Please
    // enter an integer.". Without it the controls show the values. False when a check failed.
    bool DoDataExchange(bool saveAndValidate);

    // Focus left a size field: take the values; when that succeeds and the aspect box is
    // ticked, set the other size from it (height = width / 2, width = height x 2) and show it.
    void OnWidthChanged();
    void OnHeightChanged();
    // Runs "compactor /dialog" and waits; "Failed to find Compactor.exe" when it cannot start.
    void OpenCompressionOptions();
    // Opens the help at context 3 (the Help button and F1); "Unable to open help file" when it
    // cannot.
    void OnHelp();

    void accept() override;

    int m_width = SeamSettings::kDefaultWidth;
    int m_height = SeamSettings::kDefaultHeight;
    int m_aspect = SeamSettings::kDefaultAspect;

    QLineEdit* WidthEdit() const { return widthEdit_; }
    QLineEdit* HeightEdit() const { return heightEdit_; }
    QCheckBox* AspectBox() const { return aspectBox_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool TakeSize(QLineEdit* edit, const char* message, int* value);

    SeamSettings& settings_;
    AskUser ask_;
    CompressorRunner runCompressor_;
    std::function<bool(int)> help_;
    QLineEdit* widthEdit_;
    QLineEdit* heightEdit_;
    QCheckBox* aspectBox_;
    bool reporting_ = false;  // a message about a field is up: focus changes are not exchanges
};

}  // namespace cubestitch
