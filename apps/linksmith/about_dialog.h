#pragma once
// Linksmith's About box: the program's picture, family, name and version, the JPEG notice and
// the maker's lines; OK only. UI thread only; run modally.

#include <QDialog>

class CLinksmithAboutDlg : public QDialog {
  public:
    explicit CLinksmithAboutDlg(QWidget* parent = nullptr);
};
