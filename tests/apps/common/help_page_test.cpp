// The suite's help pages: where a program's page is found, the address it opens at, and what
// the user is told when the desktop cannot open it.

#include "apps/common/help_page.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "platform/headless/headless_backend.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"

namespace {

namespace fs = std::filesystem;

// The one page a test writes beside this test program.
constexpr const char* kPageBesideTheProgram = "HelpPageTest.html";

// The one application object of the run: the running program's folder comes from it.
void EnsureApp() {
    static int argc = 1;
    static char name[] = "app_common_tests";
    static char* argv[] = {name, nullptr};
    static const QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

void WritePage(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "<html><body><h2 id=\"context-3\">Help</h2></body></html>\n";
}

class HelpPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        ASSERT_TRUE(dir_.isValid());
        root_ = fs::path(dir_.path().toStdString());
        launcher_ = std::make_shared<platform::RecordingLauncher>();
        previous_ = platform::InstallProgramLauncher(launcher_);
    }
    void TearDown() override {
        platform::InstallProgramLauncher(previous_);
    }
    // The help folder beside this test program, where the running program's page is looked for.
    static fs::path BesideTheProgram() {
        return fs::path(QCoreApplication::applicationDirPath().toStdString()) / "help";
    }

    QTemporaryDir dir_;
    fs::path root_;
    std::shared_ptr<platform::RecordingLauncher> launcher_;
    std::shared_ptr<platform::ProgramLauncher> previous_;
};

TEST_F(HelpPageTest, ThePageIsFoundBesideTheProgramBeforeTheInstalledOne) {
    const HelpPage page{"viewer", "Cvn Viewer.html"};
    const fs::path bin = root_ / "bin";
    fs::create_directories(bin);
    const fs::path beside = bin / "help" / "Cvn Viewer.html";
    const fs::path installed = root_ / "share" / "viewer" / "help" / "Cvn Viewer.html";

    struct Case {
        const char* name;
        std::vector<fs::path> pages;
        fs::path found;
    };
    const Case cases[] = {
        {"none", {}, {}},
        {"installed only", {installed}, installed},
        {"both", {installed, beside}, beside},
    };
    for (const Case& c : cases) {
        for (const fs::path& written : c.pages)
            WritePage(written);
        const std::string found = FindHelpFile(bin.string(), page);
        EXPECT_EQ(found, c.found.empty() ? std::string() : fs::canonical(c.found).string())
            << c.name;
    }
    EXPECT_EQ(FindHelpFile(bin.string(), HelpPage{"viewer", "help"}), "")
        << "a folder is not a page";
}

TEST_F(HelpPageTest, TheAddressKeepsOddFileNamesApartFromTheContextAnchor) {
    struct Case {
        std::string file;
        int context;
        std::string address;
    };
    const Case cases[] = {
        {"/opt/suite/help/CvnRoamer.html", 3, "file:///opt/suite/help/CvnRoamer.html#context-3"},
        {"/home/a b/help/page.html", 2, "file:///home/a%20b/help/page.html#context-2"},
        {"/tmp/#1/page?.html", 7, "file:///tmp/%231/page%3F.html#context-7"},
        {"/opt/caf\xe9/help/page.html", 1, "file:///opt/caf%E9/help/page.html#context-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpAddress(c.file, c.context), c.address) << c.file;
}

TEST_F(HelpPageTest, APageThatCannotBeOpenedIsReportedWithTheSuitesText) {
    platform::HeadlessBackend backend;
    const platform::WindowHandle owner = backend.CreateWindow({100, 100});
    const HelpPage present{"viewer", kPageBesideTheProgram};
    const HelpPage missing{"viewer", "NoSuchPage.html"};
    // Only this test writes beside the program, so only it cleans up: ctest runs the other
    // tests of this program alongside in their own processes.
    struct RemovePage {
        ~RemovePage() {
            std::error_code ignored;
            fs::remove(BesideTheProgram() / kPageBesideTheProgram, ignored);
            fs::remove(BesideTheProgram(), ignored);
        }
    } removePage;
    WritePage(BesideTheProgram() / present.fileName);
    const std::string address =
        HelpAddress(fs::canonical(BesideTheProgram() / present.fileName).string(), 3);

    struct Case {
        const char* name;
        HelpPage page;
        bool opens;  // what the desktop's opener answers
        bool opened;
        std::vector<std::string> launches;
    };
    const Case cases[] = {
        {"the opener takes it", present, true, true, {"open " + address + " show 1"}},
        {"no browser opens it", present, false, false, {"open " + address + " show 1"}},
        {"the page is missing", missing, true, false, {}},
    };
    for (const Case& c : cases) {
        launcher_ = std::make_shared<platform::RecordingLauncher>();
        launcher_->openResult = c.opens;
        platform::InstallProgramLauncher(launcher_);
        const std::size_t boxes = backend.MessageBoxes().size();

        EXPECT_EQ(ShowHelp(c.page, 3, "Viewer", owner), c.opened) << c.name;

        EXPECT_EQ(launcher_->Log(), c.launches) << c.name;
        const std::vector<platform::MessageBoxRecord> shown = backend.MessageBoxes();
        ASSERT_EQ(shown.size(), boxes + (c.opened ? 0 : 1)) << c.name;
        if (!c.opened) {
            EXPECT_EQ(shown.back().text, "Unable to open help file") << c.name;
            EXPECT_EQ(shown.back().caption, "Viewer") << c.name;
            EXPECT_EQ(shown.back().owner, owner) << c.name;
            EXPECT_EQ(shown.back().type, platform::MB_OK | platform::MB_ICONWARNING) << c.name;
        }
    }
}

}  // namespace
