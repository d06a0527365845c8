// The hotspot editor's commands on what a panorama carries besides its hotspots, over a
// headless window with a real editor engine: the initial view and angular size in INIT, the
// embedded files in the extraction folder and FILE, the details in NOTE; each saved and read
// back.

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "apps/linksmith/define_dimensions_dialog.h"
#include "apps/linksmith/editor_sections.h"
#include "apps/linksmith/embedded_file_list.h"
#include "apps/linksmith/linksmith_editor.h"
#include "engine/container/file_section.h"
#include "engine/container/init_section.h"
#include "engine/container/section_archive.h"
#include "platform/files.h"
#include "tests/apps/linksmith/headless_frame.h"
#include "tests/engine/viewer/test_panoramas.h"

namespace {

class PanoramaContentTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(Path("base.pan"), CompactorPanorama());
        editor_.OpenPanoramaForEditing(Path("base.pan"));
        ASSERT_TRUE(editor_.HasPanorama());
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    // Saves to the open file and gives one of its sections (empty when it has none).
    Bytes SavedSection(std::string_view name) {
        editor_.OnFileSave();
        EXPECT_FALSE(editor_.State().modified);
        SectionArchive archive(std::filesystem::path(Path("base.pan")));
        const std::span<const std::uint8_t> section = archive.GetSection(name);
        return Bytes(section.begin(), section.end());
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRecord& box : backend_.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }
    std::string ExtractedFile(const std::string& name) const {
        const Bytes bytes = ReadFileBytes(editor_.Viewer()->TempExtractDirectory() + name);
        return std::string(bytes.begin(), bytes.end());
    }
    // Reopens the saved file in a second editor, as another session would.
    void Reopen() {
        editor_.ClosePanorama();
        editor_.OpenPanoramaForEditing(Path("base.pan"));
        ASSERT_TRUE(editor_.HasPanorama());
    }

    platform::HeadlessBackend backend_;
    HeadlessFrame frame_{backend_};
    LinksmithEditor editor_{frame_};
    TempFolder folder_;
};

TEST_F(PanoramaContentTest, CurrentViewRoundsHalvesAwayFromZeroAndLandsInInit) {
    const struct {
        double pan, tilt, fov;
        InitValues saved;
    } cases[] = {
        {-12.5, 12.5, 60, {0, 0, 0, 0, -13, 13, 0, 60}},
        {12.49, -12.49, 44.5, {0, 0, 0, 0, 12, -12, 0, 45}},
        {179.6, 0.4, 90.2, {0, 0, 0, 0, 180, 0, 0, 90}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(editor_.Viewer()->SetView(c.pan, c.tilt, 0, c.fov, 0), kEngineDone);
        editor_.OnSetInitialViewCurrent();
        EXPECT_TRUE(editor_.State().modified);
        EXPECT_EQ(ReadInitValues(SavedSection(kInitSectionName)), c.saved) << c.pan;
    }
    Reopen();
    EXPECT_EQ(editor_.State().initialView.pan, 180);
    EXPECT_EQ(editor_.State().initialView.fieldOfView, 90);
    // The engine starts the reopened file in that view.
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    editor_.Viewer()->GetView(&pan, &tilt, &roll, &fov);
    EXPECT_NEAR(pan, 180, 1e-9);
    EXPECT_NEAR(fov, 90, 1e-9);

    // The default view of a full sphere leaves INIT out; of a part of one it keeps the size,
    // which the dimensions dialog sets on OK only.
    editor_.OnSetInitialViewDefault();
    EXPECT_TRUE(editor_.State().modified);
    EXPECT_TRUE(SavedSection(kInitSectionName).empty());
    frame_.dimensionsAnswer = std::nullopt;
    editor_.OnDefineDimensions();
    EXPECT_FALSE(editor_.State().modified);
    frame_.dimensionsAnswer = std::pair{120, 60};
    editor_.OnDefineDimensions();
    EXPECT_TRUE(editor_.State().modified);
    EXPECT_EQ(ReadInitValues(SavedSection(kInitSectionName)),
              (InitValues{120, 60, 0, 0, 0, 0, 0, 0}));
    Reopen();
    EXPECT_EQ(editor_.State().initialView.horizontalDegrees, 120);
    EXPECT_EQ(editor_.State().initialView.verticalDegrees, 60);
}

TEST_F(PanoramaContentTest, AnInitNot16BytesLongIsKeptUntilTheViewOrSizeChanges) {
    for (const std::size_t size : {12u, 20u}) {
        const Bytes init(size, 7);
        WriteFileBytes(Path("base.pan"),
                       MakeContainer({{"INIT", init}, {"BTMP", MakeBitmap(256, 128)}}));
        Reopen();
        editor_.AddHotspot(HotspotRecord{20, -20, 10, -10, 0, 0, 0, 0, "a.pan"});
        EXPECT_EQ(SavedSection(kInitSectionName), init) << size;
        frame_.dimensionsAnswer = std::pair{120, 60};
        editor_.OnDefineDimensions();
        EXPECT_EQ(ReadInitValues(SavedSection(kInitSectionName)),
                  (InitValues{120, 60, 0, 0, 0, 0, 0, 0}));
    }
}

TEST(AngularSize, TypedDegreesAreCheckedAgainstTheirRange) {
    const std::string integer = "Please enter an integer.";
    const struct {
        const char* text;
        int maxDegrees;
        std::optional<int> value;
        std::string complaint;
    } cases[] = {
        {"360", 360, 360, ""},
        {" 90 ", 180, 90, ""},
        {"+1", 180, 1, ""},
        {"361", 360, std::nullopt, "Please enter an integer between 1 and 360."},
        {"181", 180, std::nullopt, "Please enter an integer between 1 and 180."},
        {"0", 180, std::nullopt, "Please enter an integer between 1 and 180."},
        {"-90", 180, std::nullopt, "Please enter an integer between 1 and 180."},
        // 65536 + 90 would have wrapped to 90 through a 16-bit store.
        {"65626", 360, std::nullopt, "Please enter an integer between 1 and 360."},
        {"99999999999", 360, std::nullopt, integer},
        {"", 360, std::nullopt, integer},
        {"12a", 360, std::nullopt, integer},
        {"1.5", 360, std::nullopt, integer},
    };
    for (const auto& c : cases) {
        const DegreesEntry entry = ParseDegrees(c.text, c.maxDegrees);
        EXPECT_EQ(entry.value, c.value) << c.text;
        EXPECT_EQ(entry.complaint, c.complaint) << c.text;
    }
}

TEST(EmbeddedFileList, SizesCarryACommaEveryThreeDigits) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {999999, "999,999"},
        {1234567, "1,234,567"},
        {4294967295u, "4,294,967,295"},
    };
    for (const auto& [size, text] : cases)
        EXPECT_EQ(FormatFileSize(size), text) << size;
}

