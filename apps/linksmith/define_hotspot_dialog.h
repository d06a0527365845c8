#pragma once
// The define-hotspot dialog: edits one hotspot's action text, one command a line. Browse adds a
// chosen file's path and a drop adds the dropped paths, each on a new line after what the
// control holds; Clear empties it; Display shows the text in a message box; Help opens the
// editor's help page. UI thread; a QApplication must exist.

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
    QPlainTextEdit* edit_;
    std::function<void(int)> help_;
};
