// Roamer and Linksmith ended by a termination signal: the extraction folder goes, nothing is saved.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "bitmap/cdib.h"
#include "engine/container/file_section.h"
#include "engine/container/section_archive.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

TEST(Termination, AProgramEndedByASignalClosesItsPanoramaAndSavesNothing) {
    std::string root = (fs::temp_directory_path() / "halvex-signals-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    const fs::path pan = root + "/embedded.pan";
    const std::uint8_t note[] = {'n'};
    const EmbeddedFileEntry files[] = {{"~note.txt", note}};
    SectionArchive archive;
    archive.SetSection("BTMP", CDIB(64, 32, 24).GetBlock());
    archive.SetSection(kFileSectionName, *BuildFileSection(files));
    ASSERT_GT(archive.Save(pan), 0u);
    const auto written = fs::last_write_time(pan);
    const auto folders = [&root] {
        return std::ranges::count_if(fs::directory_iterator(root), [](const auto& entry) {
            return entry.path().filename().string().starts_with("~HV");
        });
    };
    const std::string tmpdir = "TMPDIR=" + root, config = "XDG_CONFIG_HOME=" + root;
    const char *tmp = tmpdir.c_str(), *cfg = config.c_str(), *file = pan.c_str();
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (const char* program : {ROAMER_PROGRAM, LINKSMITH_PROGRAM}) {
        SCOPED_TRACE(program);
        // env lets the signals reach the program even where this test was started ignoring one.
        const char* arguments[] = {"env", "--default-signal", tmp, cfg, program, file, nullptr};
        pid_t child = -1;
        char** argv = const_cast<char**>(arguments);
        ASSERT_EQ(::posix_spawnp(&child, "env", nullptr, nullptr, argv, environ), 0);
        // The folder appears once the panorama is open; the bound only stops a broken build.
        for (int i = 0; i < 3000 && folders() == 0 && ::waitpid(child, nullptr, WNOHANG) == 0; ++i)
            ::usleep(20000);
        EXPECT_EQ(folders(), 1);
        // Sent while the program is stopped, all three arrive before its event loop runs again,
        // as a logout sends SIGHUP right behind SIGTERM: the first ends it, none cuts that short.
        int status = 0;
        ::kill(child, SIGSTOP);
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
        for (const int signal : signals)
            ::kill(child, signal);
        ::kill(child, SIGCONT);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && std::ranges::count(signals, WTERMSIG(status)) == 1);
        EXPECT_EQ(folders(), 0);
        EXPECT_EQ(fs::last_write_time(pan), written);
    }
    fs::remove_all(root);
}

}  // namespace
