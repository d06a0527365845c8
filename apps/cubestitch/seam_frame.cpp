#include "apps/cubestitch/seam_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QResizeEvent>
#include <QSettings>
#include <QShortcut>

#include "apps/common/help_page.h"
#include "apps/cube_seam/seam_progress.h"
#include "apps/cube_seam/seam_run.h"
#include "apps/cube_seam/seam_settings.h"
#include "apps/cubestitch/command_ids.h"
#include "apps/cubestitch/pane_layout.h"
#include "apps/cubestitch/seam_options_dlg.h"
#include "apps/standalone_viewer/viewer_window.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_backend.h"

namespace cubestitch {

namespace {

constexpr int kBlankFaceSize = 128;
constexpr int kHelpContext = 2;
const HelpPage kCubestitchHelp{"cubestitch", "CVNcubestitch.html"};
constexpr int kInitialClientWidth = 768;
constexpr int kInitialClientHeight = 640;

const std::array<const char*, kCubeFaceCount> kCaptions = {"&Left", "&Front", "&Right",
                                                           "Bac&k", "&Top",   "&Bottom"};

// Shows the wait cursor for the life of the object.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// The frame's client area: lays the panes out whenever its size changes.
class CSeamFrame::ClientArea final : public QWidget {
  public:
    explicit ClientArea(CSeamFrame& frame) : QWidget(&frame), frame_(frame) {}

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        frame_.LayoutPanes(event->size().width(), event->size().height());
    }

