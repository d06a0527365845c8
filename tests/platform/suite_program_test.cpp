#include "platform/suite_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/headless/headless_backend.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class SuiteProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("halvex-suite-" + std::to_string(::getpid()) + "-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        for (const char* folder : {"bin", "path1", "path2"})
            fs::create_directories(root_ / folder);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Script(const std::string& relative, const std::string& body, int mode = 0755) {
        const fs::path file = root_ / relative;
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        ::chmod(file.c_str(), mode);
        return file.string();
    }
    std::string Folder(const char* name) const { return (root_ / name).string(); }

    fs::path root_;
};

TEST_F(SuiteProgramTest, FindsBesideFirstThenAlongThePath) {
    Script("bin/both", "exit 0");
    Script("path1/both", "exit 0");
    Script("path2/onpath", "exit 0");
    Script("path1/notexec", "exit 0", 0644);
    Script("path2/notexec", "exit 0");
    fs::create_directories(root_ / "path1/folder");
    Script("path2/folder", "exit 0");
    const std::string path = "::" + Folder("path1") + ":" + Folder("path2") + ":";

    struct Case {
        const char* name;
        const char* expectedFolder;  // null: not found
    };
    const Case cases[] = {
        {"both", "bin"},      {"onpath", "path2"}, {"notexec", "path2"},  {"folder", "path2"},
        {"missing", nullptr}, {"", nullptr},       {"bin/both", nullptr},
    };
    for (const Case& c : cases) {
        const auto found = FindProgramBesideOrOnPath(c.name, Folder("bin"), path);
        if (c.expectedFolder == nullptr) {
            EXPECT_FALSE(found.has_value()) << c.name;
        } else {
            ASSERT_TRUE(found.has_value()) << c.name;
            EXPECT_EQ(fs::path(*found), root_ / c.expectedFolder / c.name) << c.name;
        }
    }
    // Without a folder of its own, the path alone decides.
    EXPECT_EQ(FindProgramBesideOrOnPath("both", "", path).value_or(""),
              (root_ / "path1/both").string());
}

TEST_F(SuiteProgramTest, RunsWithoutAShellAndReportsTheExitStatus) {
    const std::string out = (root_ / "args.txt").string();
    const std::string echo =
        Script("bin/echo-args",
               "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"" + out + "\"; exit 3");
    const SuiteProgramRun run =
        RunProgramAndWait(echo, {"two words", "$HOME", "a;b", "\"quoted\"", ""});
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_FALSE(run.Succeeded());
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[two words]\n[$HOME]\n[a;b]\n[\"quoted\"]\n[]\n");
}

TEST_F(SuiteProgramTest, OutcomesOfARun) {
    struct Case {
        const char* name;
        std::string path;
        bool started;
        int exitStatus;
    };
    const Case cases[] = {
        {"success", Script("bin/ok", "exit 0"), true, 0},
        {"failure", Script("bin/fail", "exit 1"), true, 1},
        {"killed", Script("bin/killed", "kill -9 $$"), true, 128 + 9},
        {"missing", (root_ / "bin/none").string(), false, -1},
        {"not executable", Script("bin/plain", "exit 0", 0644), false, -1},
    };
    for (const Case& c : cases) {
        const SuiteProgramRun run = RunProgramAndWait(c.path, {});
        EXPECT_EQ(run.started, c.started) << c.name;
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.name;
        EXPECT_EQ(run.Succeeded(), c.started && c.exitStatus == 0) << c.name;
    }
}

// While the program waits for a child, what reaches its windows is handled (the child ends
// only once the posted message has arrived), but input is not, and is dropped afterwards.
TEST_F(SuiteProgramTest, WindowsTakeTheirMessagesWhileTheWaitHoldsOffInput) {
    HeadlessBackend backend;
    const WindowHandle window = backend.CreateWindow({64, 64});
    static std::string marker;  // made when the posted message arrives
    static WindowProc passOn = nullptr;
    marker = Folder("marker");
    passOn = SetWindowProc(
        window, [](WindowHandle to, std::uint32_t id, std::uintptr_t w, std::intptr_t l) {
            if (id == WM_USER + 7)
                std::ofstream{marker};
            return CallWindowProc(passOn, to, id, w, l);
        });
    backend.Press(window, VK_SPACE);
    backend.PressLeft(window, {3, 3});
    PostMessage(window, WM_USER + 7);
    const char* waitForMarker =
        "for i in $(seq 1000); do [ -e \"$1\" ] && exit; sleep 0.01; done; exit 1";
    EXPECT_EQ(RunProgramAndWait("/bin/sh", {"-c", waitForMarker, "sh", marker}).exitStatus, 0);
    backend.Pump();
    for (const Message& message : backend.Log(window))
        EXPECT_TRUE(message.id != WM_KEYDOWN && message.id != WM_LBUTTONDOWN) << message.id;
    ASSERT_FALSE(backend.Log(window).empty());
    EXPECT_EQ(backend.Log(window).back().id, WM_USER + 7);
}

TEST(SuiteProgram, RunningProgramFolderHoldsThisTest) {
    const std::string folder = RunningProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::exists(fs::path(folder) / "platform_tests"));
    EXPECT_FALSE(RunSuiteProgram("halvex-no-such-program", {}).started);
}

}  // namespace
}  // namespace platform
