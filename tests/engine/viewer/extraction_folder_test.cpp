// The extraction folders: what a panorama may embed, and the folders of ended processes.

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/container/file_section.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/files.h"
#include "test_panoramas.h"

namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

// The load's error text, "" when it loaded.
std::string LoadFiles(ViewerEngine& engine, const Files& files) {
    const Bytes bytes = MakeContainer({{"BTMP", MakeBitmap(64, 32)}, {"FILE", FileSection(files)}});
    try {
        engine.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 4);
    } catch (const LoadError& error) {
        return error.what();
    }
    return "";
}

// 100,000 tiny entries in 1.8 MB took seconds to open and left 100,000 files.
TEST(ExtractionFolder, EntriesBeyondTheBoundAreRefusedBeforeAnythingIsExtracted) {
    for (const std::size_t count : {kMaxEmbeddedFiles + 1, kMaxEmbeddedFiles}) {
        Files files;
        for (std::size_t i = 0; i < count; ++i)
            files.emplace_back("~" + std::to_string(i), "x");
        const bool refused = count > kMaxEmbeddedFiles;
        ViewerEngine engine;
        EXPECT_EQ(LoadFiles(engine, files),
                  refused ? "Resource Error: Insufficient System Memory" : "");
        EXPECT_EQ(platform::ListFiles(engine.TempExtractDirectory(), "*").size(),
                  refused ? 0 : count);
    }
}

// Only this user's real folders of ended processes go; a running process's folder, another
// user's, and a link with what it points to stay.
TEST(ExtractionFolder, AnExtractionRemovesTheFoldersOfEndedProcessesOnly) {
    std::string pattern = (fs::temp_directory_path() / "halvex-extract-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path temp = pattern;
    const std::string oldTemp = platform::GetTempPath();
    ::setenv("TMPDIR", pattern.c_str(), 1);
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const fs::path stale = temp / ("~HV0000000a." + std::to_string(ended));
    const fs::path live = temp / ("~HV0000000b." + std::to_string(::getppid()));
    const fs::path foreign = temp / ("~HV0000000c." + std::to_string(ended));
    const fs::path link = temp / ("~HV0000000d." + std::to_string(ended));
    for (const fs::path& folder : {stale, live, foreign, temp / "target"}) {
        fs::create_directories(folder / "sub");
        std::ofstream(folder / "sub" / "~f.wav") << "f";
    }
    fs::create_directory_symlink(temp / "target", link);
    const bool otherUser = ::chown(foreign.c_str(), 65534, 65534) == 0;

    ViewerEngine engine;
    EXPECT_EQ(LoadFiles(engine, {{"~a.txt", "a"}}), "");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live / "sub" / "~f.wav"));
    EXPECT_EQ(fs::exists(foreign), otherUser);
    EXPECT_TRUE(fs::exists(link / "sub" / "~f.wav"));
    engine.Close();
    ::setenv("TMPDIR", oldTemp.c_str(), 1);
    fs::remove_all(temp);
}

}  // namespace