  private:
    CSeamFrame& frame_;
};

SeamFrameServices DesktopServices(QWidget* dialogParent) {
    SeamFrameServices services;
    services.askOpenFile = [dialogParent](const QString& title) -> std::optional<std::string> {
        QFileDialog dialog(dialogParent, title.isEmpty() ? QStringLiteral("Open") : title);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QStringLiteral("Bitmap Files (*.bmp);;All Files (*)"));
        const std::vector<std::string> chosen = platform::RunOpenDialog(dialog);
        if (chosen.empty())
            return std::nullopt;
        return chosen.front();
    };
    services.askSavePath = [dialogParent] {
        // The dialog starts in the current folder, whose name need not be UTF-8.
        const std::string folder = platform::GetCurrentDirectory();
        QFileDialog dialog(dialogParent, QStringLiteral("Save As"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(
            {QStringLiteral("Panorama Files (*.pan)"), QStringLiteral("All Files (*)")});
        return platform::RunSaveDialog(dialog, folder, "Untitled.pan", "Cubestitch");
    };
    services.help = [](int context) { return OpenHelp(kCubestitchHelp, context); };
    return services;
}

CSeamFrame::CSeamFrame(SeamSettings& settings, SeamFrameServices services)
    : settings_(settings), services_(std::move(services)), client_(new ClientArea(*this)) {
    const SeamFrameServices desktop = DesktopServices(this);
    if (!services_.ask)
        services_.ask = desktop.ask;
    if (!services_.askOpenFile)
        services_.askOpenFile = desktop.askOpenFile;
    if (!services_.askSavePath)
        services_.askSavePath = desktop.askSavePath;
    if (!services_.runCompressor)
        services_.runCompressor = desktop.runCompressor;
    if (!services_.help)
        services_.help = desktop.help;

    setWindowTitle(QStringLiteral("Cubestitch"));
    setCentralWidget(client_);
    const CommandSink toFrame = [this](int id) { OnCommand(id); };
    for (int k = 0; k < kCubeFaceCount; ++k) {
        faces_[static_cast<std::size_t>(k)] =
            new CFacePane(client_, QString::fromLatin1(kCaptions[static_cast<std::size_t>(k)]),
                          kCmdOpenLeft + k, toFrame, [this](CFacePane* pane) { SelectPane(pane); });
    }
    SelectPane(faces_[0]);
    panorama_ = new CPanoramaPane(client_, toFrame);
    BuildMenus();
    BuildAccelerators();
    client_->resize(kInitialClientWidth, kInitialClientHeight);
    resize(kInitialClientWidth, kInitialClientHeight + menuBar()->sizeHint().height());
}

CSeamFrame::~CSeamFrame() = default;

void CSeamFrame::BuildMenus() {
    const auto addCommand = [this](QMenu* menu, const QString& text, int id,
                                   const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(text);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* open = file->addMenu(QStringLiteral("&Open"));
    for (int k = 0; k < kCubeFaceCount; ++k)
        addCommand(open, QString::fromLatin1(kCaptions[static_cast<std::size_t>(k)]),
                   kCmdOpenLeft + k);
    open->addSeparator();
    addCommand(open, QStringLiteral("&All"), kCmdOpenAll);
    addCommand(file, QStringLiteral("Sea&m"), kCmdSeam);
    addCommand(file, QStringLiteral("&Save"), kCmdSave, QKeySequence(QStringLiteral("Ctrl+S")));
    addCommand(file, QStringLiteral("&View Panorama..."), kCmdViewPanorama);
    file->addSeparator();
    addCommand(file, QStringLiteral("P&references..."), kCmdPreferences);
    file->addSeparator();
    addCommand(file, QStringLiteral("E&xit"), kCmdExit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    for (const EditMenuItem& item : EditMenuItems()) {
        if (item.commandId == 0) {
            edit->addSeparator();
            continue;
        }
        addCommand(edit, QString::fromLatin1(item.text), item.commandId,
                   QKeySequence(QString::fromLatin1(item.shortcut)));
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("Cubestitch &Help"), kCmdHelp, QKeySequence(Qt::Key_F1));
    help->addSeparator();
    addCommand(help, QStringLiteral("&About Cubestitch..."), kCmdAbout);
}

void CSeamFrame::BuildAccelerators() {
    const struct {
        Qt::Key key;
        int commandId;
    } keys[] = {{Qt::Key_L, kCmdOpenLeft},     {Qt::Key_F, kCmdOpenLeft + 1},
                {Qt::Key_R, kCmdOpenLeft + 2}, {Qt::Key_K, kCmdOpenLeft + 3},
                {Qt::Key_T, kCmdOpenLeft + 4}, {Qt::Key_B, kCmdOpenLeft + 5},
                {Qt::Key_S, kCmdSeam}};
    for (const auto& key : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), this);
        const int id = key.commandId;
        connect(shortcut, &QShortcut::activated, this, [this, id] { OnCommand(id); });
    }
}

void CSeamFrame::OnCommand(int commandId) {
    if (commandId >= kCmdOpenLeft && commandId < kCmdOpenLeft + kCubeFaceCount) {
        OnOpenFace(commandId - kCmdOpenLeft);
        return;
    }
    switch (commandId) {
        case kCmdOpenAll:
            OnOpenAll();
            break;
        case kCmdSeam:
            OnSeam();
            break;
        case kCmdSave:
            OnSavePanorama();
            break;
        case kCmdViewPanorama:
            OnViewPanorama();
            break;
        case kCmdPreferences:
            OnPreferences();
            break;
        case kCmdExit:
            close();
            break;
        case kCmdHelp:
            OnHelp();
            break;
        case kCmdAbout:
            OnAbout(this);
            break;
        case kCmdCopy:
        case kCmdPaste:
        case kCmdRotate90:
        case kCmdRotate180:
        case kCmdRotate270:
        case kCmdFlipVertical:
        case kCmdFlipHorizontal:
            ForwardToSelectedPane(commandId);
            break;
        default:
            break;
    }
}

void CSeamFrame::SelectPane(CFacePane* pane) {
    if (pane == selected_)
        return;
    if (selected_ != nullptr)
        selected_->SetSelected(false);
    selected_ = pane;
    if (selected_ != nullptr)
        selected_->SetSelected(true);
}

void CSeamFrame::LayoutPanes(int width, int height) {
    const PaneLayout layout = ComputePaneLayout(width, height, faces_[0]->CaptionHeight());
    for (int k = 0; k < kCubeFaceCount; ++k) {
        const PaneRect& r = layout.faces[static_cast<std::size_t>(k)];
        faces_[static_cast<std::size_t>(k)]->setGeometry(r.left, r.top, r.width, r.height);
    }
    const PaneRect& r = layout.panorama;
    panorama_->setGeometry(r.left, r.top, r.width, r.height);
}

bool CSeamFrame::LoadFace(int face, const std::string& path, const std::string& loadMessage,
                          const std::string& convertMessage) {
    CFacePane& pane = FacePane(face);
    CDIB& bitmap = pane.Bitmap();
    const bool loaded = bitmap.Load(path) != 0;
    const bool converted = loaded && bitmap.ChangeBitDepth(24) != 0;
    if (!converted) {
        services_.ask(loaded ? convertMessage : loadMessage, platform::MB_OK);
        bitmap.Create(kBlankFaceSize, kBlankFaceSize, 24);
    }
    pane.update();
    return converted;
}

void CSeamFrame::OnOpenFace(int face) {
    SelectPane(&FacePane(face));
    const std::optional<std::string> path = services_.askOpenFile(QString());
    if (!path)
        return;
    LoadFace(face, *path, "Failed to Load image", "Decompression failed");
}

void CSeamFrame::OnOpenAll() {
    for (int k = 0; k < kCubeFaceCount; ++k) {
        const QString title =
            QStringLiteral("Open ") + QString::fromLatin1(CubeFaceName(static_cast<CubeFace>(k)));
        const std::optional<std::string> path = services_.askOpenFile(title);
        if (!path)
            return;
        if (!LoadFace(k, *path, "Failed to load image", "Failed to decompress image"))
            return;
    }
}

bool CSeamFrame::OnSeam() {
    SeamRequest request;
    for (int k = 0; k < kCubeFaceCount; ++k)
        request.faces[static_cast<std::size_t>(k)] = &FacePane(k).Bitmap();
    QSettings stored(QString::fromStdString(settings_.FilePath()), QSettings::IniFormat);
    request.size = ReadSeamSize(stored);
    request.batch = batch_;
    request.caption = "Cubestitch";
    const std::unique_ptr<SeamProgress> progress = MakeSeamProgress();
    const SeamResult result = RunSeam(request, panorama_->Bitmap(), *progress);
    if (result.pixelsWritten)
        modified_ = true;
    panorama_->update();
    return result.completed;
}

void CSeamFrame::OnViewPanorama() {
    WaitCursor wait;
    CViewerWindow* viewer = GetViewerWindow();
    CViewerWindow::Settings& look = viewer->GetSettings();
    look.caption = "Cubestitch";
    look.about = [this](platform::WindowHandle parent) {
        OnAbout(platform::TopLevelWidgetOf(parent));
    };
    if (viewer->OpenMemory(panorama_->Bitmap().GetBlock()) != 0)
        viewer->ShowPanorama();
}

bool CSeamFrame::OnSavePanorama() {
    const std::optional<std::string> path = services_.askSavePath();
    if (!path)
        return false;
    return SavePanoramaTo(*path);
}

bool CSeamFrame::SavePanoramaTo(const std::string& path) {
    repaint();
    WaitCursor wait;
    const SaveOutcome outcome = SavePanoramaThroughCompressor(
        panorama_->Bitmap(), path, services_.runCompressor, services_.ask);
    if (outcome != SaveOutcome::Saved)
        return false;
    modified_ = false;
    return true;
}

void CSeamFrame::OnPreferences() {
    CSeamOptionsDlg dialog(this, settings_, services_.ask, services_.runCompressor, services_.help);
    dialog.exec();
}

void CSeamFrame::ForwardToSelectedPane(int commandId) {
    if (selected_ != nullptr)
        selected_->OnEditCommand(commandId);
}

void CSeamFrame::OnHelp() {
    if (!services_.help || !services_.help(kHelpContext))
        services_.ask("Unable to open help file", platform::MB_OK);
}

void CSeamFrame::OnAbout(QWidget* parent) {
    QMessageBox about(parent != nullptr ? parent : this);
    about.setWindowTitle(QStringLiteral("About Cubestitch"));
    about.setIconPixmap(windowIcon().pixmap(48, 48));
    about.setText(QStringLiteral("<b>Cubestitch</b>"));
    about.setInformativeText(QStringLiteral(
        "Seams six cube faces into one panorama.\nPart of the Halvex panorama suite."));
    about.exec();
}

bool CSeamFrame::QueryClose() {
    if (!modified_)
        return true;
    const int answer = services_.ask("Save changes to the seamed image?",
                                     platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    if (answer == platform::IDCANCEL)
        return false;
    if (answer == platform::IDYES)
        return OnSavePanorama();
    return true;
}

void CSeamFrame::closeEvent(QCloseEvent* event) {
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    DestroyViewerWindow();
    event->accept();
}

}  // namespace cubestitch
