// The programs that extract embedded files, ended by SIGTERM, SIGINT or SIGHUP while a panorama
// is open: each closes it, so its extraction folder goes, saves nothing, and ends by that signal.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bitmap/cdib.h"
#include "engine/container/file_section.h"
#include "engine/container/section_archive.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class TerminationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "halvex-signals-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directory(root_ / "tmp");
        fs::create_directory(root_ / "runtime");
        fs::permissions(root_ / "runtime", fs::perms::owner_all);
        ASSERT_EQ(CDIB(64, 32, 24).Save((root_ / "face.bmp").string()), 1);
        const Bytes note{'n', 'o', 't', 'e'};
        const EmbeddedFileEntry files[] = {{"~note.txt", note}};
        SectionArchive archive;
        archive.SetSection("BTMP", ReadBytes(root_ / "face.bmp"));
        archive.SetSection(kFileSectionName, *BuildFileSection(files));
        ASSERT_GT(archive.Save(Panorama()), 0u);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path Panorama() const { return root_ / "embedded.pan"; }

    // Starts `program` on the panorama, drawing off screen, with the test's own temporary and
    // configuration folders.
    pid_t Start(const char* program) const {
        std::vector<std::string> variables;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string variable = *entry;
            const std::string name = variable.substr(0, variable.find('='));
            if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM" &&
                name != "TMPDIR" && name != "XDG_CONFIG_HOME" && name != "XDG_RUNTIME_DIR")
                variables.push_back(variable);
        }
        variables.push_back("QT_QPA_PLATFORM=offscreen");
        variables.push_back("TMPDIR=" + (root_ / "tmp").string());
        variables.push_back("XDG_CONFIG_HOME=" + root_.string());
        variables.push_back("XDG_RUNTIME_DIR=" + (root_ / "runtime").string());
        std::vector<char*> environment;
        for (std::string& variable : variables)
            environment.push_back(variable.data());
        environment.push_back(nullptr);
        std::string name = program;
        std::string path = Panorama().string();
        char* arguments[] = {name.data(), path.data(), nullptr};
        // Qt's remarks about the off-screen platform go to a file of the test's.
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (root_ / "stderr.txt").c_str(),
                                           O_WRONLY | O_CREAT | O_APPEND, 0600);
        pid_t child = -1;
        const int failed =
            ::posix_spawn(&child, program, &actions, nullptr, arguments, environment.data());
        ::posix_spawn_file_actions_destroy(&actions);
        return failed != 0 ? -1 : child;
    }

    // The extraction folders under the test's temporary folder.
    std::vector<fs::path> Folders() const {
        std::vector<fs::path> folders;
        for (const fs::directory_entry& entry : fs::directory_iterator(root_ / "tmp")) {
            if (entry.path().filename().string().starts_with("~HV"))
                folders.push_back(entry.path());
        }
        return folders;
    }

    // Waits until the child has extracted the embedded file; false when it ended first or the
    // wait outlasts a broken build.
    bool WaitForExtraction(pid_t child) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<fs::path> folders = Folders();
            if (folders.size() == 1 && fs::exists(folders[0] / "~note.txt"))
                return true;
            if (::waitpid(child, nullptr, WNOHANG) != 0)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    fs::path root_;
};

TEST_F(TerminationTest, AProgramEndedByASignalClosesItsPanoramaAndSavesNothing) {
    const Bytes saved = ReadBytes(Panorama());
    for (const char* program : {ROAMER_PROGRAM, LINKSMITH_PROGRAM}) {
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            const std::string what = std::string(program) + " " + strsignal(signal);
            const pid_t child = Start(program);
            ASSERT_GT(child, 0) << what;
            if (!WaitForExtraction(child)) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
                FAIL() << what << ": nothing extracted";
            }
            ::kill(child, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child) << what;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << what;
            EXPECT_TRUE(Folders().empty()) << what;
            EXPECT_EQ(ReadBytes(Panorama()), saved) << what;
        }
    }
}

}  // namespace
