// The suite's windowed programs started where no window can be opened: one line on standard
// error and status 1, never Qt's abort; a run that needs no window still does its job.

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bitmap/cdib.h"

namespace {

namespace fs = std::filesystem;

class NoWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "halvex-nowindow-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs `program` with `args` (shell words) in an environment with no window system named
    // but `display` (empty: none); returns the exit status, -1 when a signal ended it.
    int Run(const std::string& program, const std::string& args, const std::string& display) {
        const std::string command =
            "cd '" + root_.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
            (display.empty() ? "" : "DISPLAY=" + display + " ") + "XDG_CONFIG_HOME='" +
            root_.string() + "' '" + program + "' " + args + " 2>stderr.txt";
        const int status = std::system(command.c_str());
        std::ifstream in(root_ / "stderr.txt");
        errors_.assign(std::istreambuf_iterator<char>(in), {});
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path root_;
    std::string errors_;
};

TEST_F(NoWindowTest, ProgramsSayTheyCannotOpenAWindowAndExitWithOneUnlessTheRunNeedsNone) {
    // No server listens on display 987 here.
    const struct {
        const char* program;
        const char* args;
        std::string display;
    } cases[] = {{ROAMER_PROGRAM, "", ""},
                 {LINKSMITH_PROGRAM, "", ""},
                 {MIMEO_PROGRAM, "", ""},
                 {CUBESTITCH_PROGRAM, "l.bmp f.bmp", ""},
                 {COMPACTOR_PROGRAM, "-dialog", ":987"},
                 {SCENEGRAB_HOST_PROGRAM, "out.pan", ":987"}};
    for (const auto& c : cases) {
        const std::string line =
            fs::path(c.program).filename().string() + ": cannot open a window: " +
            (c.display.empty() ? "no display" : "cannot connect to display " + c.display) + "\n";
        EXPECT_EQ(Run(c.program, c.args, c.display), 1) << line;
        EXPECT_EQ(errors_, line);
    }
    ASSERT_EQ(CDIB(128, 64, 24).Save((root_ / "in.bmp").string()), 1);
    ASSERT_EQ(Run(COMPACTOR_PROGRAM, "in.bmp out.pan", ""), 0) << errors_;
    EXPECT_GT(fs::file_size(root_ / "out.pan"), 0u);
}

}  // namespace
