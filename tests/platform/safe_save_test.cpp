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
    for (const mode_t kind : {S_IFIFO, S_IFSOCK, S_IFCHR, S_IFBLK, S_IFDIR}) {
        // Device 0:0 has no driver behind it; without the privilege to make one, no case.
        if (::mknod(node.c_str(), kind | 0666, 0) != 0 &&
            (kind != S_IFDIR || ::mkdir(node.c_str(), 0777) != 0)) {
            continue;
        }
        fs::create_symlink("node", link);
        for (const fs::path& target : {node, link}) {
            bool written = false;
            EXPECT_EQ(SaveFileSafely(target, [&written](int) { return written = true; }),
                      SaveResult::OpenFailed)
                << target << " " << kind;
            EXPECT_FALSE(written);
            EXPECT_EQ(TemporaryPathBeside(target, ".bmp"), "");
        }
        struct stat info {};
        EXPECT_TRUE(::lstat(node.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind) << kind;
        EXPECT_EQ(Entries(), (std::set<std::string>{"link", "node"}));
        fs::remove(link);
        fs::remove(node);
    }
}

// A chain of links, relative or absolute, leads to the file that is made in its own folder, and
// every link stays; a loop or a missing folder at the end is refused.
TEST_F(SafeSave, LinksLeadToTheFileThatIsSavedAndStay) {
    const fs::path end = folder / "b/end.pan";
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link in `folder`, its text
        bool saved;
    } cases[] = {
        {"dangling", {{"a/link.pan", "../b/end.pan"}}, true},
        {"chain", {{"a/link.pan", "next"}, {"a/next", end.string()}}, true},
        {"missing folder", {{"a/link.pan", "../c/end.pan"}}, false},
        {"loop", {{"a/link.pan", "other"}, {"a/other", "link.pan"}}, false},
    };
    for (const auto& c : cases) {
        fs::create_directories(end.parent_path());
        for (const auto& [link, text] : c.links) {
            fs::create_directories((folder / link).parent_path());
            fs::create_symlink(text, folder / link);
        }
        const fs::path temporary = TemporaryPathBeside(folder / "a/link.pan", ".bmp");
        EXPECT_EQ(SaveFileSafely(folder / "a/link.pan", Writes(true)),
                  c.saved ? SaveResult::Saved : SaveResult::OpenFailed)
            << c.name;
        EXPECT_EQ(Text(end), c.saved ? "new" : "") << c.name;
        EXPECT_EQ(temporary.parent_path().filename(), c.saved ? "b" : "") << c.name;
        for (const auto& link : c.links)
            EXPECT_TRUE(fs::is_symlink(folder / link.first)) << c.name;
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(folder), {}),
                  static_cast<std::ptrdiff_t>(2 + c.links.size() + c.saved))
            << c.name << ": the two folders, the links and the file saved alone";
        fs::remove_all(folder / "a");
        fs::remove_all(folder / "b");
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
