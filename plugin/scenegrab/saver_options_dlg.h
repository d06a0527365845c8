#pragma once
// The saver's options dialog: the panorama size (CheckPanoramaSize), "Force 2:1 aspect ratio"
// coupling them, "Suppress view window" (enabled only for a single panorama), Compactor's own
// options, help and the About box. Host thread; needs a QApplication.

#include <QDialog>

#include "plugin/scenegrab/saver_options.h"

class QCheckBox;
class QLineEdit;

namespace scenegrab {

struct SaverOptionsDlgValues {
    PanoramaSize size;
    bool suppress = false;
    bool aspect = true;
    bool sequence = false;
};

class SaverOptionsDlg : public QDialog {
  public:
    explicit SaverOptionsDlg(const SaverOptionsDlgValues& values, QWidget* parent = nullptr);

    // The values as the dialog holds them (after an accepted OK: as checked).
    SaverOptionsDlgValues Values() const { return values_; }

    // Reads the controls into the values, checked by CheckPanoramaSize; on a failure shows its
    // message, puts the focus on the control and returns false.
    bool ReadControls();
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void WriteControls();
    // The aspect couplings: leaving the width sets the height, leaving the height the width,
    // checking the box sets the height from the width.
    void OnWidthDone();
    void OnHeightDone();
    void OnAspectToggled();

    SaverOptionsDlgValues values_;
    QLineEdit* width_;
    QLineEdit* height_;
    QCheckBox* aspect_;
    QCheckBox* suppress_;
};

// The plug-in's About box.
void ShowPluginAbout(QWidget* parent);

}  // namespace scenegrab
