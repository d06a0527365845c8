#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "engine/container/find_section.h"
#include "engine/container/section_archive.h"
#include "tests/engine/container/container_test_support.h"
#include "tests/engine/data_bytes.h"

namespace {

Bytes ArchiveBytes(const SectionArchive& archive, const TempFolder& folder) {
    const auto path = folder / "dump.pan";
    std::filesystem::remove(path);
    archive.Save(path);
    return ReadFileBytes(path);
}

class SectionArchiveTest : public ::testing::Test {
  protected:
    TempFolder folder;
};

TEST_F(SectionArchiveTest, SetSectionBuildsTheDocumentedLayout) {
    SectionArchive archive;
    EXPECT_EQ(archive.SetSection("INIT", TextBytes("12345678")), 8u);
    EXPECT_EQ(ArchiveBytes(archive, folder),
              RawContainer("HVXK", 40, 1, {{"INIT", 32, 8}}, TextBytes("12345678")));

    // A second section: the table grows, old data moves 16 bytes on, new data goes last.
    EXPECT_EQ(archive.SetSection("HSPT", TextBytes("abc")), 3u);
    EXPECT_EQ(
        ArchiveBytes(archive, folder),
        RawContainer("HVXK", 59, 2, {{"INIT", 48, 8}, {"HSPT", 56, 3}}, TextBytes("12345678abc")));

    // Same length: overwritten in place, nothing moves.
    EXPECT_EQ(archive.SetSection("INIT", TextBytes("ABCDEFGH")), 8u);
    EXPECT_EQ(
        ArchiveBytes(archive, folder),
        RawContainer("HVXK", 59, 2, {{"INIT", 48, 8}, {"HSPT", 56, 3}}, TextBytes("ABCDEFGHabc")));

    // Another length: removed, then appended behind the rest.
    EXPECT_EQ(archive.SetSection("INIT", TextBytes("xy")), 2u);
    EXPECT_EQ(ArchiveBytes(archive, folder),
              RawContainer("HVXK", 53, 2, {{"HSPT", 48, 3}, {"INIT", 51, 2}}, TextBytes("abcxy")));

    // Delete the first: the other keeps its data.
    EXPECT_EQ(archive.SetSection("HSPT", {}), 0u);
    EXPECT_EQ(ArchiveBytes(archive, folder),
              RawContainer("HVXK", 34, 1, {{"INIT", 32, 2}}, TextBytes("xy")));
}

TEST_F(SectionArchiveTest, DeletingTheLastSectionEmptiesTheArchive) {
    SectionArchive archive;
    archive.SetSection("NOTE", TextBytes("\nabc"));
    EXPECT_EQ(archive.SetSection("NOTE", {}), 0u);
    ContainerHeader header;
    EXPECT_FALSE(archive.GetHeader(header));
    EXPECT_EQ(archive.ListSections(), 0u);
    EXPECT_EQ(archive.SetSection("NOTE", {}), 0u);  // deleting from an empty archive

    archive.SetSection("FILE", TextBytes("z"));
    EXPECT_EQ(ArchiveBytes(archive, folder),
              RawContainer("HVXK", 33, 1, {{"FILE", 32, 1}}, TextBytes("z")));
}

TEST_F(SectionArchiveTest, NamesAreNormalisedAndPackedTagsForward) {
    SectionArchive archive;
    archive.SetSection("ABC", TextBytes("three"));
    archive.SetSection("LONGNAME", TextBytes("four"));
    EXPECT_EQ(
        ArchiveBytes(archive, folder),
        RawContainer("HVXK", 57, 2, {{"ABC ", 48, 5}, {"LONG", 53, 4}}, TextBytes("threefour")));
    EXPECT_EQ(archive.GetSectionSize("ABC"), 5u);
    EXPECT_EQ(archive.GetSectionSize("ABC "), 5u);
    EXPECT_EQ(archive.GetSectionSize(PackSectionTag("ABC ")), 5u);
    EXPECT_EQ(archive.GetSectionSize("LONGER"), 4u);
    EXPECT_EQ(archive.GetSectionSize("abc"), 0u);
    EXPECT_EQ(archive.GetSectionSize(""), 0u);
    EXPECT_EQ(archive.SetSection("", TextBytes("x")), 0u);

    EXPECT_EQ(archive.SetSection(PackSectionTag("BTMP"), TextBytes("img")), 3u);
    Bytes copy(5, 0xEE);
    EXPECT_EQ(archive.CopySection(PackSectionTag("BTMP"), std::span(copy).first(2)), 2u);
    EXPECT_EQ(archive.CopySection("BTMP", std::span(copy).subspan(1)), 3u);
    EXPECT_EQ(copy, (Bytes{'i', 'i', 'm', 'g', 0xEE}));
    EXPECT_EQ(archive.CopySection("NONE", copy), 0u);
    EXPECT_EQ(archive.GetSection(PackSectionTag("BTMP")).size(), 3u);
    archive.SetSection(PackSectionTag("BTMP"), {});
    EXPECT_EQ(archive.GetSectionSize("BTMP"), 0u);
}

TEST_F(SectionArchiveTest, ListSectionsGivesNulSeparatedNames) {
    SectionArchive archive;
    std::string list = "stale";
    EXPECT_EQ(archive.ListSections(&list), 0u);
    EXPECT_TRUE(list.empty());
    archive.SetSection("INIT", Bytes(16, 0));
    archive.SetSection("BTMP", TextBytes("jpeg"));
    EXPECT_EQ(archive.ListSections(&list), 68u);
    EXPECT_EQ(list, std::string("INIT\0BTMP\0\0", 11));
}

TEST_F(SectionArchiveTest, DataMayComeFromTheArchiveItself) {
    SectionArchive archive;
    archive.SetSection("AAAA", TextBytes("first"));
    archive.SetSection("BBBB", TextBytes("second"));
    EXPECT_EQ(archive.SetSection("CCCC", archive.GetSection("AAAA")), 5u);
    EXPECT_EQ(archive.SetSection("AAAA", archive.GetSection("BBBB")), 6u);
    EXPECT_EQ(archive.SetSection("BBBB", archive.GetSection("BBBB")), 6u);
    const auto text = [&](std::string_view name) {
        const auto data = archive.GetSection(name);
        return std::string(data.begin(), data.end());
    };
    EXPECT_EQ(text("AAAA"), "second");
    EXPECT_EQ(text("BBBB"), "second");
    EXPECT_EQ(text("CCCC"), "first");
}

TEST_F(SectionArchiveTest, RemovalKeepsGapsAndOrderOfForeignContainers) {
    // Data out of table order with a gap; removing BBBB (at 48, 8 bytes) lowers AAAA, which
    // lies behind it, by 8 + 16.
    const Bytes foreign = RawContainer("HVXK", 64, 2, {{"AAAA", 60, 4}, {"BBBB", 48, 8}},
                                       TextBytes("bbbbbbbb----aaaa"));
    WriteFileBytes(folder / "in.pan", foreign);
    SectionArchive archive(folder / "in.pan");
    ASSERT_EQ(archive.ListSections(), 64u);
    archive.SetSection("BBBB", {});
    EXPECT_EQ(
        ArchiveBytes(archive, folder),
        RawContainer("HVXK", 40, 1, {{"AAAA", 36, 4}}, Concat({Bytes(4, 0), TextBytes("aaaa")})));
}

TEST_F(SectionArchiveTest, ReadFromAcceptsSoundContainers) {
    struct Case {
        const char* what;
        Bytes file;
        std::uint32_t total;
        std::uint32_t sections;
    };
    const Case cases[] = {
        {"compressor layout",
         RawContainer("HVXK", 67, 2, {{"INIT", 48, 16}, {"BTMP", 64, 3}},
                      Concat({Bytes(16, 0), TextBytes("jpg")})),
         67, 2},
        {"no sections", RawContainer("HVXK", 16, 0, {}, {}), 16, 0},
        {"trailing bytes beyond the total size",
         RawContainer("HVXK", 36, 1, {{"NOTE", 32, 4}}, TextBytes("\nabcEXTRA")), 36, 1},
        {"empty section at the end", RawContainer("HVXK", 32, 1, {{"HSPT", 32, 0}}, {}), 32, 1},
    };
    for (const Case& c : cases) {
        WriteFileBytes(folder / "ok.pan", c.file);
        SectionArchive archive;
        EXPECT_EQ(archive.Load(folder / "ok.pan"), c.total) << c.what;
        ContainerHeader header;
        ASSERT_TRUE(archive.GetHeader(header)) << c.what;
        EXPECT_EQ(header.sectionCount, c.sections) << c.what;
        EXPECT_EQ(ArchiveBytes(archive, folder), Bytes(c.file.begin(), c.file.begin() + c.total))
            << c.what;
    }
}

TEST_F(SectionArchiveTest, ReadFromRefusesHostileContainersAndEndsEmpty) {
    const Bytes data = TextBytes("12345678");
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"empty file", {}},
        {"header cut short", TextBytes("HVXK\x10\x00\x00\x00")},
        {"total size 15", RawContainer("HVXK", 15, 0, {}, {})},
        {"total size 0", RawContainer("HVXK", 0, 0, {}, {})},
        {"wrong magic", RawContainer("HVXJ", 16, 0, {}, {})},
        {"bitmap", Concat({TextBytes("BM"), Bytes(60, 0)})},
        {"total larger than the file", RawContainer("HVXK", 41, 1, {{"INIT", 32, 8}}, data)},
        {"total 0xFFFFFFFF", RawContainer("HVXK", 0xFFFFFFFF, 1, {{"INIT", 32, 8}}, data)},
        {"count larger than the table", RawContainer("HVXK", 40, 2, {{"INIT", 32, 8}}, data)},
        {"count 0xFFFFFFFF", RawContainer("HVXK", 40, 0xFFFFFFFF, {{"INIT", 32, 8}}, data)},
        {"offset inside the header", RawContainer("HVXK", 40, 1, {{"INIT", 4, 8}}, data)},
        {"offset inside the table", RawContainer("HVXK", 40, 1, {{"INIT", 24, 8}}, data)},
        {"offset past the end", RawContainer("HVXK", 40, 1, {{"INIT", 41, 0}}, data)},
        {"size past the end", RawContainer("HVXK", 40, 1, {{"INIT", 32, 9}}, data)},
        {"size 0xFFFFFFFF", RawContainer("HVXK", 40, 1, {{"INIT", 32, 0xFFFFFFFF}}, data)},
        {"offset plus size wraps", RawContainer("HVXK", 40, 1, {{"INIT", 0xFFFFFFFC, 8}}, data)},
        {"overlapping sections",
         RawContainer("HVXK", 56, 2, {{"AAAA", 48, 6}, {"BBBB", 50, 6}}, data)},
        {"same range twice", RawContainer("HVXK", 56, 2, {{"AAAA", 48, 8}, {"BBBB", 48, 8}}, data)},
        {"empty section inside another",
         RawContainer("HVXK", 56, 2, {{"AAAA", 48, 8}, {"BBBB", 52, 0}}, data)},
    };
    for (const Case& c : cases) {
        WriteFileBytes(folder / "bad.pan", c.file);
        SectionArchive archive;
        archive.SetSection("KEEP", TextBytes("old"));
        EXPECT_EQ(archive.Load(folder / "bad.pan"), 0u) << c.what;
        ContainerHeader header;
        EXPECT_FALSE(archive.GetHeader(header)) << c.what;
        EXPECT_TRUE(archive.GetSection("INIT").empty()) << c.what;
    }
    SectionArchive archive;
    archive.SetSection("KEEP", TextBytes("old"));
    EXPECT_EQ(archive.Load(folder / "missing.pan"), 0u);
    EXPECT_EQ(archive.ListSections(), 0u);
}

