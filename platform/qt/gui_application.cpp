#include "platform/qt/gui_application.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/guarded.h"

namespace platform {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// What the message handler needs while an application is being made.
struct Opening {
    std::string failureLine;
    QtMessageHandler previous = nullptr;
    std::vector<HeldMessage> held;
};

Guarded<Opening>& OpeningRecord() {
    static Guarded<Opening> record;
    return record;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Qt's fatal message while the application is made means the platform plug-in did not start:
// the program's own line replaces Qt's abort.
void HoldOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const auto opening = OpeningRecord().Lock();
    if (type == QtFatalMsg) {
        std::fputs(opening->failureLine.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    opening->held.push_back(
        {type, QByteArray(context.category != nullptr ? context.category : ""), text});
}

}  // namespace

std::unique_ptr<QApplication> OpenGuiApplication(int& argc, char** argv, std::string_view program) {
    const std::string prefix = std::string(program) + ": cannot open a window: ";
    const std::string platformName = Variable("QT_QPA_PLATFORM");
    const std::string x11 = Variable("DISPLAY");
    const std::string wayland = Variable("WAYLAND_DISPLAY");
    if (platformName.empty() && x11.empty() && wayland.empty()) {
        std::fputs((prefix + "no display\n").c_str(), stderr);
        std::exit(1);
    }
    const std::string target = !platformName.empty() ? "platform " + platformName
                               : !x11.empty()        ? "display " + x11
                                                     : "display " + wayland;
    {
        const auto opening = OpeningRecord().Lock();
        *opening = Opening{prefix + "cannot connect to " + target + "\n", nullptr, {}};
        opening->previous = qInstallMessageHandler(HoldOrFail);
    }
    auto application = std::make_unique<QApplication>(argc, argv);
    Opening opened;
    {
        const auto opening = OpeningRecord().Lock();
        qInstallMessageHandler(opening->previous);
        opened = std::move(*opening);
        *opening = Opening{};
    }
    for (const HeldMessage& message : opened.held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    return application;
}

}  // namespace platform
