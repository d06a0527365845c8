#include "apps/common/help_page.h"

#include <QByteArray>

#include <filesystem>
#include <system_error>

#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/suite_program.h"

std::string FindHelpFile(const std::string& programDir, const HelpPage& page) {
    namespace fs = std::filesystem;
    const fs::path dir(programDir);
    const fs::path candidates[] = {
        dir / "help" / page.fileName,
        dir / ".." / "share" / page.program / "help" / page.fileName,
    };
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (!fs::is_regular_file(candidate, error))
            continue;
        const fs::path found = fs::canonical(candidate, error);
        if (!error)
            return found.string();
    }
    return {};
}

std::string HelpAddress(const std::string& file, int context) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    const std::string path = error ? file : absolute.string();
    // The file's bytes are percent-encoded as they are, so a name that is not UTF-8 reaches
    // the browser as the file it is.
    const QByteArray encoded =
        QByteArray(path.data(), static_cast<qsizetype>(path.size())).toPercentEncoding("/");
    return "file://" + encoded.toStdString() + "#context-" + std::to_string(context);
}

bool OpenHelpFile(const std::string& file, int context) {
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error))
        return false;
    return platform::OpenAddress(HelpAddress(file, context));
}

bool OpenHelp(const HelpPage& page, int context) {
    return OpenHelpFile(FindHelpFile(platform::RunningProgramFolder(), page),
                        context);
}

bool ShowHelp(const HelpPage& page, int context, std::string_view caption,
              platform::WindowHandle owner) {
    if (OpenHelp(page, context))
        return true;
    platform::MessageBox(owner, kHelpFailedText, caption,
                         platform::MB_OK | platform::MB_ICONWARNING);
    return false;
}