TEST_F(SectionArchiveTest, DescriptorsReadAndWriteInPlace) {
    SectionArchive source;
    source.SetSection("INIT", Bytes(16, 1));
    source.SetSection("BTMP", TextBytes("pixels"));

    const auto path = folder / "fd.pan";
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(out, 0);
    EXPECT_EQ(::write(out, "lead", 4), 4);
    EXPECT_EQ(source.WriteTo(out), 70u);
    EXPECT_EQ(::write(out, "tail", 4), 4);
    ::close(out);
    EXPECT_EQ(SectionArchive().WriteTo(out), 0u);  // empty archive writes nothing

    const int in = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(in, 0);
    char lead[4];
    ASSERT_EQ(::read(in, lead, 4), 4);
    SectionArchive copy(in);
    char tail[5] = {};
    EXPECT_EQ(::read(in, tail, 4), 4);  // left right behind the container
    ::close(in);
    EXPECT_STREQ(tail, "tail");
    EXPECT_EQ(copy.ListSections(), 70u);
    EXPECT_EQ(copy.GetSectionSize("BTMP"), 6u);

    EXPECT_EQ(copy.ReadFrom(-1), 0u);
    EXPECT_EQ(copy.ListSections(), 0u);
}

TEST_F(SectionArchiveTest, SaveReplacesTheFileOnlyWhenWritingWorked) {
    const auto target = folder / "user.pan";
    WriteFileBytes(target, TextBytes("precious"));
    ::chmod(target.c_str(), 0640);

    EXPECT_EQ(SectionArchive().Save(target), 0u);  // an empty archive leaves the file alone
    EXPECT_EQ(ReadFileBytes(target), TextBytes("precious"));

    SectionArchive archive;
    archive.SetSection("NOTE", TextBytes("\n"));
    EXPECT_EQ(archive.Save(target), 33u);
    EXPECT_EQ(SectionArchive(target).GetSectionSize("NOTE"), 1u);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A folder in the target's place cannot be replaced: nothing changes, nothing is left over.
    std::filesystem::create_directory(folder / "taken");
    EXPECT_EQ(archive.Save(folder / "taken"), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
    EXPECT_EQ(archive.Save(folder / "no-such-folder" / "x.pan"), 0u);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 2u);  // user.pan and taken
}

