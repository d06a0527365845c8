#pragma once
// Roamer's main window: menus, a dockable tool bar, a status bar with the caps, num and scroll
// lock panes, the view as its client, and the window placement kept in the profile as
// fractions of the screen. UI thread only.

#include <QMainWindow>

#include <map>

class CRoamerApp;
class CRoamerDoc;
class CRoamerView;
class QAction;
class QMenu;
class QToolBar;
class RoamerProfile;

class CMainFrame : public QMainWindow {
  public:
    CMainFrame(CRoamerApp& app, CRoamerDoc& document, RoamerProfile& profile);

    CRoamerView* View() const { return view_; }

    // The action of a command number (command_ids.h); null for an unknown number.
    QAction* Command(int id) const;

    // Brings the enabled state and check marks of the view commands up to date.
    void UpdateCommandUi();
    // Rebuilds the recent-file entries of the File menu.
    void UpdateRecentFileMenu();
    // Sets the title to "<name> - Roamer" ("Untitled" for an empty name).
    void SetDocumentTitle(const QString& name);

  protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void PreCreateWindow();
    void OnCreate();
    void CreateMenus();
    QAction* AddCommand(QMenu* menu, int id, const QString& text);
    void SavePlacement();

    CRoamerApp& app_;
    RoamerProfile& profile_;
    CRoamerView* view_;
    QToolBar* toolBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentAnchor_ = nullptr;
    std::map<int, QAction*> commands_;
};