TEST_F(PanoramaContentTest, EmbeddedFilesRoundTripThroughTheFolderAndFile) {
    std::filesystem::create_directories(folder_ / "disk" / "other");
    WriteFileBytes(folder_ / "disk" / "Sound.wav", {'o', 'l', 'd'});
    WriteFileBytes(folder_ / "disk" / "empty.txt", {});
    WriteFileBytes(folder_ / "disk" / "notes.txt", {'n'});
    WriteFileBytes(folder_ / "disk" / "other" / "SOUND.WAV", {'n', 'e', 'w'});
    const std::string disk = Path("disk");

    // Add three files; a name differing only in case, a folder and a missing file add nothing.
    frame_.embeddedFilesScript = [&](EmbeddedFileList& files) {
        for (const char* name : {"/Sound.wav", "/empty.txt", "/notes.txt", "/other/SOUND.WAV",
                                 "/other", "/missing.wav"}) {
            files.AddEmbeddedFileRow(disk + name);
        }
    };
    editor_.OnEmbeddedFiles();
    EXPECT_EQ(Messages(), std::vector<std::string>{kDuplicateEmbeddedNameText});
    EXPECT_TRUE(editor_.State().modified);
    EXPECT_EQ(ExtractedFile("~Sound.wav"), "old");
    EXPECT_TRUE(platform::FileExists(editor_.Viewer()->TempExtractDirectory() + "~empty.txt"));

    // Saved and reopened: the engine extracts them again, the zero-length one too.
    const Bytes section = SavedSection(kFileSectionName);
    const std::vector<EmbeddedFileEntry> entries = ParseFileSection(section);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "~empty.txt");
    EXPECT_TRUE(entries[1].contents.empty());
    Reopen();

    // Unchanged and confirmed: nothing deleted, nothing copied, nothing modified.
    frame_.embeddedFilesScript = [](EmbeddedFileList&) {};
    editor_.OnEmbeddedFiles();
    EXPECT_FALSE(editor_.State().modified);
    const std::vector<EmbeddedFileRow> expected{{"Sound.wav", kEmbeddedSource, 3},
                                                {"empty.txt", kEmbeddedSource, 0},
                                                {"notes.txt", kEmbeddedSource, 1}};
    ASSERT_EQ(frame_.shownEmbeddedRows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(frame_.shownEmbeddedRows[i].name, expected[i].name);
        EXPECT_EQ(frame_.shownEmbeddedRows[i].source, expected[i].source);
        EXPECT_EQ(frame_.shownEmbeddedRows[i].size, expected[i].size);
    }

    // Remove two rows at once and add the sound again from elsewhere: it takes the new
    // content, the removed file goes from the folder at once.
    frame_.embeddedFilesScript = [&](EmbeddedFileList& files) {
        const int rows[] = {2, 0};
        files.RemoveRows(rows);
        EXPECT_TRUE(files.AddEmbeddedFileRow(disk + "/other/SOUND.WAV"));
    };
    editor_.OnEmbeddedFiles();
    EXPECT_TRUE(editor_.State().modified);
    const std::string directory = editor_.Viewer()->TempExtractDirectory();
    EXPECT_EQ(platform::ListFiles(directory, "~*.*"),
              (std::vector<std::string>{"~SOUND.WAV", "~empty.txt"}));
    EXPECT_EQ(ExtractedFile("~SOUND.WAV"), "new");

    // A file gone from disk before OK is reported, and not embedded.
    backend_.ClearMessageBoxes();
    frame_.embeddedFilesScript = [&](EmbeddedFileList& files) {
        EXPECT_TRUE(files.AddEmbeddedFileRow(disk + "/notes.txt"));
        std::filesystem::remove(folder_ / "disk" / "notes.txt");
    };
    editor_.OnEmbeddedFiles();
    EXPECT_EQ(Messages(), std::vector<std::string>{kFileIoErrorText});
    EXPECT_FALSE(platform::FileExists(directory + "~notes.txt"));

    // Cancel changes nothing; removing every file removes FILE on save.
    frame_.embeddedFilesScript = nullptr;
    editor_.OnEmbeddedFiles();
    EXPECT_EQ(platform::ListFiles(directory, "~*.*").size(), 2u);
    frame_.embeddedFilesScript = [](EmbeddedFileList& files) {
        const int rows[] = {0, 1, 7};
        files.RemoveRows(rows);
    };
    editor_.OnEmbeddedFiles();
    EXPECT_TRUE(SavedSection(kFileSectionName).empty());
}

