#include "platform/program_launcher.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(SplitCommandLine, WordsAndQuotedWords) {
    struct Case {
        const char* line;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"edit.exe notes.txt", {"edit.exe", "notes.txt"}},
        {"  spaced\tout   words ", {"spaced", "out", "words"}},
        {"\"my tools/edit\" \"a b.txt\" c", {"my tools/edit", "a b.txt", "c"}},
        {"say \"\"", {"say", ""}},
        {"a;rm -rf x", {"a;rm", "-rf", "x"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

class LauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousDir_ = fs::current_path();
        // A folder of its own per run, so parallel and repeated runs never share one.
        std::string pattern = (fs::temp_directory_path() / "halvex-launch-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::current_path(dir_);
        recorder_ = std::make_shared<RecordingLauncher>();
        previousLauncher_ = InstallProgramLauncher(recorder_);
    }
    void TearDown() override {
        InstallProgramLauncher(previousLauncher_);
        fs::current_path(previousDir_);
        fs::remove_all(dir_);
    }
    void MakeScript(const std::string& name, const std::string& body) {
        std::ofstream(dir_ / name) << "#!/bin/sh\n" << body << "\n";
        ::chmod((dir_ / name).c_str(), 0755);
    }
    fs::path previousDir_;
    fs::path dir_;
    std::shared_ptr<RecordingLauncher> recorder_;
    std::shared_ptr<ProgramLauncher> previousLauncher_;
};

TEST_F(LauncherTest, ProgramsAreFoundWithOrWithoutTheirExeSuffix) {
    MakeScript("edit", "exit 0");
    MakeScript("Tool.EXE", "exit 0");
    std::ofstream(dir_ / "plain.exe") << "not executable";

    EXPECT_GT(WinExec("edit.exe notes.txt", kShowMaximized), 31);
    EXPECT_GT(WinExec("Tool.EXE", kShowNormal), 31);
    EXPECT_EQ(WinExec("missing.exe a", kShowNormal), 2);
    EXPECT_EQ(WinExec("plain.exe", kShowNormal), 2);
    EXPECT_EQ(WinExec("   ", kShowNormal), 2);
    EXPECT_GT(WinExec("sh -c true", kShowMinimized), 31);

    const std::vector<std::string> expected = {
        "run " + (dir_ / "edit").string() + " notes.txt show 3",
        "run " + (dir_ / "Tool.EXE").string() + " show 1",
        "run /bin/sh -c true show 2",
    };
    std::vector<std::string> log = recorder_->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], expected[0]);
    EXPECT_EQ(log[1], expected[1]);
    // sh may live in /usr/bin on a merged file system.
    EXPECT_NE(log[2].find("/sh -c true show 2"), std::string::npos) << log[2];

    recorder_->launchResult = false;
    EXPECT_EQ(WinExec("edit.exe", kShowNormal), 11);
}

TEST_F(LauncherTest, DocumentsNeedAnExistingFileAndAnApplication) {
    std::ofstream(dir_ / "notes.txt") << "hello";
    std::ofstream(dir_ / "-dash.txt") << "hello";
    EXPECT_GT(ShellExecute("open", "notes.txt", dir_.string(), kShowNormal), 32);
    EXPECT_GT(ShellExecute("open", "-dash.txt", "", kShowMaximized), 32);
    EXPECT_LE(ShellExecute("open", "absent.txt", dir_.string(), kShowNormal), 32);
    EXPECT_LE(ShellExecute("print", "notes.txt", dir_.string(), kShowNormal), 32);
    recorder_->openResult = false;
    EXPECT_LE(ShellExecute("open", "notes.txt", dir_.string(), kShowNormal), 32);

    const std::vector<std::string> expected = {
        "open " + (dir_ / "notes.txt").string() + " show 1",
        "open ./-dash.txt show 3",
        "open " + (dir_ / "notes.txt").string() + " show 1",
    };
    EXPECT_EQ(recorder_->Log(), expected);
}

// The real launcher runs the program itself, with its arguments as given and no shell between:
// the ";" and "$HOME" reach the program untouched.
TEST_F(LauncherTest, RealLauncherPassesArgumentsVerbatim) {
    InstallProgramLauncher(std::make_shared<SpawningLauncher>());
    MakeScript("writer", "printf '%s|' \"$@\" > \"$0.out.tmp\" && mv \"$0.out.tmp\" \"$0.out\"");
    ASSERT_GT(WinExec("writer.exe a;b $HOME \"c d\"", kShowNormal), 31);
    fs::path out = dir_ / "writer.out";
    for (int i = 0; i < 3000 && !fs::exists(out); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "a;b|$HOME|c d|");
}

}  // namespace
}  // namespace platform
