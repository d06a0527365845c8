#include "platform/safe_save.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using P = fs::perms;

class SafeSave : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "safe-save-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename());
        return names;
    }
    fs::path folder;
};

std::string Text(const fs::path& path) {
    std::string text;
    std::getline(std::ifstream(path), text);
    return text;
}

SaveWriter Writes(bool succeeds) {
    return [succeeds](int fd) { return WriteFully(fd, "new", 3) == 3 && succeeds; };
}

// Root included: a file or folder without any write bit is refused.
TEST_F(SafeSave, TheTargetIsReplacedWholeWithItsPermissionsOrKept) {
    const P rw = P::owner_read | P::owner_write, readOnly = P::owner_read | P::others_read;
    const struct {
        std::string name;
        P mode;
        bool inReadOnlyFolder, throughLink, writes;
        SaveResult result;
    } cases[] = {
        {std::string(NAME_MAX, 'n'), rw | P::group_read, false, false, true, SaveResult::Saved},
        {"linked.pan", rw | P::others_read, false, true, true, SaveResult::Saved},
        {"failed.pan", rw, false, false, false, SaveResult::WriteFailed},
        {"read-only.pan", readOnly, false, false, true, SaveResult::OpenFailed},
        {"in-read-only-folder.pan", rw, true, false, true, SaveResult::OpenFailed},
    };
    for (const auto& c : cases) {
        const fs::path file = folder / c.name, target = c.throughLink ? folder / "link" : file;
        std::ofstream(file) << "old";
        fs::permissions(file, c.mode);
        if (c.throughLink)
            fs::create_symlink(c.name, target);
        const std::set<std::string> before = Entries();
        fs::permissions(folder, c.inReadOnlyFolder ? readOnly | P::owner_exec : P::owner_all);
        EXPECT_EQ(SaveFileSafely(target, Writes(c.writes)), c.result) << c.name;
        fs::permissions(folder, P::owner_all);
        EXPECT_EQ(Entries(), before) << c.name << ": no temporary file is left";
        EXPECT_EQ(Text(file), c.result == SaveResult::Saved ? "new" : "old") << c.name;
        EXPECT_EQ(fs::status(file).permissions(), c.mode) << c.name;
        EXPECT_EQ(fs::is_symlink(target), c.throughLink) << c.name;
        fs::remove(target);
        fs::remove(file);
    }
}

// A device, a FIFO, a socket or a folder, also behind a link, is refused and kept before
// anything is opened or written: opening a FIFO to write would wait for a reader.
TEST_F(SafeSave, ATargetThatIsNoRegularFileIsRefusedAndKept) {
    const fs::path node = folder / "node", link = folder / "link";
    fs::create_symlink("node", link);
    for (const mode_t kind : {S_IFIFO, S_IFSOCK, S_IFCHR, S_IFBLK, S_IFDIR}) {
        // Device 0:0 has no driver behind it; without the privilege to make one, no case.
        if (kind == S_IFDIR ? ::mkdir(node.c_str(), 0777) : ::mknod(node.c_str(), kind | 0666, 0))
            continue;
        for (const fs::path& target : {node, link}) {
            const SaveWriter unreached = [](int) { return ADD_FAILURE() << "written", true; };
            EXPECT_EQ(SaveFileSafely(target, unreached), SaveResult::OpenFailed) << target << kind;
            EXPECT_EQ(TemporaryPathBeside(target, ".bmp"), "");
        }
        struct stat info {};
        EXPECT_TRUE(::lstat(node.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind) << kind;
        EXPECT_EQ(Entries(), (std::set<std::string>{"link", "node"}));
        fs::remove(node);
    }
}

// A chain of links in a/, relative or absolute, leads to the file that is made in its own folder,
// and every link stays; a loop or a missing folder at the end is refused.
TEST_F(SafeSave, LinksLeadToTheFileThatIsSavedAndStay) {
    const fs::path end = folder / "b/end.pan", link = folder / "a/link.pan";
    const struct {
        std::vector<std::pair<std::string, std::string>> links;  // name in a/, text
        bool saved;
    } cases[] = {
        {{{"link.pan", "../b/end.pan"}}, true},
        {{{"link.pan", "next"}, {"next", end.string()}}, true},
        {{{"link.pan", "../c/end.pan"}}, false},
        {{{"link.pan", "other"}, {"other", "link.pan"}}, false},
    };
    fs::create_directory(end.parent_path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.links.back().second);
        fs::create_directory(link.parent_path());
        for (const auto& [name, text] : c.links)
            fs::create_symlink(text, link.parent_path() / name);
        const fs::path temporary = TemporaryPathBeside(link, ".bmp");
        EXPECT_EQ(SaveFileSafely(link, Writes(true)),
                  c.saved ? SaveResult::Saved : SaveResult::OpenFailed);
        EXPECT_EQ(Text(end), c.saved ? "new" : "");
        EXPECT_EQ(temporary.parent_path().filename(), c.saved ? "b" : "");
        for (const auto& [name, text] : c.links)
            EXPECT_TRUE(fs::is_symlink(link.parent_path() / name));
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(folder), {}),
                  static_cast<std::ptrdiff_t>(2 + c.links.size() + c.saved))
            << "the two folders, the links and the file saved alone";
        fs::remove_all(link.parent_path());
        fs::remove(end);
    }
}

// No temporary file of the target whose process has ended (a save killed half-way, a seam bitmap
// handed to Compactor) outlives the next save; that of a running process stays.
TEST_F(SafeSave, NoTemporaryFileOfAnEndedProcessOutlivesTheNextSave) {
    const fs::path target = folder / "walk.avt";
    const pid_t ended = ::fork();
    if (ended == 0) {
        std::ofstream(TemporaryPathBeside(target, ".bmp")) << "seam bitmap";
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    ASSERT_EQ(Entries().size(), 1u);
    const fs::path running = TemporaryPathBeside(target, ".bmp");
    std::ofstream(running) << "in use";
    ASSERT_EQ(SaveFileSafely(target, Writes(true)), SaveResult::Saved);
    EXPECT_EQ(Entries(), (std::set<std::string>{"walk.avt", running.filename()}));
}

}  // namespace
}  // namespace platform
