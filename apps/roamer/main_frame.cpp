#include "apps/roamer/main_frame.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "apps/roamer/command_ids.h"
#include "apps/roamer/freedom_limits.h"
#include "apps/roamer/roamer_app.h"
#include "apps/roamer/roamer_profile.h"
#include "apps/roamer/roamer_view.h"
#include "apps/roamer/window_placement.h"
#include "platform/messages.h"
#include "platform/qt/qt_paths.h"

namespace {

// The frame's client area on a first start, in pixels.
constexpr int kDefaultClientWidth = 516;
constexpr int kDefaultClientHeight = 308;

// Show states stored as "showCmd".
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

PixelRect ToPixelRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The first local file among dropped data, as its bytes; empty when there is none.
std::string LocalFileOf(const QMimeData* data) {
    const std::vector<std::string> files = platform::DroppedLocalPaths(data);
    return files.empty() ? std::string() : files.front();
}

}  // namespace

CMainFrame::CMainFrame(CRoamerApp& app, CRoamerDoc& document, RoamerProfile& profile)
    : app_(app), profile_(profile), view_(new CRoamerView(document, profile, this)) {
    setObjectName(QStringLiteral("CMainFrame"));
    setCentralWidget(view_);
    view_->panoramaChanged = [this] {
        UpdateCommandUi();
        SetDocumentTitle(view_->ShownFileName());
    };
    OnCreate();
    PreCreateWindow();
    SetDocumentTitle({});
}

void CMainFrame::PreCreateWindow() {
    const QSize screen = ScreenSize();
    const std::optional<PixelRect> stored =
        RestorePlacement(profile_.Placement(), screen.width(), screen.height());
    if (stored) {
        setGeometry(stored->left, stored->top, stored->right - stored->left,
                    stored->bottom - stored->top);
        return;
    }
    // The frame's client area (tool bar, view and status bar) is 516 by 308; the menu bar
    // comes on top of it.
    const int width = kDefaultClientWidth;
    const int height = kDefaultClientHeight + menuBar()->sizeHint().height();
    const PixelRect centred = CentredPlacement(width, height, screen.width(), screen.height());
    setGeometry(centred.left, centred.top, width, height);
}

void CMainFrame::OnCreate() {
    CreateMenus();

    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->addAction(Command(kCmdFileOpen));
    toolBar_->addAction(Command(kCmdResetPanorama));
    toolBar_->addSeparator();
    toolBar_->addAction(Command(kCmdInstructions));

    // The message pane says "Ready" whenever no prompt is shown.
    statusBar()->showMessage(QStringLiteral("Ready"));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(QStringLiteral("Ready"));
    });
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(indicator), statusBar());
        pane->setEnabled(false);
        statusBar()->addPermanentWidget(pane);
    }

    const QByteArray bars = profile_.BarState();
    if (!bars.isEmpty())
        restoreState(bars);
    statusBar()->setVisible(profile_.StatusBarVisible());
    Command(kCmdViewToolbar)->setChecked(!toolBar_->isHidden());
    Command(kCmdViewStatusBar)->setChecked(!statusBar()->isHidden());
    connect(toolBar_, &QToolBar::visibilityChanged, this,
            [this](bool visible) { Command(kCmdViewToolbar)->setChecked(visible); });
    UpdateCommandUi();
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    commands_[id] = action;
    return action;
}

