// The sections the editor reads from a file and the container it builds to save, on good,
// partial and hostile files.

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "apps/linksmith/editor_sections.h"
#include "engine/container/file_section.h"
#include "engine/container/hotspot_section.h"
#include "platform/byte_order.h"
#include "tests/engine/container/container_test_support.h"
#include "tests/engine/data_bytes.h"
#include "tests/engine/viewer/test_panoramas.h"

namespace {

EditedSections ReadFrom(const Bytes& file) {
    std::FILE* stream = std::tmpfile();
    std::fwrite(file.data(), 1, file.size(), stream);
    std::rewind(stream);
    EditedSections sections = ReadEditedSections(stream);
    std::fclose(stream);
    return sections;
}

TEST(EditorSections, ReadingIsBoundedByEachSection) {
    const Bytes image = MakeBitmap(64, 32);
    Bytes cutShort = HotspotSection({{10, 5, -10, -5, "first.pan"}});
    cutShort[0] = 3;  // claims three records; the second is cut short
    cutShort.insert(cutShort.end(), {1, 2, 3, 4, 5});
    struct Case {
        const char* what;
        Bytes file;
        std::size_t hotspots;
        std::size_t firstDescription;
        int horizontal, vertical;
        std::size_t note;
        bool keepNote;
    };
    const Case cases[] = {
        {"Compactor's layout", MakeContainer({{"INIT", Bytes(16, 0)}, {"BTMP", image}}), 0, 0, 360,
         180, 0, false},
        {"two hotspots",
         MakeContainer({{"BTMP", image},
                        {"HSPT", HotspotSection({{1, 2, 3, 4, "a.pan"}, {5, 6, 7, 8, ""}})}}),
         2, 5, 360, 180, 0, false},
        {"description longer than the buffer",
         MakeContainer({{"HSPT", HotspotSection({{1, 2, 3, 4, std::string(3000, 'x')}})}}), 1, 2047,
         360, 180, 0, false},
        {"the cut keeps whole UTF-8 characters",
         MakeContainer(
             {{"HSPT", HotspotSection({{1, 2, 3, 4, std::string(2046, 'a') + "\xc3\xa9"}})}}),
         1, 2046, 360, 180, 0, false},
        {"record cut short ends the list", MakeContainer({{"HSPT", cutShort}}), 1, 9, 360, 180, 0,
         false},
        {"long-form INIT", MakeContainer({{"INIT", InitSection({-90, 90, -30, 30, 0, 0, 0, 0})}}),
         0, 0, 180, 60, 0, false},
        {"one-byte note", MakeContainer({{"NOTE", Bytes{0x0A}}}), 0, 0, 360, 180, 1, false},
        {"foreign note is kept", MakeContainer({{"NOTE", TextBytes("XYZ")}}), 0, 0, 360, 180, 0,
         true},
        {"bare bitmap", image, 0, 0, 360, 180, 0, false},
    };
    for (const Case& c : cases) {
        const EditedSections s = ReadFrom(c.file);
        ASSERT_EQ(s.hotspots.size(), c.hotspots) << c.what;
        if (c.hotspots > 0) {
            EXPECT_EQ(s.hotspots[0].description.size(), c.firstDescription) << c.what;
        }
        EXPECT_EQ(s.initialView.horizontalDegrees, c.horizontal) << c.what;
        EXPECT_EQ(s.initialView.verticalDegrees, c.vertical) << c.what;
        EXPECT_EQ(s.note.size(), c.note) << c.what;
        EXPECT_EQ(s.keepFileNote, c.keepNote) << c.what;
    }
}

class SavedArchive : public testing::Test {
  protected:
    bool Build(const Bytes& source, SaveContent content = {}) {
        WriteFileBytes(folder_ / "source", source);
        archive_.Clear();
        error_.clear();
        return BuildSavedArchive((folder_ / "source").string(), content, archive_, error_);
    }
    std::string Sections() {
        std::string list;
        archive_.ListSections(&list);
        std::string names;
        for (std::size_t i = 0; i + 4 < list.size(); i += 5)
            names += list.substr(i, 4) + " ";
        return names;
    }

