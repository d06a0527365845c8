// The program icons: each desktop entry names an icon that is drawn for the suite (installed in
// the hicolor theme) and built into the programs, and no two programs share a picture.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>

#include "apps/common/program_icon.h"

namespace {

namespace fs = std::filesystem;

void EnsureApp() {
    static int argc = 1;
    static char name[] = "app_common_tests";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr)
        new QGuiApplication(argc, argv);
}

// The entry's Icon line; empty when it has none.
std::string IconLine(const fs::path& entry) {
    std::ifstream in(entry);
    std::string line;
    while (std::getline(in, line) && line.rfind("Icon=", 0) != 0) {
    }
    return line;
}

TEST(ProgramIcon, EachDesktopEntryNamesItsProgramsOwnDrawnAndBuiltInIcon) {
    EnsureApp();
    const fs::path source = HALVEX_SOURCE_DIR;
    const struct {
        const char* entry;
        std::string_view icon;
    } programs[] = {
        {"apps/roamer/roamer.desktop", kRoamerIcon},
        {"apps/compactor/compactor.desktop", kCompactorIcon},
        {"apps/cubestitch/cubestitch.desktop", kCubestitchIcon},
        {"apps/linksmith/linksmith.desktop", kLinksmithIcon},
        {"apps/mimeo/mimeo.desktop", kMimeoIcon},
        {"plugin/scenegrab_host/scenegrab-host.desktop", kScenegrabIcon},
    };
    std::vector<QImage> pictures;
    for (const auto& program : programs) {
        const std::string name(program.icon);
        EXPECT_EQ(IconLine(source / program.entry), "Icon=" + name) << program.entry;
        EXPECT_TRUE(fs::is_regular_file(source / "data/icons" / (name + ".svg"))) << name;
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
