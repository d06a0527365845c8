// Mimeo, the avatar builder: `mimeo [file]` opens the dialog, building an avatar from the file
// when one is named.

#include <QApplication>
#include <QTimer>
#include <string>
#include <vector>

#include "apps/common/program_icon.h"
#include "apps/mimeo/mimeo_dialog.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_backend.h"

int main(int argc, char* argv[]) {
    const auto application = platform::OpenGuiApplication(argc, argv, "mimeo");
    QApplication::setApplicationName(QStringLiteral("Mimeo"));
    QApplication::setWindowIcon(ProgramIcon(kMimeoIcon));
    platform::QtBackend backend;
    backend.Install();

    CMimeoDlg dialog;
    // The first argument Qt left, as the bytes given: a file name need not be UTF-8.
    if (argc > 1) {
        const std::vector<std::string> paths{argv[1]};
        QTimer::singleShot(0, &dialog, [&dialog, paths] { dialog.BuildAvatar(paths); });
    }
    dialog.exec();
    return 0;
}
