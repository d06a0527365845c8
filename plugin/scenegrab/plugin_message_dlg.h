#pragma once
// The plug-in's message dialog: a text of at most 256 characters, an OK button and a Help
// button that opens the plug-in's help at the dialog's context number (0: its contents).
// Host thread; needs a QApplication.

#include <QDialog>
#include <string>

namespace scenegrab {

class CPluginMessageDlg : public QDialog {
  public:
    // Longer texts are cut at 256 characters.
    CPluginMessageDlg(const std::string& text, int helpContext, QWidget* parent = nullptr);

    QString Text() const { return text_; }

  private:
    void OnHelp();

    QString text_;
    int helpContext_;
};

}  // namespace scenegrab
