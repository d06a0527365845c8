#pragma once
// The "Transparency Editor": the current frame of an 8-bit avatar, on which a click picks the
// transparent colour (Ctrl adds further colours, a Ctrl drag adds every colour it crosses),
// with the picked colour's red, green and blue, and a sensitivity (0 to 100 in steps of 5)
// that widens every picked colour to the palette entries within 3 x sensitivity of it.
// User-interface thread only. The dialog changes the palette flags of the image it is given
// as the user works; the caller keeps a copy to put back on Cancel.

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <functional>
#include <optional>
#include <vector>

#include "apps/mimeo/transparency.h"
#include "engine/avatar_file/packed_dib.h"

class QLineEdit;
class QSlider;
class CEditorFramePane;

// The frame pixel (x from the left, y from the bottom) under `point` of a pane of `pane` size
// showing a frame of `frame` size stretched over it; nothing outside the pane.
std::optional<QPoint> PanePointToFramePixel(QPoint point, QSize pane, QSize frame);

class CTransparencyEditorDlg final : public QDialog {
  public:
    // `image` (8-bit) must outlive the dialog; `column` and `row` name the frame shown;
    // `redrawMain` repaints the main dialog's preview after each change.
    CTransparencyEditorDlg(QWidget* parent, PackedDib& image, int column, int row,
                           std::function<void()> redrawMain);

    // A left click at `point` of the frame pane (see FramePane), with Ctrl held or not; a point
    // outside the pane beeps and changes nothing.
    void PickAt(QPoint point, bool ctrl);
    // The sensitivity track bar moved to `position` (0 to 20).
    void OnSensitivityMoved(int position);
    // "Remove All Transparency".
    void RemoveAllTransparency();

    QWidget* FramePane() const;
    // The fields: red, green, blue (-1 when no colour is chosen) and sensitivity.
    int Red() const;
    int Green() const;
    int Blue() const;
    int Sensitivity() const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int Field(const QLineEdit* edit) const;
    void SetFields(std::optional<ColourKey> colour, int sensitivity);
    // Clears the marks and marks every picked colour at the current sensitivity.
    void MarkPicked();
    void Changed();

    PackedDib& image_;
    int column_, row_;
    std::function<void()> redrawMain_;
    std::vector<ColourKey> picked_;
    QLineEdit* red_;
    QLineEdit* green_;
    QLineEdit* blue_;
    QLineEdit* sensitivity_;
    QSlider* slider_;
    CEditorFramePane* pane_;
};
