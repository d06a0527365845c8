#pragma once
// The "Avatar Grid" dialog: the grid's columns and rows and the "Disable transparency" choice.
// User-interface thread only.

#include <QDialog>
#include <functional>

class QCheckBox;
class QSpinBox;

struct AvatarGrid {
    int columns = 1;
    int rows = 1;
    bool disableTransparency = false;
};

class CAvatarGridDlg final : public QDialog {
  public:
    // `help` opens the help page at a context number; false when it cannot.
    CAvatarGridDlg(QWidget* parent, AvatarGrid grid, std::function<bool(int)> help);

    // The grid as the fields hold it.
    AvatarGrid Grid() const;
    void SetGrid(AvatarGrid grid);

  private:
    QSpinBox* columns_;
    QSpinBox* rows_;
    QCheckBox* disableTransparency_;
};
