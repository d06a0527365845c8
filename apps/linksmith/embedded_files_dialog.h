#pragma once
// The embedded-files dialog ("Embedded files"): a list of the files the panorama is to carry
// (name, location, size), with buttons to add files from disk (several at once) and to remove
// the selected rows; files dropped on the dialog are added too. It edits the caller's
// EmbeddedFileList and touches no file; the caller brings the extraction folder in line after
// OK. UI thread; a QApplication must exist; `files` must outlive the dialog.

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "apps/linksmith/embedded_file_list.h"

class QPushButton;
class QTreeWidget;

class CEmbeddedFilesDlg : public QDialog {
  public:
    // `help` opens the help page at a context number. While the dialog exists, a name clash
    // in `files` is reported over it.
    CEmbeddedFilesDlg(QWidget* parent, EmbeddedFileList& files, std::function<void(int)> help);
    ~CEmbeddedFilesDlg() override;

    QTreeWidget* List() const { return list_; }
    QPushButton* AddButton() const { return addButton_; }
    // What the buttons and a drop do; public so that tests can press them.
    void OnAddFiles();
    void OnRemoveFiles();
    // Adds the files at these full paths (bytes) in order (see
    // EmbeddedFileList::AddEmbeddedFileRow).
    void AddPaths(const std::vector<std::string>& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Shows the list's rows anew.
    void ShowRows();

    EmbeddedFileList& files_;
    std::function<void(int)> help_;
    QTreeWidget* list_;
    QPushButton* addButton_;
};
