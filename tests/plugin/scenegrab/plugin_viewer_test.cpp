#include "plugin/scenegrab/plugin_viewer.h"
#include "apps/standalone_viewer/headless_viewer_shell.h"
#include "apps/standalone_viewer/viewer_window.h"
#include "platform/messages.h"
#include "platform/program_launcher.h"
#include "platform/window.h"
#include "plugin/scenegrab/plugin_ui.h"
#include "tests/plugin/scenegrab/scenegrab_fixture.h"

namespace {

// The saver's single panorama goes to the module's one viewer window, titled and sized for the
// plug-in, with its help; a second panorama replaces the first window.
TEST_F(ScenegrabTest, PanoramasAreShownInTheModulesOneViewerWindow) {
    CDIB panorama(64, 32, 24);
    panorama.SetPixel(10, 10, 200, 100, 50);
    scenegrab::ShowInViewerWindow(panorama);
    CViewerWindow* window = GetViewerWindow();
    auto* shell = dynamic_cast<HeadlessViewerShell*>(window->Shell());
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(shell->title, "Halvex Viewer");
    EXPECT_TRUE(shell->visible);
    EXPECT_EQ(shell->statusText, "Press <space> to reset view");
    EXPECT_EQ(window->GetSettings().size.width, 500);
    EXPECT_EQ(window->GetSettings().size.height, 300);
    EXPECT_EQ(window->GetSettings().helpContext, 6);
    EXPECT_NE(window->Viewer(), nullptr);
    platform::SendMessage(window->Window(), platform::WM_KEYDOWN, platform::VK_F1);
    EXPECT_EQ(shell->helpRequests,
              std::vector<std::string>{scenegrab::PluginHelpFile() + "#context-6"});

    scenegrab::ShowInViewerWindow(panorama);
    EXPECT_EQ(GetViewerWindow(), window);
    EXPECT_EQ(shell->windowsMade, 2);
    EXPECT_TRUE(window->IsCreated());

    scenegrab::CloseViewerWindow();
    EXPECT_TRUE(Messages().empty());
}

}  // namespace

namespace {

// The plug-in's help page (copied beside the test program, as it lies beside the module) goes
// to the desktop's opener at the context's anchor; when nothing opens it the user is told.
TEST_F(ScenegrabTest, HelpOpensThePluginsPageOrSaysItCannot) {
    auto launcher = std::make_shared<platform::RecordingLauncher>();
    auto previous = platform::InstallProgramLauncher(launcher);
    scenegrab::OpenPluginHelp(5);
    ASSERT_EQ(launcher->Log().size(), 1u);
    EXPECT_NE(launcher->Log()[0].find("/help/RARIVUDUZOVU.html#context-5"), std::string::npos)
        << launcher->Log()[0];
    EXPECT_TRUE(Messages().empty());

    launcher->openResult = false;
    scenegrab::OpenPluginHelp(6);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Unable to open help file."});
    platform::InstallProgramLauncher(previous);
}

}  // namespace
