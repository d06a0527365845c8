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
        errors_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path root_;
    std::string errors_;
};

TEST_F(NoWindowTest, WindowedProgramsSayTheyCannotOpenAWindowAndExitWithOne) {
    // No server listens on display 987 here.
    struct Case {
        const char* program;
        const char* args;
        const char* display;
        const char* line;
    } cases[] = {
        {ROAMER_PROGRAM, "", "", "roamer: cannot open a window: no display\n"},
        {LINKSMITH_PROGRAM, "", "", "linksmith: cannot open a window: no display\n"},
        {MIMEO_PROGRAM, "", "", "mimeo: cannot open a window: no display\n"},
        {CUBESTITCH_PROGRAM, "l.bmp f.bmp", "", "cubestitch: cannot open a window: no display\n"},
        {ROAMER_PROGRAM, "", ":987",
         "roamer: cannot open a window: cannot connect to display :987\n"},
        {COMPACTOR_PROGRAM, "-dialog", ":987",
         "compactor: cannot open a window: cannot connect to display :987\n"},
        {SCENEGRAB_HOST_PROGRAM, "out.pan", ":987",
         "scenegrab-host: cannot open a window: cannot connect to display :987\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.program, c.args, c.display), 1) << c.line;
        EXPECT_EQ(errors_, c.line);
    }
}

TEST_F(NoWindowTest, ARunThatNeedsNoWindowWorksWithoutADisplay) {
    ASSERT_EQ(CDIB(128, 64, 24).Save((root_ / "in.bmp").string()), 1);
    ASSERT_EQ(Run(COMPACTOR_PROGRAM, "in.bmp out.pan", ""), 0) << errors_;
    EXPECT_GT(fs::file_size(root_ / "out.pan"), 0u);
}

}  // namespace
