// Cubestitch, the cube-face seamer. With all seven names on its command line it seams, saves
// and exits by itself, its status 0 only when the panorama file was written; otherwise it
// opens its window for the user (loading and turning the faces named, if any).

#include <QApplication>

#include <string>
#include <vector>

#include "apps/common/program_icon.h"
#include "apps/cubestitch/batch_run.h"
#include "apps/cubestitch/out_of_memory.h"
#include "apps/cubestitch/seam_command_line.h"
#include "apps/cubestitch/seam_frame.h"
#include "apps/cubestitch/seam_settings.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/codec/codec_bridge.h"
#include "platform/display_presence.h"
#include "platform/message_box.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_backend.h"
#include "platform/termination_signals.h"

int main(int argc, char* argv[]) {
    cubestitch::InstallOutOfMemoryHandler();
    // Faces may be codec-compressed bitmaps: the bitmap class decodes them through the bridge.
    platform::InstallCodecDecoder(platform::DecodeCompressedPicture);
    const std::vector<std::string> args(argv + 1, argv + argc);
    cubestitch::CSeamCommandLineInfo info;
    cubestitch::ParseSeamCommandLine(args, info);
    const bool unattended = info.NamesOutput() || info.extraName.has_value();
    // An unattended run needs no display: without one it works off screen, with its frame
    // never shown, as nobody could see the faces painted.
    const bool offScreen = unattended && !platform::HasDisplay();
    if (offScreen)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // Qt sees only the program's name, so face flags never read as Qt's own options.
    int qtArgc = 1;
    const auto application = platform::OpenGuiApplication(qtArgc, argv, "cubestitch");
    QApplication::setApplicationName(QStringLiteral("Cubestitch"));
    // Icon 111: the frame's and the viewer window's.
    QApplication::setWindowIcon(ProgramIcon(kCubestitchIcon));
    platform::QtBackend backend;
    backend.Install();
    // Nobody waits at an unattended run: message boxes go to standard error.
    platform::SetBatchMode(unattended);
    // The window's run ends on a signal with its viewer's panorama closed; an unattended run,
    // which has no event loop to hear one, keeps the signals' default.
    if (!unattended)
        platform::EndOnTerminationSignals(ViewerEngine::CloseEveryPanorama);

    cubestitch::SeamSettings settings;
    cubestitch::CSeamFrame frame(settings, {});
    frame.SetBatch(info.NamesAnyFile());
    if (!offScreen)
        frame.show();
    const cubestitch::BatchResult result = cubestitch::RunBatch(frame, info);
    if (unattended)
        return cubestitch::ExitStatusOf(result);
    return QApplication::exec();
}