// Names that differ only in case are two rows; removing one removes only it. The save keeps
// every entry the open did not extract: one without the "~", and, as writes beyond 1 KiB fail
// (a full disk), the big one (written in part and removed) and the one behind it.
TEST_F(PanoramaContentTest, EveryEmbeddedEntryIsListedOrKeptAndRemovedAlone) {
    std::vector<std::pair<std::string, std::string>> stored{{"~plain.txt", "lo"},
                                                            {"~Plain.txt", "UP"},
                                                            {"readme.txt", "o"},
                                                            {"~big.wav", std::string(4096, 'b')},
                                                            {"~" + std::string(300, 'x'), "s"}};
    WriteFileBytes(Path("base.pan"),
                   MakeContainer({{"BTMP", MakeBitmap(256, 128)}, {"FILE", FileSection(stored)}}));
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit full{1024, limit.rlim_max};
    const auto oversize = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    Reopen();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oversize);
    WriteFileBytes(folder_ / "PLAIN.TXT", {'n'});
    frame_.embeddedFilesScript = [&](EmbeddedFileList& files) {
        ASSERT_EQ(files.Rows().size(), 2u);
        EXPECT_EQ(files.Rows()[0].name, "Plain.txt");
        EXPECT_EQ(files.Rows()[1].name, "plain.txt");
        const int first[] = {0};
        files.RemoveRows(first);
        EXPECT_FALSE(files.AddEmbeddedFileRow(Path("PLAIN.TXT"))) << "a new name still clashes";
    };
    editor_.OnEmbeddedFiles();
    EXPECT_EQ(Messages(), std::vector<std::string>{kDuplicateEmbeddedNameText});
    stored.erase(stored.begin() + 1);
    EXPECT_EQ(SavedSection(kFileSectionName), FileSection(stored));
}

TEST_F(PanoramaContentTest, DetailsRoundTripThroughNote) {
    PanoramaNote note;
    for (std::size_t i = 0; i < kPanoramaNoteFieldCount; ++i)
        note.fields[i] = std::string(1, static_cast<char>('a' + i));
    frame_.detailsAnswer = note;
    editor_.OnPanoramaDetails();
    EXPECT_TRUE(editor_.State().modified);
    ASSERT_EQ(frame_.shownNotes.size(), 1u);
    EXPECT_TRUE(frame_.shownNotes[0].IsEmpty());
    const Bytes saved = SavedSection(kNoteSectionName);
    ASSERT_EQ(saved.size(), 21u);  // 0x0A, then ten pairs of a letter and its NUL
    EXPECT_EQ(saved[0], 0x0A);
    EXPECT_EQ(saved[1], 'a');
    EXPECT_EQ(saved[20], 0);

    Reopen();
    note.fields[7] = "A long description, with some words in it";
    note.fields[0].clear();
    frame_.detailsAnswer = note;
    editor_.OnPanoramaDetails();
    EXPECT_EQ(frame_.shownNotes.back().fields[0], "a") << "the dialog starts from the file";
    EXPECT_EQ(ParsePanoramaNote(SavedSection(kNoteSectionName)), note);

    // Cancel keeps the details; all fields cleared deletes NOTE, and marks modified every time.
    frame_.detailsAnswer = std::nullopt;
    editor_.OnPanoramaDetails();
    EXPECT_FALSE(editor_.State().modified);
    for (int round = 0; round < 2; ++round) {
        frame_.detailsAnswer = PanoramaNote{};
        editor_.OnPanoramaDetails();
        EXPECT_TRUE(editor_.State().modified);
        EXPECT_TRUE(editor_.State().noteData.empty());
        EXPECT_TRUE(SavedSection(kNoteSectionName).empty());
    }
}

}  // namespace
