// The extraction folders: what a panorama may embed, and the folders of ended processes.

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/container/file_section.h"
#include "loaded_by.h"

namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

// What a new engine's load of a panorama embedding `files` left, the same from memory and file.
Loaded LoadFiles(const Files& files) {
    const Bytes bytes = MakeContainer({{"BTMP", MakeBitmap(64, 32)}, {"FILE", FileSection(files)}});
    const std::string path = platform::GetTempPath() + "embedding-" +
                             std::to_string(platform::CurrentProcessId()) + ".pan";
    EXPECT_TRUE(platform::WriteFileSafely(path, bytes));
    const auto [loaded, opened] = LoadedBothWays(path, bytes);
    platform::DeleteFile(path);
    EXPECT_TRUE(opened == loaded);
    return loaded;
}

// 100,000 tiny entries in 1.8 MB took seconds to open and left 100,000 files.
TEST(ExtractionFolder, EntriesBeyondTheBoundAreRefusedBeforeAnythingIsExtracted) {
    for (const std::size_t count : {kMaxEmbeddedFiles + 1, kMaxEmbeddedFiles}) {
        Files files;
        for (std::size_t i = 0; i < count; ++i)
            files.emplace_back("~" + std::to_string(i), "x");
        const bool refused = count > kMaxEmbeddedFiles;
        const Loaded loaded = LoadFiles(files);
        EXPECT_EQ(loaded.error, refused ? "Resource Error: Insufficient System Memory" : "");
        EXPECT_EQ(loaded.extracted.size(), refused ? 0 : count);
    }
}

// Only this user's real folders of ended processes go, with what they hold; a running process's
// folder, another user's, and a link to a folder stay.
TEST(ExtractionFolder, AnExtractionRemovesTheFoldersOfEndedProcessesOnly) {
    std::string temp = (fs::temp_directory_path() / "halvex-extract-XXXXXX").string();
    ASSERT_NE(::mkdtemp(temp.data()), nullptr);
    const std::string oldTemp = platform::GetTempPath();
    ::setenv("TMPDIR", temp.c_str(), 1);
    const std::string ended = std::to_string(1 << 22);  // above every process id
    const fs::path stale = temp + "/~HV0000000a." + ended, foreign = temp + "/~HV0000000c." + ended;
    const fs::path live = temp + "/~HV0000000b." + std::to_string(::getppid());
    const fs::path link = temp + "/~HV0000000d." + ended;
    for (const fs::path& folder : {stale, live, foreign}) {
        fs::create_directory(folder);
        std::ofstream(folder / "~f.wav") << "f";
    }
    fs::create_directory_symlink(live, link);
    const bool otherUser = ::chown(foreign.c_str(), 65534, 65534) == 0;

    EXPECT_EQ(LoadFiles({{"~a.txt", "a"}}).error, "");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_EQ(fs::exists(foreign), otherUser);
    EXPECT_TRUE(fs::is_symlink(link) && fs::exists(live / "~f.wav"));
    ::setenv("TMPDIR", oldTemp.c_str(), 1);
    fs::remove_all(temp);
}

}  // namespace
