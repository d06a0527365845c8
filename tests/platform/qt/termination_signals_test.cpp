// The programs that extract embedded files, ended by SIGTERM, SIGINT or SIGHUP while a panorama
// is open: each closes it, so its extraction folder goes, saves nothing, and ends by that signal.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bitmap/cdib.h"
#include "engine/container/file_section.h"
#include "engine/container/section_archive.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

TEST(Termination, AProgramEndedByASignalClosesItsPanoramaAndSavesNothing) {
    std::string root = (fs::temp_directory_path() / "halvex-signals-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    const fs::path temp = root + "/tmp", pan = root + "/embedded.pan";
    fs::create_directory(temp);
    const std::vector<std::uint8_t> note{'n'};
    const EmbeddedFileEntry files[] = {{"~note.txt", note}};
    SectionArchive archive;
    archive.SetSection("BTMP", CDIB(64, 32, 24).GetBlock());
    archive.SetSection(kFileSectionName, *BuildFileSection(files));
    ASSERT_GT(archive.Save(pan), 0u);
    const auto written = fs::last_write_time(pan);
    const auto folders = [&temp] {
        return std::count_if(fs::directory_iterator(temp), {}, [](const fs::directory_entry& e) {
            return e.path().filename().string().starts_with("~HV");
        });
    };

    // A logout sends SIGHUP right behind SIGTERM: sent while the program is stopped, both
    // arrive before its event loop runs again (SIGHUP first, so each is the later one once).
    const std::vector<std::vector<int>> sequences = {{SIGINT}, {SIGTERM, SIGHUP}};
    // The signals reach the program even where this test was started with one ignored.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    for (const char* program : {ROAMER_PROGRAM, LINKSMITH_PROGRAM}) {
        for (const std::vector<int>& signals : sequences) {
            const std::string what = program + std::string(" ") + strsignal(signals.back());
            std::string words[] = {"env",
                                   "QT_QPA_PLATFORM=offscreen",
                                   "TMPDIR=" + temp.string(),
                                   "XDG_CONFIG_HOME=" + root,
                                   program,
                                   pan.string()};
            char* arguments[std::size(words) + 1] = {};
            std::transform(std::begin(words), std::end(words), arguments,
                           [](std::string& word) { return word.data(); });
            pid_t child = -1;
            ASSERT_EQ(::posix_spawnp(&child, "env", nullptr, &attributes, arguments, environ), 0);
            // The folder appears once the panorama is open; the bound only stops a broken build.
            const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (folders() == 0 && std::chrono::steady_clock::now() < bound &&
                   ::waitpid(child, nullptr, WNOHANG) == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_EQ(folders(), 1) << what;
            int status = 0;
            ::kill(child, SIGSTOP);
            ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child) << what;
            for (const int signal : signals)
                ::kill(child, signal);
            ::kill(child, SIGCONT);
            ASSERT_EQ(::waitpid(child, &status, 0), child) << what;
            EXPECT_TRUE(WIFSIGNALED(status) &&
                        std::count(signals.begin(), signals.end(), WTERMSIG(status)) == 1)
                << what;
            EXPECT_EQ(folders(), 0) << what;
            EXPECT_EQ(fs::last_write_time(pan), written) << what;
        }
    }
    posix_spawnattr_destroy(&attributes);
    fs::remove_all(root);
}

}  // namespace
