// The program icons: each desktop entry names an icon that is built into the programs, and no
// two programs share a picture.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <fstream>
#include <iterator>
#include <string>

#include "apps/common/program_icon.h"

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "app_common_tests";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr)
        new QGuiApplication(argc, argv);
}

TEST(ProgramIcon, EachDesktopEntryNamesItsProgramsOwnBuiltInIcon) {
    EnsureApp();
    const struct {
        const char* entry;
        std::string_view icon;
    } programs[] = {{"apps/roamer/roamer.desktop", kRoamerIcon},
                    {"apps/compactor/compactor.desktop", kCompactorIcon},
                    {"apps/cubestitch/cubestitch.desktop", kCubestitchIcon},
                    {"apps/linksmith/linksmith.desktop", kLinksmithIcon},
                    {"apps/mimeo/mimeo.desktop", kMimeoIcon},
                    {"plugin/scenegrab_host/scenegrab-host.desktop", kScenegrabIcon}};
    std::vector<QImage> pictures;
    for (const auto& program : programs) {
        std::ifstream in(std::string(HALVEX_SOURCE_DIR "/") + program.entry);
        const std::string entry{std::istreambuf_iterator<char>(in), {}};
        const std::string name(program.icon);
        EXPECT_NE(entry.find("\nIcon=" + name + "\n"), std::string::npos) << program.entry;
        const QIcon icon = ProgramIcon(program.icon);
        ASSERT_FALSE(icon.isNull()) << name;
        const QImage picture = icon.pixmap(64, 64).toImage();
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << name << " looks like another program's icon";
        pictures.push_back(picture);
    }
    EXPECT_TRUE(ProgramIcon("halvex-unknown").isNull());
}

}  // namespace