TEST_F(SectionArchiveTest, SaveThroughALinkReplacesTheLinkedFile) {
    const auto real = folder / "real.pan";
    const auto link = folder / "link.pan";
    WriteFileBytes(real, TextBytes("old"));
    std::filesystem::create_symlink(real, link);
    SectionArchive archive;
    archive.SetSection("INIT", Bytes(16, 0));
    EXPECT_EQ(archive.Save(link), 48u);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real).size(), 48u);
}

TEST(SectionArchiveDump, ListsEverySectionToTheSink) {
    std::string text;
    SetArchiveDumpSink([&text](std::string_view line) { text += line; });
    SectionArchive archive;
    EXPECT_EQ(archive.Dump(), 0);
    EXPECT_NE(text.find("Data Dump:\n==========\n"), std::string::npos);
    EXPECT_NE(text.find("Empty Archive"), std::string::npos);

    text.clear();
    archive.SetSection("INIT", Bytes(16, 0xAB));
    archive.SetSection("BTMP", TextBytes("J"));
    EXPECT_EQ(archive.Dump(), 2);
    EXPECT_NE(text.find("FileSize:\t\t65\n"), std::string::npos);
    EXPECT_NE(text.find("TOCSize:\t\t2\n"), std::string::npos);
    EXPECT_NE(text.find("SecName:\tBTMP\nSecSize:\t\t1\nSecOffset:\t64\n4A\n"), std::string::npos);
    SetArchiveDumpSink({});
    text.clear();
    EXPECT_EQ(archive.Dump(), 2);
    EXPECT_TRUE(text.empty());
}

}  // namespace

