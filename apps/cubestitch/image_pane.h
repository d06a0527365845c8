#pragma once
// The main frame's panes: a child widget with a caption button across its top and its bitmap
// drawn stretched into the rest. The caption button sends its command to the frame.
// `CFacePane` (one per cube face) can be selected with either mouse button, shows the
// selection as a hatched border, and carries out the edit commands (turns, flips, copy, paste)
// on its own bitmap; `CPanoramaPane` holds the seamed panorama and offers Seam, Save and View
// on a right-click menu.
//
// User-interface thread only. The frame owns the panes (as Qt children) and outlives them.

#include <QPushButton>
#include <QWidget>

#include <functional>
#include <vector>

#include "bitmap/cdib.h"

namespace cubestitch {

// Runs a frame command (command_ids.h) on the user-interface thread.
using CommandSink = std::function<void(int commandId)>;

class CImagePane : public QWidget {
  public:
    // A pane with a blank 256 x 256 picture at 24 bits and a caption button labelled `caption`
    // ("&" marks the mnemonic) that sends `commandId` to `frameCommand`.
    CImagePane(QWidget* parent, const QString& caption, int commandId, CommandSink frameCommand);

    CDIB& Bitmap() { return m_bitmap; }
    const CDIB& Bitmap() const { return m_bitmap; }
    int CommandId() const { return commandId_; }
    QPushButton* CaptionButton() const { return m_caption; }
    // The caption button's height: the picture starts below it.
    int CaptionHeight() const;
    // The area the picture is stretched into, in pane coordinates.
    QRect PictureRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Draws the picture; derived panes add to it.
    virtual void Draw(QPainter& painter);
    void SendToFrame(int commandId) const;

    QPushButton* m_caption;
    CDIB m_bitmap;

  private:
    int commandId_;
    CommandSink frameCommand_;
};

class CFacePane final : public CImagePane {
  public:
    // `select` is asked to make this pane the selected one (the frame keeps the selection).
    CFacePane(QWidget* parent, const QString& caption, int commandId, CommandSink frameCommand,
              std::function<void(CFacePane*)> select);

    // Shows or hides the selection border; the frame calls it.
    void SetSelected(bool selected);
    bool IsSelected() const { return selected_; }
    // The rectangle of the selection border: the picture area inset by 2 pixels.
    QRect SelectionRect() const;

    // Carries out an edit command (Rotate 90/180/270, Flip Vertical/Horizontal, Copy, Paste)
    // on this pane's bitmap and repaints; any other id does nothing. The bitmap class's result
    // is not reported: a failed operation leaves the bitmap as the bitmap class leaves it.
    void OnEditCommand(int commandId);

  protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::function<void(CFacePane*)> select_;
    bool selected_ = false;
};

class CPanoramaPane final : public CImagePane {
  public:
    CPanoramaPane(QWidget* parent, CommandSink frameCommand);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The edit commands a face pane takes, in menu order with their menu texts; "" marks a
// separator. The frame's Edit menu and the face panes' right-click menu are built from it.
struct EditMenuItem {
    const char* text;
    const char* shortcut;  // "" when none
    int commandId;
};
const std::vector<EditMenuItem>& EditMenuItems();

}  // namespace cubestitch
