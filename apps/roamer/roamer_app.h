#pragma once
// Roamer's application object: the profile, the recent-file list, the document and the main
// window, and the commands that open documents. UI thread only; a QApplication and a platform
// backend must exist for the object's whole life.

#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "apps/roamer/recent_file_list.h"
#include "apps/roamer/roamer_doc.h"
#include "apps/roamer/roamer_profile.h"

class CMainFrame;

class CRoamerApp {
  public:
    explicit CRoamerApp(const QString& profilePath = RoamerProfile::DefaultPath());
    ~CRoamerApp();
    CRoamerApp(const CRoamerApp&) = delete;
    CRoamerApp& operator=(const CRoamerApp&) = delete;

    // Makes and shows the main window and processes the command line (`arguments` without the
    // program's name, as the bytes given): the first argument that is not an option names a
    // file to open; without one the document is new and empty. Then the window accepts dropped
    // files. False when the window cannot be made.
    bool InitInstance(const std::vector<std::string>& arguments);

    // Opens `path` (bytes, relative to the current folder or absolute) as the document; the
    // view shows it or reports why it cannot. A file that opens moves to the top of the
    // recent-file list, one that does not leaves the list. True when the panorama was loaded.
    bool OpenDocumentFile(const std::string& path);

    void OnFileNew();
    // Asks for a panorama file and opens it.
    void OnFileOpen();
    void OnAppAbout();

    CMainFrame* MainFrame() const { return frame_.get(); }
    RecentFileList& RecentFiles() { return recentFiles_; }
    RoamerProfile& Profile() { return profile_; }

  private:
    RoamerProfile profile_;
    RecentFileList recentFiles_;
    CRoamerDoc document_;
    std::unique_ptr<CMainFrame> frame_;
};