namespace {

// A container whose table names "INIT" twice ("old1" first, "old2" second) around "BTMP".
Bytes DuplicateInitContainer() {
    return RawContainer("HVXK", 76, 3, {{"INIT", 64, 4}, {"BTMP", 68, 4}, {"INIT", 72, 4}},
                        TextBytes("old1imgeold2"));
}

// Whatever duplicates a file held, the data last set for a name is what the archive, a saved
// copy and the loader's lookup find, and the saved file names each section once.
TEST_F(SectionArchiveTest, DuplicateNamesInAFileNeverHideWhatWasSet) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        Bytes data;  // empty: delete
        std::string names;
    } cases[] = {
        {"another length", TextBytes("fresh data"), "BTMP\0INIT\0\0"s},
        {"the same length", TextBytes("new!"), "INIT\0BTMP\0\0"s},
        {"deleted", {}, "BTMP\0\0"s},
    };
    for (const auto& c : cases) {
        SectionArchive archive;
        ASSERT_EQ(archive.ReadFrom(std::span<const std::uint8_t>(DuplicateInitContainer())), 76u);
        EXPECT_EQ(Bytes(archive.GetSection("INIT").begin(), archive.GetSection("INIT").end()),
                  TextBytes("old1"))
            << c.name << ": the first entry is the one read";
        archive.SetSection("INIT", c.data);
        const auto got = archive.GetSection("INIT");
        EXPECT_EQ(Bytes(got.begin(), got.end()), c.data) << c.name;

        const Bytes saved = ArchiveBytes(archive, folder);
        const auto found = FindSection("INIT", saved);
        EXPECT_EQ(Bytes(found.begin(), found.end()), c.data) << c.name;
        std::string names;
        archive.ListSections(&names);
        EXPECT_EQ(names, c.names) << c.name;
        const auto image = FindSection("BTMP", saved);
        EXPECT_EQ(Bytes(image.begin(), image.end()), TextBytes("imge")) << c.name;
    }
}