    TempFolder folder_;
    SectionArchive archive_;
    std::string error_;
};

// Found by fuzzing the save: a file whose INIT turns the initial view but keeps the default
// field of view lost that view when it was opened and saved, as the section was deleted.
TEST_F(SavedArchive, WhatWasReadComesBackAfterASave) {
    const Bytes files[] = {
        MakeContainer({{"BTMP", MakeBitmap(16, 8)},
                       {"INIT", InitSection({0, 0, 0, 0, 24826, 2741, -14992, 0})}}),
        MakeContainer({{"BTMP", MakeBitmap(16, 8)},
                       {"INIT", InitSection({180, 90, 0, 0, 10, 5, 0, 0})},
                       {"HSPT", HotspotSection({{1, 2, 3, 4, "a.pan"}, {-5, 6, 7, 8, ""}})},
                       {"NOTE", Bytes{0x0A, 'x'}}}),
        MakeContainer({{"BTMP", MakeBitmap(16, 8)}, {"INIT", Bytes(16, 0)}}),
    };
    for (const Bytes& file : files) {
        const EditedSections read = ReadFrom(file);
        SaveContent content;
        content.initialView = read.initialView;
        content.hotspots = read.hotspots;
        content.note = read.note;
        ASSERT_TRUE(Build(file, content)) << error_;
        const std::string saved = (folder_ / "saved").string();
        ASSERT_GT(archive_.Save(saved), 0u);
        const EditedSections again = ReadFrom(ReadFileBytes(saved));
        EXPECT_EQ(again.initialView.pan, read.initialView.pan);
        EXPECT_EQ(again.initialView.tilt, read.initialView.tilt);
        EXPECT_EQ(again.initialView.roll, read.initialView.roll);
        EXPECT_EQ(again.initialView.horizontalDegrees, read.initialView.horizontalDegrees);
        EXPECT_EQ(again.initialView.verticalDegrees, read.initialView.verticalDegrees);
        ASSERT_EQ(again.hotspots.size(), read.hotspots.size());
        for (std::size_t i = 0; i < read.hotspots.size(); ++i)
            EXPECT_EQ(again.hotspots[i].description, read.hotspots[i].description);
        EXPECT_EQ(again.note, read.note);
    }
}

TEST_F(SavedArchive, BareImagesBecomeTheImageSectionAndOtherFilesAreRefused) {
    const Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
    ASSERT_TRUE(Build(jpeg));
    EXPECT_EQ(Sections(), "BTMP ");
    const auto btmp = archive_.GetSection("BTMP");
    EXPECT_EQ(Bytes(btmp.begin(), btmp.end()), jpeg);

    for (const Bytes& bad : {TextBytes("GIF89a"), TextBytes("HVXK broken"), Bytes{}}) {
        EXPECT_FALSE(Build(bad));
        EXPECT_EQ(error_, "File I/O Error.");
    }
    archive_.Clear();
    EXPECT_FALSE(BuildSavedArchive((folder_ / "missing").string(), {}, archive_, error_));
    EXPECT_EQ(error_, "File I/O Error.");
}

TEST_F(SavedArchive, EmbedsTheTildeFilesOfTheFolderAndKeepsAForeignNote) {
    std::filesystem::create_directory(folder_ / "extract");
    WriteFileBytes(folder_ / "extract" / "~clip.wav", TextBytes("RIFF"));
    WriteFileBytes(folder_ / "extract" / "~empty.txt", {});
    WriteFileBytes(folder_ / "extract" / "stray.txt", TextBytes("no"));
    const HotspotRecord hotspot{1, 2, 3, 4, 0, 0, 0, 0, "~clip.wav"};
    SaveContent content;
    content.hotspots = std::span(&hotspot, 1);
    content.extractDirectory = (folder_ / "extract").string() + "/";
    content.keepFileNote = true;
    ASSERT_TRUE(
        Build(MakeContainer({{"NOTE", TextBytes("odd")}, {"BTMP", MakeBitmap(8, 8)}}), content));

    EXPECT_EQ(Sections(), "NOTE BTMP HSPT FILE ");
    const auto note = archive_.GetSection("NOTE");
    EXPECT_EQ(Bytes(note.begin(), note.end()), TextBytes("odd"));
    const std::vector<EmbeddedFileEntry> files = ParseFileSection(archive_.GetSection("FILE"));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "~clip.wav");
    EXPECT_EQ(Bytes(files[0].contents.begin(), files[0].contents.end()), TextBytes("RIFF"));
    EXPECT_EQ(files[1].name, "~empty.txt");
    EXPECT_TRUE(files[1].contents.empty());

    // Without embedded files (the one the open extracted since removed), hotspots or details
    // the editor's sections go.
    content = {};
    const std::string extracted[] = {"~a"};
    content.extractedFiles = extracted;
    ASSERT_TRUE(Build(MakeContainer({{"BTMP", MakeBitmap(8, 8)},
                                     {"HSPT", HotspotSection({{1, 2, 3, 4, "x"}})},
                                     {"FILE", FileSection({{"~a", "b"}})},
                                     {"NOTE", Bytes{0x0A}}}),
                      content));
    EXPECT_EQ(Sections(), "BTMP ");
}

// A sparse file's 3 GiB INIT and NOTE without its mark are kept unread, and a 3 GiB file to
// embed is refused unread, with room for 64 MiB more data (not under the sanitizers, whose
// shadow memory lies there). The child's status has one bit for each of the three checks.
TEST_F(SavedArchive, HugeSectionsAndFilesAreNotRead) {
    constexpr std::uint32_t kHuge = 3u << 30;
    Bytes file = MakeContainer({{"INIT", {}}, {"NOTE", {}}});
    for (const std::size_t sizeAt : {24, 40})
        platform::StoreLe32(&file[sizeAt], kHuge);
    WriteFileBytes(folder_ / "a.pan", file);
    std::filesystem::resize_file(folder_ / "a.pan", file.size() + kHuge);
    WriteFileBytes(folder_ / "~huge.avi", {});
    std::filesystem::resize_file(folder_ / "~huge.avi", kHuge);
    SaveContent content;
    content.extractDirectory = folder_.Path().string() + "/";
    const auto run = [&] {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        const rlimit room{DataBytes() + (std::size_t{64} << 20), RLIM_INFINITY};
        setrlimit(RLIMIT_DATA, &room);
#endif
        const std::size_t peak = PeakResidentBytes();
        const EditedSections read =
            ReadEditedSections(std::fopen((folder_ / "a.pan").c_str(), "rb"));
        const bool refused =
            !Build(MakeContainer({{"BTMP", {'B', 'M'}}}), content) && error_ == kNoMemoryText;
        return (read.keepFileInit && read.keepFileNote ? 0 : 1) | (refused ? 0 : 2) |
               (PeakResidentBytes() - peak < (std::size_t{16} << 20) ? 0 : 4);
    };
    EXPECT_EXIT(std::_Exit(run()), testing::ExitedWithCode(0), "");
}

}  // namespace
