#include "apps/linksmith/linksmith_frame.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include "apps/common/help_page.h"
#include "apps/common/stored_text_qt.h"
#include "apps/linksmith/about_dialog.h"
#include "apps/linksmith/define_dimensions_dialog.h"
#include "apps/linksmith/define_hotspot_dialog.h"
#include "apps/linksmith/embedded_files_dialog.h"
#include "apps/linksmith/panorama_details_edit_dialog.h"
#include "platform/files.h"
#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/window_host.h"

namespace {

const HelpPage kLinksmithHelp{"linksmith", "CvnLinksmith.html"};
// The help context of the instructions.
constexpr int kInstructionsContext = 2;

}  // namespace

CLinksmithFrame::CLinksmithFrame() : host_(new platform::QtWindowHost(this)) {
    setWindowTitle(QStringLiteral("Linksmith"));
    setCentralWidget(host_);
    setAcceptDrops(true);
    host_->setFocus(Qt::OtherFocusReason);
    editor_ = std::make_unique<LinksmithEditor>(*this);
    CreateMenus();
    UpdateCommandStates();
}

CLinksmithFrame::~CLinksmithFrame() {
    editor_.reset();
}

template <std::size_t N>
void CLinksmithFrame::AddCommands(QMenu* menu, const std::array<CommandInfo, N>& commands,
                                  bool record) {
    QMenu* submenu = nullptr;
    for (const CommandInfo& info : commands) {
        if (info.separatorBefore)
            menu->addSeparator();
        // Neighbouring commands of one submenu share it.
        const QString submenuTitle = QString::fromUtf8(SubmenuOf(info.id));
        if (submenuTitle.isEmpty())
            submenu = nullptr;
        else if (!submenu || submenu->title() != submenuTitle)
            submenu = menu->addMenu(submenuTitle);
        QAction* action = (submenu ? submenu : menu)->addAction(QString::fromUtf8(info.text));
        action->setEnabled(editor_->IsCommandEnabled(info.id));
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        if (record)
            commands_[id] = action;
    }
}

void CLinksmithFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommands(file, kFileMenuCommands, true);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    AddCommands(edit, kEditMenuCommands, true);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommands(help, kHelpMenuCommands, true);
    for (QMenu* menu : {file, edit, help})
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
}

void CLinksmithFrame::ShowContextMenu(ContextPopup popup, platform::Point screenPoint) {
    QMenu menu(this);
    if (popup == ContextPopup::File)
        AddCommands(&menu, kFileMenuCommands, false);
    else
        AddCommands(&menu, kEditMenuCommands, false);
    menu.exec(QPoint(screenPoint.x, screenPoint.y));
}

bool CLinksmithFrame::EditHotspotText(std::string& text) {
    CDefineHotspotDlg dialog(this, StoredTextToQString(text),
                             [this](int context) { ShowHelp(context); });
    // What the dialog shows before the user's hand: a text left so keeps its stored bytes.
    const QString shown = dialog.Text();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = StoredTextFromQString(text, shown, dialog.Text());
    return true;
}

bool CLinksmithFrame::EditDimensions(int& horizontal, int& vertical) {
    CDefineDimensionsDlg dialog(this, horizontal, vertical);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    horizontal = dialog.Horizontal();
    vertical = dialog.Vertical();
    return true;
}

bool CLinksmithFrame::EditEmbeddedFiles(EmbeddedFileList& files) {
    CEmbeddedFilesDlg dialog(this, files, [this](int context) { ShowHelp(context); });
    return dialog.exec() == QDialog::Accepted;
}

bool CLinksmithFrame::EditPanoramaDetails(PanoramaNote& note) {
    CPanoramaDetailsEditDlg dialog(this, note);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    note = dialog.Note();
    return true;
}

void CLinksmithFrame::ShowHelp(int context) {
    ::ShowHelp(kLinksmithHelp, context, kLinksmithCaption, Handle());
}

platform::WindowHandle CLinksmithFrame::CreateChildWindow() {
    auto* child = new platform::QtWindowHost(host_);
    child->setGeometry(host_->rect());
    child->show();
    children_[child->Handle()] = child;
    return child->Handle();
}

void CLinksmithFrame::DestroyChildWindow(platform::WindowHandle child) {
    const auto it = children_.find(child);
    if (it == children_.end())
        return;
    delete it->second;
    children_.erase(it);
}

void CLinksmithFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!platform::DroppedLocalPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void CLinksmithFrame::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = platform::DroppedLocalPaths(event->mimeData());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    const QPoint at = host_->mapFrom(this, event->position().toPoint());
    editor_->OnDropFiles(paths, {at.x(), at.y()});
    UpdateCommandStates();
}

QAction* CLinksmithFrame::Command(int id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}

void CLinksmithFrame::OnCommand(int id) {
    switch (id) {
        case kCmdFileOpen:
            editor_->OnFileOpen([this] { return ChooseFileToOpen(); });
            break;
        case kCmdFileClose:
            editor_->OnFileClose();
            break;
        case kCmdFileSave:
            editor_->OnFileSave();
            break;
        case kCmdFileSaveAs:
            editor_->OnFileSaveAs([this] { return ChooseFileToSave(); });
            break;
        case kCmdResetPanorama:
            editor_->OnResetPanorama();
            break;
        case kCmdEditHotspotDescription:
            editor_->OnEditHotspotDescription();
            break;
        case kCmdDeleteHotspot:
            editor_->OnDeleteHotspot();
            break;
        case kCmdTestHotspot:
            editor_->OnTestHotspot();
            break;
        case kCmdTourAllHotspots:
            editor_->OnTourAllHotspots();
            break;
        case kCmdInstructions:
            ShowHelp(kInstructionsContext);
            break;
        case kCmdAbout: {
            CLinksmithAboutDlg about(this);
            about.exec();
            break;
        }
        case kCmdSetInitialViewCurrent:
            editor_->OnSetInitialViewCurrent();
            break;
        case kCmdSetInitialViewDefault:
            editor_->OnSetInitialViewDefault();
            break;
        case kCmdDefineDimensions:
            editor_->OnDefineDimensions();
            break;
        case kCmdEmbeddedFiles:
            editor_->OnEmbeddedFiles();
            break;
        case kCmdPanoramaDetails:
            editor_->OnPanoramaDetails();
            break;
        case kCmdExit:
            close();
            break;
        default:
            break;
    }
    UpdateCommandStates();
}

std::optional<std::string> CLinksmithFrame::ChooseFileToOpen() {
    QFileDialog dialog(this, QStringLiteral("Open"));
    // Qt's own dialog matches the filter in any letter case (.pan, .PAN, .Pan).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("PAN"));
    dialog.setNameFilters(
        {QStringLiteral("Halvex Panorama Files (*.PAN)"), QStringLiteral("All Files (*)")});
    const std::vector<std::string> chosen =
        platform::RunOpenDialog(dialog, platform::ParentDirectory(lastOpenPath_),
                                lastOpenPath_.substr(lastOpenPath_.rfind('/') + 1));
    if (chosen.empty())
        return std::nullopt;
    lastOpenPath_ = chosen.front();
    return lastOpenPath_;
}

std::optional<std::string> CLinksmithFrame::ChooseFileToSave() {
    // The dialog starts at the open file, whose folder or name need not be UTF-8.
    const EditingState& state = editor_->State();
    const std::string& file = state.panoramaPath;
    QFileDialog dialog(this, QStringLiteral("Save As"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pan"));
    dialog.setNameFilters({QStringLiteral("All Files (*)"), QStringLiteral("Panoramas (*.pan)")});
    dialog.selectNameFilter(QStringLiteral("Panoramas (*.pan)"));
    return platform::RunSaveDialog(dialog, state.panoramaFolder, file.substr(file.rfind('/') + 1),
                                   kLinksmithCaption);
}

void CLinksmithFrame::SizeClientArea() {
    const QPoint topLeft = pos();
    resize(width() - host_->width() + kClientWidth, height() - host_->height() + kClientHeight);
    move(topLeft);
}

platform::WindowHandle CLinksmithFrame::Handle() const {
    return host_->Handle();
}

void CLinksmithFrame::Invalidate(bool erase) {
    if (erase && (!editor_ || !editor_->HasPanorama())) {
        host_->ClearPicture();
    } else {
        host_->update();
    }
}

void CLinksmithFrame::UpdateNow() {
    host_->repaint();
}

void CLinksmithFrame::UpdateCommandStates() {
    if (!editor_)
        return;
    for (const auto& [id, action] : commands_)
        action->setEnabled(editor_->IsCommandEnabled(id));
}

void CLinksmithFrame::closeEvent(QCloseEvent* event) {
    if (!editor_->QueryClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
