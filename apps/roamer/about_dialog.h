#pragma once
// Roamer's About box: the program's name, maker and build. UI thread only; run modally.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
