#include "apps/roamer/roamer_app.h"

#include <QFileDialog>

#include "apps/roamer/about_dialog.h"
#include "apps/roamer/main_frame.h"
#include "apps/roamer/roamer_view.h"
#include "platform/files.h"
#include "platform/qt/file_dialog_paths.h"

CRoamerApp::CRoamerApp(const QString& profilePath)
    : profile_(profilePath), recentFiles_(RoamerProfile::kRecentFileCount) {
    recentFiles_.Assign(profile_.RecentFiles());
}

CRoamerApp::~CRoamerApp() {
    frame_.reset();  // the view writes its settings as it goes
    profile_.SetRecentFiles(recentFiles_.Paths());
    profile_.Sync();
}

bool CRoamerApp::InitInstance(const std::vector<std::string>& arguments) {
    frame_ = std::make_unique<CMainFrame>(*this, document_, profile_);
    frame_->UpdateRecentFileMenu();
    frame_->show();

    std::string file;
    for (const std::string& argument : arguments) {
        if (!argument.starts_with('-')) {
            file = argument;
            break;
        }
    }
    if (file.empty()) {
        OnFileNew();
    } else {
        OpenDocumentFile(file);
    }
    frame_->setAcceptDrops(true);
    return true;
}

void CRoamerApp::OnFileNew() {
    document_.OnNewDocument();
    frame_->SetDocumentTitle({});
    frame_->UpdateCommandUi();
}

bool CRoamerApp::OpenDocumentFile(const std::string& path) {
    // Without a current folder to resolve it against, the name is tried as it stands.
    const std::string full = platform::GetFullPathName(path);
    const std::string& absolute = full.empty() ? path : full;
    document_.OnOpenDocument(absolute);
    // The view names the panorama in the title as it shows it.
    const bool loaded = frame_->View()->OnInitialUpdate();
    if (loaded) {
        recentFiles_.Add(absolute);
    } else {
        recentFiles_.Remove(absolute);
    }
    frame_->UpdateRecentFileMenu();
    frame_->UpdateCommandUi();
    return loaded;
}

void CRoamerApp::OnFileOpen() {
    QFileDialog dialog(frame_.get(), QStringLiteral("Open"));
    // Qt's own dialog matches the filter in any letter case (.pan, .PAN, .Pan).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Panorama Files (*.pan)"), QStringLiteral("All Files (*)")});
    const std::vector<std::string> chosen = platform::RunOpenDialog(dialog);
    if (!chosen.empty())
        OpenDocumentFile(chosen.front());
}

void CRoamerApp::OnAppAbout() {
    CAboutDlg about(frame_.get());
    about.exec();
}
