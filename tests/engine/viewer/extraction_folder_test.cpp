// The life of the extraction folders: the bounds on what a panorama may embed, the folders of
// ended processes removed at the next extraction, every panorama of the process closed at once.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/container/file_section.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/extraction_folder.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/files.h"
#include "test_panoramas.h"

namespace {

namespace fs = std::filesystem;

// A private temporary folder made the process's TMPDIR for the test's life.
class PrivateTempFolder {
  public:
    PrivateTempFolder() {
        std::string pattern = (fs::temp_directory_path() / "halvex-extract-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
        if (const char* old = std::getenv("TMPDIR"))
            old_ = old;
        ::setenv("TMPDIR", path_.c_str(), 1);
    }
    ~PrivateTempFolder() {
        if (old_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", old_.c_str(), 1);
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
    std::string old_;
};

Bytes PanoramaWithFiles(const std::vector<std::pair<std::string, std::string>>& files) {
    return MakeContainer({{"BTMP", MakeBitmap(64, 32)}, {"FILE", FileSection(files)}});
}

std::string LoadFailure(ViewerEngine& engine, const Bytes& bytes) {
    try {
        engine.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 4);
    } catch (const LoadError& error) {
        return error.what();
    }
    return "";
}

// The id of a process that has ended (and been reaped).
std::uint32_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return static_cast<std::uint32_t>(child);
}

TEST(ExtractionFolder, EntriesBeyondTheBoundsAreRefusedBeforeAnythingIsExtracted) {
    const PrivateTempFolder temp;
    // 100,000 tiny entries in 1.8 MB: extracting them took seconds and left 100,000 files.
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 100000; ++i)
        many.emplace_back("~" + std::to_string(i) + ".txt", "x");
    const struct {
        std::size_t count;
        const char* error;
    } cases[] = {{100000, "Resource Error: Insufficient System Memory"},
                 {kMaxEmbeddedFiles + 1, "Resource Error: Insufficient System Memory"},
                 {kMaxEmbeddedFiles, ""}};
    for (const auto& c : cases) {
        ViewerEngine engine;
        const Bytes bytes = PanoramaWithFiles({many.begin(), many.begin() + c.count});
        EXPECT_EQ(LoadFailure(engine, bytes), c.error) << c.count;
        EXPECT_EQ(engine.IsLoaded(), *c.error == '\0') << c.count;
        const std::size_t extracted =
            platform::ListFiles(engine.TempExtractDirectory(), "*").size();
        EXPECT_EQ(extracted, *c.error == '\0' ? c.count : 0) << c.count;
    }
}

TEST(ExtractionFolder, NamesOfFoldersAndTheirProcesses) {
    const struct {
        const char* name;
        std::optional<std::uint32_t> pid;
    } cases[] = {
        {"~HV0a1b2c3d.42", 42},  {"~HV00000000.4294967295", 4294967295u},
        {"~HV0A1B2C3D.42", {}},  {"~HV0a1b2c3.42", {}},
        {"~HV0a1b2c3d.", {}},    {"~HV0a1b2c3d.042", {}},
        {"~HV0a1b2c3d.42x", {}}, {"~HV0a1b2c3d.4294967296", {}},
        {"~HV0a1b2c3d-42", {}},  {"~HV0a1b2c3d.+42", {}},
        {".seam-42.bmp", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractionFolderProcess(c.name), c.pid) << c.name;
    const std::string own = ExtractionFolderFor(nullptr);
    EXPECT_EQ(ExtractionFolderProcess(fs::path(own).parent_path().filename().string()),
              platform::CurrentProcessId());
}

// Only this user's real folders of ended processes go; a running process's folder, another
// user's, a link (and what it points to) and a file stay.
TEST(ExtractionFolder, AnExtractionRemovesTheFoldersOfEndedProcessesOnly) {
    const PrivateTempFolder temp;
    const std::string ended = "." + std::to_string(EndedProcess());
    const std::string running = "." + std::to_string(::getppid());
    const fs::path stale = temp / ("~HV0000000a" + ended);
    const fs::path live = temp / ("~HV0000000b" + running);
    const fs::path foreign = temp / ("~HV0000000c" + ended);
    const fs::path link = temp / ("~HV0000000d" + ended);
    const fs::path file = temp / ("~HV0000000e" + ended);
    const fs::path target = temp / "target";
    for (const fs::path& folder : {stale, live, foreign, target}) {
        fs::create_directories(folder / "sub");
        ASSERT_TRUE(platform::WriteFileSafely((folder / "sub" / "~f.wav").string(), Bytes{1}));
    }
    fs::create_directory_symlink(target, link);
    ASSERT_TRUE(platform::WriteFileSafely(file.string(), Bytes{1}));
    const bool otherUser = ::chown(foreign.c_str(), 65534, 65534) == 0;

    ViewerEngine engine;
    ASSERT_EQ(LoadFailure(engine, PanoramaWithFiles({{"~a.txt", "a"}})), "");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live / "sub" / "~f.wav"));
    EXPECT_EQ(fs::exists(foreign), otherUser);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::exists(target / "sub" / "~f.wav"));
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_TRUE(fs::exists(engine.TempExtractDirectory() + "~a.txt"));
}

TEST(ExtractionFolder, ClosingEveryPanoramaRemovesEveryFolder) {
    const PrivateTempFolder temp;
    ViewerEngine first, second, empty;
    ASSERT_EQ(LoadFailure(first, PanoramaWithFiles({{"~a.txt", "a"}})), "");
    ASSERT_EQ(LoadFailure(second, PanoramaWithFiles({{"~b.txt", "b"}})), "");
    ViewerEngine::CloseEveryPanorama();
    for (const ViewerEngine* engine : {&first, &second, &empty}) {
        EXPECT_FALSE(engine->IsLoaded());
        EXPECT_FALSE(fs::exists(engine->TempExtractDirectory()));
    }
}

}  // namespace
