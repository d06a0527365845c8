#include "apps/standalone_viewer/qt_viewer_shell.h"

#include <QCloseEvent>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>

#include "apps/common/help_page.h"
#include "apps/common/program_icon.h"
#include "platform/messages.h"
#include "platform/qt/window_host.h"

// The top-level window: the host fills it above the status bar. The close box asks the client
// window's procedure (WM_CLOSE, delivered after the close event returns) instead of closing.
class QtViewerShell::Frame : public QWidget {
  public:
    explicit Frame(const QString& title) : host(new platform::QtWindowHost(this)), status(new QStatusBar(this)) {
        setWindowTitle(title);
        setAttribute(Qt::WA_DeleteOnClose, false);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(host, 1);
        layout->addWidget(status);
        status->setSizeGripEnabled(true);
        status->hide();
        setFocusProxy(host);
    }

    platform::QtWindowHost* host;
    QStatusBar* status;

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        const platform::WindowHandle window = host->Handle();
        QMetaObject::invokeMethod(
            this, [window] { platform::SendMessage(window, platform::WM_CLOSE); },
            Qt::QueuedConnection);
    }
};

QtViewerShell::~QtViewerShell() {
    delete frame_;
}

platform::WindowHandle QtViewerShell::Create(const std::string& title, platform::Size size) {
    delete frame_;
    frame_ = new Frame(QString::fromStdString(title));
    frame_->resize(size.width, size.height);
    return frame_->host->Handle();
}

bool QtViewerShell::Destroy() {
    delete frame_;  // the host sends WM_DESTROY as it goes
    return true;
}

void QtViewerShell::Show(const std::string& statusText, platform::Point topLeft) {
    if (!frame_)
        return;
    frame_->status->show();
    frame_->status->showMessage(QString::fromStdString(statusText));
    frame_->move(topLeft.x, topLeft.y);
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
    frame_->host->setFocus();
}

int QtViewerShell::TrackPopupMenu(platform::Point screenPoint, bool helpEnabled,
                                  bool aboutEnabled) {
    QMenu menu(frame_);
    QAction* help = menu.addAction(QStringLiteral("&Help"));
    QAction* reset = menu.addAction(QStringLiteral("&Reset Panorama"));
    QAction* about = menu.addAction(QStringLiteral("&About"));
    help->setEnabled(helpEnabled);
    about->setEnabled(aboutEnabled);
    QAction* chosen = menu.exec(QPoint(screenPoint.x, screenPoint.y));
    if (chosen == help)
        return kViewerCmdHelp;
    if (chosen == reset)
        return kViewerCmdReset;
    if (chosen == about)
        return kViewerCmdAbout;
    return 0;
}

bool QtViewerShell::OpenHelp(const std::string& page, int context) {
    return OpenHelpFile(page, context);
}

void QtViewerShell::SetIcon(const std::string& name) {
    if (frame_)
        frame_->setWindowIcon(ProgramIcon(name));
}

QWidget* QtViewerShell::Widget() const {
    return frame_.data();
}
