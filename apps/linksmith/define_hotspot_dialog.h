#pragma once
// The define-hotspot dialog: edits one hotspot's action text, one command a line. Browse adds a
// chosen file's path and a drop adds the dropped paths, each on a new line after what the
// control holds; Clear empties it; Display shows the text in a message box; Help opens the
// editor's help page. The text holds at most the kMaxDescriptionLength bytes the editor reads
// back: typing or pasting beyond it is taken back from the end of what came in, a path that
// does not fit whole is not added, and a longer text given to the dialog is cut there.
// UI thread; a QApplication must exist.

#include <QDialog>
#include <QString>

#include <functional>

class QPlainTextEdit;

class CDefineHotspotDlg : public QDialog {
  public:
    // `help` opens the help page at a context number.
    CDefineHotspotDlg(QWidget* parent, const QString& text, std::function<void(int)> help);

    QString Text() const;
    void SetText(const QString& text);
    // What the buttons and a drop do; public so that tests can press them.
    void OnBrowse();
    void OnClear();
    void OnDisplay();
    void AppendPaths(const QStringList& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Takes back, from its end, as much of the last insertion as the text runs over the limit.
    void KeepWithinLimit();

    QPlainTextEdit* edit_;
    std::function<void(int)> help_;
    int insertedFrom_ = 0;  // the last insertion into the control, as positions
    int insertedTo_ = 0;
};
