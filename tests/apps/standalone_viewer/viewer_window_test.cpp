// The stand-alone viewer window under the headless backend: opening from a file and from
// memory, reset, the menu, help, one window at a time, and failures.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "apps/standalone_viewer/headless_viewer_shell.h"
#include "apps/standalone_viewer/viewer_window.h"
#include "bitmap/cdib.h"
#include "platform/message_box.h"
#include "platform/messages.h"

namespace {

namespace fs = std::filesystem;

// A 24-bit panorama, 256 x 128, as a packed bitmap.
CDIB Panorama() {
    CDIB dib(256, 128, 24);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x)
            dib.SetPixelValue(x, y, static_cast<std::uint32_t>(x | (2 * y) << 8 | 0x400000));
    return dib;
}

class ViewerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("viewer_window_test." + std::to_string(::getpid()) + "." +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        auto shell = std::make_unique<HeadlessViewerShell>(backend_);
        shell_ = shell.get();
        window_ = std::make_unique<CViewerWindow>(std::move(shell));
        window_->GetSettings().caption = "Cubestitch";
    }
    void TearDown() override {
        window_.reset();
        fs::remove_all(folder_);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRecord& box : backend_.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }
    std::array<double, 4> View() const {
        std::array<double, 4> view{};
        window_->Viewer()->GetView(&view[0], &view[1], &view[2], &view[3]);
        return view;
    }

    platform::HeadlessBackend backend_;
    fs::path folder_;
    HeadlessViewerShell* shell_ = nullptr;
    std::unique_ptr<CViewerWindow> window_;
};

TEST_F(ViewerWindowTest, OpensFromMemoryAndFromAFile) {
    const CDIB panorama = Panorama();
    const fs::path file = folder_ / "pano.bmp";
    ASSERT_EQ(panorama.Save(file.string()), 1);
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind == 0 ? "file" : "memory");
        const int opened =
            kind == 0 ? window_->OpenFile(file.string()) : window_->OpenMemory(panorama.GetBlock());
        ASSERT_EQ(opened, 1);
        EXPECT_TRUE(window_->IsCreated());
        ASSERT_NE(window_->Viewer(), nullptr);
        EXPECT_TRUE(window_->Viewer()->IsLoaded());
        EXPECT_FALSE(shell_->visible);  // hidden until shown
        EXPECT_EQ(shell_->title, "Corvane(TM)");
        EXPECT_EQ(View(), (std::array<double, 4>{0, 0, 0, 60}));

        backend_.SetScreenSize({1024, 768});
        ASSERT_EQ(window_->ShowPanorama(), 1);
        EXPECT_TRUE(shell_->visible);
        EXPECT_EQ(shell_->statusText, "Press <space> to reset view");
        EXPECT_EQ(shell_->topLeft.x, 352);
        EXPECT_EQ(shell_->topLeft.y, 264);
        // The engine now paints the window.
        EXPECT_GT(backend_.FramesReady(window_->Window()), 0);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ViewerWindowTest, SpaceAndResetReturnHome) {
    const CDIB panorama = Panorama();
    ASSERT_EQ(window_->OpenMemory(panorama.GetBlock()), 1);
    ASSERT_EQ(window_->ShowPanorama(), 1);
    struct Case {
        const char* name;
        std::function<void()> reset;
    };
    const Case kCases[] = {
        {"Space key",
         [&] {
             backend_.Press(window_->Window(), platform::VK_SPACE);
             backend_.Pump();
         }},
        {"menu item",
         [&] {
             shell_->menuChoice = kViewerCmdReset;
             platform::SendMessage(window_->Window(), platform::WM_RBUTTONDOWN, 0,
                                   platform::MakeLParam(10, 20));
         }},
        {"command", [&] { window_->OnCommand(kViewerCmdReset); }},
    };
    for (const Case& c : kCases) {
        window_->Viewer()->SetView(40, -10, 5, 80, 0);
        c.reset();
        EXPECT_EQ(View(), (std::array<double, 4>{0, 0, 0, 60})) << c.name;
    }
}

TEST_F(ViewerWindowTest, OpeningAgainKeepsOneWindow) {
    const CDIB panorama = Panorama();
    ASSERT_EQ(window_->OpenMemory(panorama.GetBlock()), 1);
    ASSERT_EQ(window_->ShowPanorama(), 1);
    const platform::WindowHandle first = window_->Window();
    window_->Viewer()->SetView(90, 10, 0, 45, 0);

    ASSERT_EQ(window_->OpenMemory(panorama.GetBlock()), 1);
    EXPECT_FALSE(platform::IsWindow(first));
    EXPECT_NE(window_->Window(), first);
    EXPECT_EQ(View(), (std::array<double, 4>{0, 0, 0, 60}));
    EXPECT_EQ(shell_->windowsMade, 2);

    // The close box destroys window and engine; the object stays for the next Open.
    platform::SendMessage(window_->Window(), platform::WM_CLOSE);
    EXPECT_FALSE(window_->IsCreated());
    EXPECT_EQ(window_->Viewer(), nullptr);
    EXPECT_EQ(window_->ShowPanorama(), 0);
    ASSERT_EQ(window_->OpenMemory(panorama.GetBlock()), 1);
    EXPECT_EQ(window_->ShowPanorama(), 1);
}

