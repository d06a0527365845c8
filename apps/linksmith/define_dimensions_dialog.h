#pragma once
// The angular-size dialog ("Define dimensions"): the image's horizontal and vertical size in
// whole degrees. OK takes the two texts only when each is a whole number in range (1..360 and
// 1..180); otherwise it complains in a message box, puts the focus on the text and stays open.
// UI thread; a QApplication must exist.

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>

class QLineEdit;

inline constexpr int kMaxHorizontalDegrees = 360;
inline constexpr int kMaxVerticalDegrees = 180;

// A typed number of degrees: the value when `text` is a whole number from 1 to `maxDegrees`
// (blanks around it allowed), else the complaint to show.
struct DegreesEntry {
    std::optional<int> value;
    std::string complaint;
};
DegreesEntry ParseDegrees(std::string_view text, int maxDegrees);

class CDefineDimensionsDlg : public QDialog {
  public:
    CDefineDimensionsDlg(QWidget* parent, int horizontal, int vertical);

    // The values as OK took them (the starting values until then).
    int Horizontal() const { return horizontal_; }
    int Vertical() const { return vertical_; }
    QLineEdit* HorizontalEdit() const { return horizontalEdit_; }
    QLineEdit* VerticalEdit() const { return verticalEdit_; }
    // Takes both texts: false, after the complaint, when one is not a whole number in range.
    bool TakeValues();

    void accept() override;

  private:
    QLineEdit* horizontalEdit_;
    QLineEdit* verticalEdit_;
    int horizontal_;
    int vertical_;
};