void CMainFrame::CreateMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = AddCommand(fileMenu_, kCmdFileOpen, QStringLiteral("&Open...\tCtrl+O"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    open->setStatusTip(QStringLiteral("Open an existing document"));
    open->setToolTip(QStringLiteral("Open"));
    connect(open, &QAction::triggered, this, [this] { app_.OnFileOpen(); });
    fileMenu_->addSeparator();
    recentAnchor_ = fileMenu_->addSeparator();
    QAction* exit = AddCommand(fileMenu_, kCmdAppExit, QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* toolbar = AddCommand(viewMenu, kCmdViewToolbar, QStringLiteral("&Toolbar"));
    toolbar->setCheckable(true);
    connect(toolbar, &QAction::triggered, this, [this](bool on) { toolBar_->setVisible(on); });
    QAction* status = AddCommand(viewMenu, kCmdViewStatusBar, QStringLiteral("&Status Bar"));
    status->setCheckable(true);
    connect(status, &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });

    QMenu* panorama = menuBar()->addMenu(QStringLiteral("&Panorama"));
    connect(panorama, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    QAction* reset =
        AddCommand(panorama, kCmdResetPanorama, QStringLiteral("&Reset Panaorama\tSpace bar"));
    reset->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    reset->setStatusTip(QStringLiteral("Reset panorama to initial view"));
    reset->setToolTip(QStringLiteral("Reset"));
    connect(reset, &QAction::triggered, this, [this] { view_->OnResetPanorama(); });
    QAction* details =
        AddCommand(panorama, kCmdPanoramaDetails, QStringLiteral("Panorama &Details..."));
    connect(details, &QAction::triggered, this, [this] {
        view_->OnPanoramaDetails();
        UpdateCommandUi();
    });
    panorama->addSeparator();

    QMenu* antialias = panorama->addMenu(QStringLiteral("&Antialiasing Level"));
    connect(antialias, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    const struct {
        int id;
        const char* text;
        int level;
    } kLevels[] = {{kCmdAntialiasOff, "&Off", 0},
                   {kCmdAntialiasLow, "&Low", 1},
                   {kCmdAntialiasHigh, "&High", 8}};
    for (const auto& entry : kLevels) {
        QAction* action = AddCommand(antialias, entry.id, QString::fromLatin1(entry.text));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, level = entry.level] {
            view_->OnAntialiasLevel(level);
            UpdateCommandUi();
        });
    }

    QMenu* freedom = panorama->addMenu(QStringLiteral("Degrees of &Freedom"));
    connect(freedom, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    const struct {
        int id;
        const char* text;
        int bit;
    } kFreedoms[] = {{kCmdEnablePan, "Enable &Pan", kFreedomPan},
                     {kCmdEnableTilt, "Enable &Tilt", kFreedomTilt},
                     {kCmdEnableRoll, "Enable &Roll", kFreedomRoll},
                     {kCmdEnableZoom, "Enable &Zoom", kFreedomZoom},
                     {kCmdUpsideDown, "Enable &Upside-down Viewing", kFreedomUpsideDown}};
    for (const auto& entry : kFreedoms) {
        QAction* action = AddCommand(freedom, entry.id, QString::fromLatin1(entry.text));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, bit = entry.bit] {
            view_->OnToggleFreedom(bit);
            UpdateCommandUi();
        });
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* instructions =
        AddCommand(help, kCmdInstructions, QStringLiteral("Roamer &Instructions..."));
    instructions->setShortcut(QKeySequence(Qt::Key_F1));
    instructions->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    instructions->setToolTip(QStringLiteral("Roamer Instructions"));
    connect(instructions, &QAction::triggered, this, [this] { view_->OnInstructions(); });
    help->addSeparator();
    QAction* about = AddCommand(help, kCmdAppAbout, QStringLiteral("&About Roamer..."));
    connect(about, &QAction::triggered, this, [this] { app_.OnAppAbout(); });
}

QAction* CMainFrame::Command(int id) const {
    const auto found = commands_.find(id);
    return found == commands_.end() ? nullptr : found->second;
}

void CMainFrame::UpdateCommandUi() {
    const bool loaded = view_->IsLoaded();
    Command(kCmdResetPanorama)->setEnabled(loaded);
    Command(kCmdPanoramaDetails)->setEnabled(loaded && view_->HasNote());
    const std::pair<int, int> levels[] = {
        {kCmdAntialiasOff, 0}, {kCmdAntialiasLow, 1}, {kCmdAntialiasHigh, 8}};
    for (const auto& [id, level] : levels) {
        Command(id)->setEnabled(loaded);
        Command(id)->setChecked(view_->AntialiasLevel() == level);
    }
    const std::pair<int, int> freedoms[] = {{kCmdEnablePan, kFreedomPan},
                                            {kCmdEnableTilt, kFreedomTilt},
                                            {kCmdEnableRoll, kFreedomRoll},
                                            {kCmdEnableZoom, kFreedomZoom},
                                            {kCmdUpsideDown, kFreedomUpsideDown}};
    for (const auto& [id, bit] : freedoms) {
        Command(id)->setEnabled(loaded);
        Command(id)->setChecked((view_->Freedoms() & bit) != 0);
    }
}

void CMainFrame::UpdateRecentFileMenu() {
    for (QAction* action : fileMenu_->actions()) {
        if (action->data().toInt() == kCmdRecentFile) {
            fileMenu_->removeAction(action);
            action->deleteLater();
        }
    }
    const std::vector<std::string>& paths = app_.RecentFiles().Paths();
    if (paths.empty()) {
        auto* placeholder = new QAction(QStringLiteral("Recent File"), fileMenu_);
        placeholder->setData(int{kCmdRecentFile});
        placeholder->setEnabled(false);
        fileMenu_->insertAction(recentAnchor_, placeholder);
        return;
    }
    int number = 1;
    for (const std::string& path : paths) {
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(number++).arg(platform::PathText(path)), fileMenu_);
        action->setData(int{kCmdRecentFile});
        connect(action, &QAction::triggered, this, [this, path] { app_.OpenDocumentFile(path); });
        fileMenu_->insertAction(recentAnchor_, action);
    }
}

void CMainFrame::SetDocumentTitle(const QString& name) {
    setWindowTitle((name.isEmpty() ? QStringLiteral("Untitled") : name) +
                   QStringLiteral(" - Roamer"));
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // A video playing over the view must stop when the window moves; the engine hears of it.
    const QPoint client = view_->mapToGlobal(QPoint(0, 0));
    platform::PostMessage(view_->ViewWindow(), platform::WM_MOVE, 0,
                          platform::MakeLParam(client.x(), client.y()));
}

void CMainFrame::SavePlacement() {
    const QSize screen = ScreenSize();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    const int showCommand =
        isMaximized() ? kShowMaximized : (isMinimized() ? kShowMinimized : kShowNormal);
    profile_.SetPlacement(StorePlacement(ToPixelRect(normal), screen.width(), screen.height()),
                          showCommand);
    profile_.SetBarState(saveState(), !statusBar()->isHidden());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SavePlacement();
    profile_.Sync();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFileOf(event->mimeData()).empty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const std::string file = LocalFileOf(event->mimeData());
    if (file.empty())
        return;
    event->acceptProposedAction();
    activateWindow();
    app_.OpenDocumentFile(file);
}
