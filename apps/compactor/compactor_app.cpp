#include "apps/compactor/compactor_app.h"

#include <QApplication>
#include <iostream>
#include <memory>
#include <new>
#include <string_view>

#include "apps/common/help_page.h"
#include "apps/compactor/command_line.h"
#include "apps/compactor/compactor_messages.h"
#include "apps/compactor/compactor_writers.h"
#include "apps/compactor/compression_options_dlg.h"
#include "apps/compactor/compression_settings.h"
#include "bitmap/cdib.h"
#include "platform/codec/codec_bridge.h"
#include "platform/display_presence.h"
#include "platform/path_text.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_backend.h"
#include "platform/suite_program.h"

namespace {

const HelpPage kCompactorHelp{"compactor", "Vuzuzuvuzez.html"};

}  // namespace

int ConvertBitmapFile(const std::string& inputName, const std::string& outputName,
                      const CompressionSettings& settings, const MessageSink& messages) {
    const int codec = settings.ReadCodec();
    if (codec == CompressionSettings::kUnknownCodec) {
        messages("Unknown codec in the settings: Codec in " + settings.FilePath() +
                 " must be a number from 0 to 5");
        return 0;
    }
    CDIB dib(16, 16, 24);
    if (dib.Load(inputName) == 0) {
        messages("Failed to open " + platform::PathForDisplay(inputName));
        return 0;
    }
    if (dib.ChangeBitDepth(24) == 0)
        messages("Failed to convert to 24 bit");
    return WriteCompressedOutput(dib, codec, settings.ReadQuality(), outputName,
                                 settings.ReadThumbnail(), messages);
}

CCompactorApp::CCompactorApp(std::string programPath, std::vector<std::string> args)
    : programPath_(std::move(programPath)), args_(std::move(args)) {
    // Qt's own options stay out of the way: the toolkit sees only the program's name.
    qtArgv_[0] = programPath_.data();
}

CCompactorApp::~CCompactorApp() {
    backend_.reset();
    gui_.reset();
}

int CCompactorApp::InitInstance() {
    platform::InstallCodecDecoder(platform::DecodeCompressedPicture);
    try {
        return Run();
    } catch (const std::bad_alloc&) {
        std::cerr << "Compactor: out of memory" << std::endl;
        return 2;
    }
}

bool CCompactorApp::EnsureGui() {
    if (!gui_ && platform::HasDisplay()) {
        gui_ = platform::OpenGuiApplication(qtArgc_, qtArgv_, "compactor");
        backend_ = std::make_unique<platform::QtBackend>();
        backend_->Install();
    }
    return gui_ != nullptr;
}

void CCompactorApp::ShowMessage(std::string_view text) {
    EnsureGui();
    ShowCompactorMessage(text);
}

int CCompactorApp::Run() {
    CompressionSettings settings;
    CCompactorCommandLineInfo info(settings);
    ParseCommandLine(args_, info);

    if (info.dialogFlag != 0) {
        if (EnsureGui()) {
            const std::string helpFile =
                FindHelpFile(platform::RunningProgramFolder(), kCompactorHelp);
            CCompressionOptionsDlg dialog(settings, helpFile,
                                          [this](std::string_view text) { ShowMessage(text); });
            dialog.DoModalFor(info.callerWindow);
        } else {
            std::cerr << "Compactor: no display; the Compression Options dialog is not shown"
                      << std::endl;
        }
    }
    int exitCode = 0;
    if (!info.inputName.empty() && !info.outputName.empty()) {
        if (gui_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        const int written = ConvertBitmapFile(info.inputName, info.outputName, settings,
                                              [this](std::string_view text) { ShowMessage(text); });
        if (gui_)
            QApplication::restoreOverrideCursor();
        // A caller that waits for the conversion learns from the status whether it was done.
        exitCode = written == 1 ? 0 : kConversionFailed;
    }
    return exitCode;
}
