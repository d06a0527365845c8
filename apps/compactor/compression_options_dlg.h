#pragma once
// The "Compression Options" dialog: the codec (six radio buttons), the quality (an edit with an
// up-down control, 0..100) and the thumbnail flag. It opens with the stored settings and writes
// them back on OK; Cancel writes nothing. The quality edit is enabled only for the codecs that
// use a quality (JPEG and the three video codecs), the thumbnail box only for JPEG.
// User-interface thread only; needs a QApplication.

#include <QDialog>
#include <array>
#include <string>

#include "apps/compactor/compactor_messages.h"
#include "apps/compactor/compression_codec.h"
#include "apps/compactor/compression_settings.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

class CCompressionOptionsDlg : public QDialog {
  public:
    // `settings` must outlive the dialog. `helpFile` is the help page opened by "Help" and F1
    // (empty when the program has none: the help then reports that it cannot be opened);
    // `messages` receives the dialog's message boxes (validation, help failure).
    CCompressionOptionsDlg(CompressionSettings& settings, std::string helpFile,
                           MessageSink messages, QWidget* parent = nullptr);

    // Remembers the caller's window (0 for none) and runs the dialog modally; returns the
    // dialog's result (QDialog::Accepted or Rejected). The caller's window is not repainted
    // while the dialog moves: neither X11 nor Wayland lets one program have another program's
    // window repaint, and compositing desktops keep what lies behind a moving window.
    virtual int DoModalFor(int callerWindow);

    // Moves the values between the members and the controls: from the controls when
    // `saveAndValidate` (false, with the range message shown, when the quality is not an
    // integer in 0..100; the members keep what was read before the quality), else to them.
    // Either way the enabling follows the codec afterwards.
    bool DoDataExchange(bool saveAndValidate);

    // The handlers of the dialog's controls.
    void OnCodecClicked();
    void OnOK();
    void OnCancel();
    void OnHelp();

    int codec() const { return codec_; }
    int quality() const { return quality_; }
    int thumbnail() const { return thumbnail_; }
    int callerWindow() const { return callerWindow_; }
    QRadioButton* codecButton(int codec) const { return codecButtons_.at(codec); }
    QLineEdit* qualityEdit() const { return qualityEdit_; }
    QCheckBox* thumbnailBox() const { return thumbnailBox_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnInitDialog();
    void StepQuality(int step);
    void UpdateEnabling();

    CompressionSettings& settings_;
    std::string helpFile_;
    MessageSink messages_;
    int callerWindow_ = 0;
    int codec_ = CompressionSettings::kDefaultCodec;
    int quality_ = CompressionSettings::kDefaultQuality;
    int thumbnail_ = CompressionSettings::kDefaultThumbnail;
    std::array<QRadioButton*, kCodecCount> codecButtons_{};
    QWidget* qualityControls_ = nullptr;  // the quality edit and its up-down control
    QLineEdit* qualityEdit_ = nullptr;
    QCheckBox* thumbnailBox_ = nullptr;
};