TEST_F(ViewerWindowTest, FailuresAreToldAndLeaveNoEmptyWindow) {
    const fs::path corrupt = folder_ / "corrupt.bmp";
    std::ofstream(corrupt, std::ios::binary) << "BM this is no bitmap at all";
    const std::uint8_t shortBlock[8] = {40, 0, 0, 0, 1, 0, 0, 0};
    struct Case {
        const char* name;
        int kind;
        const void* data;
        std::size_t size;
    };
    const std::string corruptPath = corrupt.string();
    const std::string missingPath = (folder_ / "missing.pan").string();
    const Case kCases[] = {
        {"corrupt file", 0, corruptPath.c_str(), 0},
        {"missing file", 0, missingPath.c_str(), 0},
        {"truncated bitmap in memory", 1, shortBlock, sizeof shortBlock},
        {"unknown kind", 2, shortBlock, sizeof shortBlock},
    };
    for (const Case& c : kCases) {
        const std::size_t before = Messages().size();
        EXPECT_EQ(window_->Open(c.kind, c.data, c.size), 0) << c.name;
        EXPECT_FALSE(window_->IsCreated()) << c.name;
        EXPECT_EQ(shell_->window, platform::kNoWindow) << c.name;
        ASSERT_EQ(Messages().size(), before + 1) << c.name;
        EXPECT_EQ(Messages().back(), "Unable to display panorama") << c.name;
        EXPECT_EQ(window_->ShowPanorama(), 0) << c.name;
    }
    // The plug-in's form shows the load error's own text first.
    window_->GetSettings().reportLoadError = true;
    const std::size_t before = Messages().size();
    EXPECT_EQ(window_->OpenFile(missingPath), 0);
    ASSERT_EQ(Messages().size(), before + 2);
    EXPECT_EQ(Messages()[before].rfind("File I/O Error: ", 0), 0u) << Messages()[before];

    // A window that cannot be destroyed stays, and Open reports the failure.
    const CDIB panorama = Panorama();
    ASSERT_EQ(window_->OpenMemory(panorama.GetBlock()), 1);
    const platform::WindowHandle kept = window_->Window();
    shell_->refuseDestroy = true;
    EXPECT_EQ(window_->OpenMemory(panorama.GetBlock()), 0);
    EXPECT_EQ(Messages().back(), "Unable to destroy window.");
    EXPECT_EQ(window_->Window(), kept);
    EXPECT_TRUE(window_->Viewer()->IsLoaded());
    shell_->refuseDestroy = false;
}

TEST_F(ViewerWindowTest, MenuGreysWhatIsNotThereAndHelpFailsAloud) {
    const CDIB panorama = Panorama();
    ASSERT_EQ(window_->OpenMemory(panorama.GetBlock()), 1);
    ASSERT_EQ(window_->ShowPanorama(), 1);
    const auto rightClick = [&](std::uint32_t message) {
        platform::SendMessage(window_->Window(), message, 0, platform::MakeLParam(5, 6));
    };
    rightClick(platform::WM_RBUTTONDOWN);
    ASSERT_EQ(shell_->menus.size(), 1u);
    EXPECT_FALSE(shell_->menus[0].helpEnabled);
    EXPECT_FALSE(shell_->menus[0].aboutEnabled);

    std::vector<platform::WindowHandle> abouts;  // the parent each About box was given
    window_->GetSettings().about = [&](platform::WindowHandle parent) { abouts.push_back(parent); };
    window_->SetHelp("/nowhere/RARIVUDUZOVU.html", 6);
    window_->GetSettings().menuOnRelease = true;
    rightClick(platform::WM_RBUTTONDOWN);
    EXPECT_EQ(shell_->menus.size(), 1u);  // not on the press any more
    shell_->menuChoice = kViewerCmdAbout;
    rightClick(platform::WM_RBUTTONUP);
    ASSERT_EQ(shell_->menus.size(), 2u);
    EXPECT_TRUE(shell_->menus[1].helpEnabled);
    EXPECT_EQ(abouts, std::vector<platform::WindowHandle>{window_->Window()});

    // The Help command and the help key alike.
    shell_->helpOpens = false;
    platform::SendMessage(window_->Window(), platform::WM_COMMAND, kViewerCmdHelp);
    platform::SendMessage(window_->Window(), platform::WM_KEYDOWN, platform::VK_F1);
    EXPECT_EQ(shell_->helpRequests,
              std::vector<std::string>(2, "/nowhere/RARIVUDUZOVU.html#context-6"));
    EXPECT_EQ(Messages(), std::vector<std::string>(2, "Unable to open help file."));
}

TEST_F(ViewerWindowTest, TheProgramWindowIsMadeOnce) {
    DestroyViewerWindow();  // none yet: nothing happens
    CViewerWindow* first = GetViewerWindow();
    EXPECT_EQ(GetViewerWindow(), first);
    const CDIB panorama = Panorama();
    ASSERT_EQ(first->OpenMemory(panorama.GetBlock()), 1);
    const platform::WindowHandle window = first->Window();
    DestroyViewerWindow();
    EXPECT_FALSE(platform::IsWindow(window));
}

}  // namespace
