#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"

namespace platform {
namespace {

TEST(Files, PatternsMatchAsTheClassicWildcards) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"~sound.wav", "~*.*", true}, {"~plain", "~*.*", true},   {"sound.wav", "~*.*", false},
        {"a~b", "~*", false},         {"PIC.BMP", "*.bmp", true}, {"pic.bmpx", "*.bmp", false},
        {"ab", "a?", true},           {"a", "a?", false},         {"", "*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.match) << c.name << " vs " << c.pattern;
    }
}

TEST(Files, PathsResolveAgainstTheCurrentDirectory) {
    const std::string saved = GetCurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectory("/tmp"));
    const std::string tmp = GetCurrentDirectory();
    EXPECT_EQ(GetFullPathName("a/../b.pan"), tmp + "/b.pan");
    EXPECT_EQ(GetFullPathName("/x/./y/"), "/x/y");
    EXPECT_EQ(GetFullPathName(""), "");
    ASSERT_TRUE(SetCurrentDirectory(saved));
    EXPECT_FALSE(SetCurrentDirectory("/no/such/folder"));

    EXPECT_EQ(ParentDirectory("/tours/hall.pan"), "/tours");
    EXPECT_EQ(ParentDirectory("/hall.pan"), "/");
    EXPECT_EQ(ParentDirectory("hall.pan"), "");
    EXPECT_EQ(GetTempPath().back(), '/');
}

class FilesInFolder : public testing::Test {
  protected:
    void SetUp() override {
        folder = GetTempPath() + "platform-files-" + std::to_string(CurrentProcessId());
        ASSERT_TRUE(CreateDirectory(folder));
    }
    void TearDown() override {
        for (const std::string& name : ListFiles(folder, "*"))
            DeleteFile(folder + "/" + name);
        RemoveDirectory(folder);
    }
    std::string folder;
};

TEST_F(FilesInFolder, WriteReadListAndRemove) {
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5};
    File out;
    ASSERT_TRUE(out.Open(folder + "/~a.bin", File::Mode::CreateWrite));
    EXPECT_EQ(out.Write(bytes.data(), bytes.size()), bytes.size());
    EXPECT_TRUE(out.Close());
    ASSERT_TRUE(WriteFileSafely(folder + "/keep.txt", bytes));
    EXPECT_FALSE(WriteFileSafely(folder + "/missing/keep.txt", bytes));

    File in;
    ASSERT_TRUE(in.Open(folder + "/~a.bin", File::Mode::Read));
    EXPECT_EQ(in.Size(), 5u);
    std::vector<std::uint8_t> back(10);
    EXPECT_EQ(in.Read(back.data(), back.size()), 5u) << "a short read reports what arrived";
    File kept;
    ASSERT_TRUE(kept.Open(folder + "/keep.txt", File::Mode::Read));
    EXPECT_EQ(kept.Size(), 5u);
    EXPECT_FALSE(File().Open(folder, File::Mode::Read)) << "a folder is not a readable file";

    EXPECT_EQ(ListFiles(folder, "~*.*"), std::vector<std::string>{"~a.bin"});
    EXPECT_EQ(ListFiles(folder, "*").size(), 2u) << "no temporary file is left by a safe write";
    EXPECT_FALSE(RemoveDirectory(folder)) << "a folder with files stays";
    EXPECT_FALSE(CreateDirectory(folder)) << "an existing folder is reported";
    EXPECT_EQ(FileOwner(folder), CurrentUserId());
}

TEST_F(FilesInFolder, BytesLeftCountsFromThePositionOfARegularFile) {
    ASSERT_TRUE(WriteFileSafely(folder + "/five.bin", std::vector<std::uint8_t>(5, 7)));
    const int fd = ::open((folder + "/five.bin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(BytesLeft(fd), 5u);
    ::lseek(fd, 3, SEEK_SET);
    EXPECT_EQ(BytesLeft(fd), 2u);
    ::lseek(fd, 9, SEEK_SET);
    EXPECT_EQ(BytesLeft(fd), 0u) << "past the end";
    ::close(fd);
    EXPECT_EQ(BytesLeft(fd), std::nullopt) << "a closed descriptor";
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    EXPECT_EQ(BytesLeft(ends[0]), std::nullopt) << "a pipe has no end to count to";
    ::close(ends[0]);
    ::close(ends[1]);
}

}  // namespace
}  // namespace platform