TEST_F(SectionArchiveTest, ReadsFromBytesInMemoryAsFromAFile) {
    const Bytes file = DuplicateInitContainer();
    const struct {
        const char* name;
        Bytes bytes;
        std::uint32_t result;
    } cases[] = {
        {"whole file", file, 76},
        {"file with bytes behind it", Concat({file, TextBytes("tail")}), 76},
        {"one byte short", Bytes(file.begin(), file.end() - 1), 0},
        {"header only", Bytes(file.begin(), file.begin() + 16), 0},
        {"empty", {}, 0},
    };
    for (const auto& c : cases) {
        SectionArchive archive;
        archive.SetSection("KEEP", TextBytes("x"));
        EXPECT_EQ(archive.ReadFrom(std::span<const std::uint8_t>(c.bytes)), c.result) << c.name;
        EXPECT_EQ(archive.GetSectionSize("KEEP"), 0u) << c.name << ": emptied first";
        EXPECT_EQ(archive.GetSectionSize("BTMP"), c.result != 0 ? 4u : 0u) << c.name;
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
constexpr std::uint32_t kImageBytes = 64u << 20;

// Loads `path` with room for its 64 MiB image and 16 MiB more, then sets sections as a save
// does: exit status 0 when every step worked.
[[noreturn]] void EditWithRoom(const std::filesystem::path& path) {
    const rlimit limit{DataBytes() + kImageBytes + (std::size_t{16} << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_DATA, &limit);
    SectionArchive archive(path);
    const bool edited = archive.SetSection("INIT", Bytes(20, 1)) == 20 &&    // another length
                        archive.SetSection("HSPT", Bytes(300, 7)) == 300 &&  // appended
                        archive.SetSection("INIT", {}) == 0 &&
                        archive.GetSectionSize("INIT") == 0 &&
                        archive.GetSectionSize("BTMP") == kImageBytes;
    std::_Exit(edited ? 0 : 1);
}

// A large section is held once while the sections around it change: the container is loaded,
// rid of a name it holds twice and changed in its own block.
TEST_F(SectionArchiveTest, ALargeContainerIsHeldOnceWhileItChanges) {
    const Bytes head =
        RawContainer("HVXK", 96 + kImageBytes, 3,
                     {{"INIT", 64, 16}, {"INIT", 80, 16}, {"BTMP", 96, kImageBytes}}, Bytes(32, 0));
    WriteFileBytes(folder / "large.pan", head);
    std::filesystem::resize_file(folder / "large.pan", head.size() + kImageBytes);
    EXPECT_EXIT(EditWithRoom(folder / "large.pan"), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
