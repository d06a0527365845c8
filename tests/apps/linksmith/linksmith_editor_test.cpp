// The hotspot editor over a headless window with a real editor engine: opening, adding a
// hotspot, saving in the container's layout, failed saves, closing, and the hotspots on the
// live view.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "apps/linksmith/linksmith_editor.h"
#include "engine/container/init_section.h"
#include "engine/container/section_archive.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/surface.h"
#include "tests/apps/linksmith/headless_frame.h"
#include "tests/engine/viewer/test_panoramas.h"

namespace {

// The "HSPT" bytes of one hotspot.
Bytes OneHotspot(float h1, float p1, float h2, float p2, const std::string& text) {
    Bytes b{1};
    for (float f : {h1, p1, h2, p2}) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, 4);
        platform::AppendLe32(b, bits);
    }
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    return b;
}

HotspotRecord Centred(const std::string& text, double half = 10) {
    HotspotRecord record;
    record.heading1 = half;
    record.heading2 = -half;
    record.pitch1 = half;
    record.pitch2 = -half;
    record.description = text;
    return record;
}

class LinksmithEditorTest : public testing::Test {
  protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        WriteFileBytes(folder_ / name, bytes);
        return (folder_ / name).string();
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRecord& box : backend_.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }
    // The colour of client pixel (x, y) of the frame's picture, as blue, green, red.
    std::array<std::uint8_t, 3> PixelAt(int x, int y) {
        std::array<std::uint8_t, 3> bgr{};
        platform::GetWindowSurface(frame_.Handle())->Read([&](const platform::SurfacePicture& p) {
            const std::size_t row = static_cast<std::size_t>(p.size.height - 1 - y);
            std::memcpy(bgr.data(), p.pixels.data() + row * p.stride + 3 * x, 3);
        });
        return bgr;
    }

    platform::HeadlessBackend backend_;
    HeadlessFrame frame_{backend_};
    LinksmithEditor editor_{frame_};
    TempFolder folder_;
};

TEST_F(LinksmithEditorTest, SavesAnAddedHotspotInTheContainerLayout) {
    const Bytes compactor = CompactorPanorama();
    ASSERT_GT(compactor.size(), 64u);
    const Bytes jpeg(compactor.begin() + 64, compactor.end());
    const std::string path = Write("base.pan", compactor);

    editor_.OpenPanoramaForEditing(path);
    ASSERT_TRUE(editor_.HasPanorama());
    EXPECT_EQ(editor_.State().panoramaPath, path);
    EXPECT_EQ(editor_.State().panoramaFolder, folder_.Path().string());
    EXPECT_FALSE(editor_.IsCommandEnabled(kCmdFileSave));
    ASSERT_EQ(editor_.AddHotspot(Centred("a.pan")), 0);
    EXPECT_TRUE(editor_.IsCommandEnabled(kCmdFileSave));
    editor_.OnFileSave();
    EXPECT_FALSE(editor_.State().modified);

    // INIT went (default view, full sphere): the image's entry moved up, HSPT came behind it.
    const auto n = static_cast<std::uint32_t>(jpeg.size());
    const Bytes expected = RawContainer("HVXK", n + 71, 2, {{"BTMP", 48, n}, {"HSPT", 48 + n, 23}},
                                        Concat({jpeg, OneHotspot(10, 10, -10, -10, "a.pan")}));
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_TRUE(Messages().empty());

    // The viewer finds the hotspot with its link under the centre of its view.
    ViewerEngine viewer;
    viewer.OpenPanorama(path.c_str(), backend_.CreateWindow({512, 256}), 0, 0, 4);
    ASSERT_EQ(viewer.Run(2, 2), kEngineDone);
    std::int16_t kind = kHitNothing;
    EXPECT_EQ(viewer.HitTest(256, 128, &kind), 0);
    EXPECT_EQ(kind, kHitHotspot);
    EXPECT_EQ(viewer.GetHotspot(0)->Snapshot().target, "a.pan");
}

TEST_F(LinksmithEditorTest, OpenAndSaveKeepTheViewTheViewerShows) {
    Bytes longer = InitSection({180, 90, 0, 0, 10, 5, 0, 0});
    longer.push_back(1);
    const Bytes cases[] = {
        InitSection({-90, 90, -30, 30, 5, 6, 0, 70}),  // long form, saved in the short one
        longer,                                        // 17 bytes: ignored by the viewer
        Concat({longer, Bytes(15, 0)}),                // 32 bytes: the same
        InitSection({0, 0, 0, 0, 0, 0, 0, -5}),        // home field of view 10
        InitSection({360, 90, 0, 0, 0, 0, 0, 200}),    // home 170, first view 200
    };
    const auto viewerReading = [](std::span<const std::uint8_t> init) {
        return ReadInitForEngine(init).value_or(EngineInitialView{});
    };
    for (const Bytes& init : cases) {
        const std::string path =
            Write("view.pan", MakeContainer({{"INIT", init}, {"BTMP", MakeBitmap(256, 128)}}));
        editor_.OpenPanoramaForEditing(path);
        ASSERT_EQ(editor_.SavePanorama(path), 1) << init.size();
        editor_.ClosePanorama();
        EXPECT_EQ(viewerReading(SectionArchive(std::filesystem::path(path)).GetSection("INIT")),
                  viewerReading(init))
            << init.size() << " bytes, field of view " << int(std::int8_t(init[14]));
    }
}

TEST_F(LinksmithEditorTest, FailedSaveKeepsTheFileAndTheModifiedMark) {
    const std::string path = Write("base.pan", CompactorPanorama());
    const Bytes original = ReadFileBytes(path);
    editor_.OpenPanoramaForEditing(path);
    ASSERT_EQ(editor_.AddHotspot(Centred("b.pan")), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

    editor_.OnFileSave();
    EXPECT_TRUE(editor_.State().modified);
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(editor_.SavePanorama((folder_ / "no-such-folder" / "x.pan").string()), 0);
    // "Yes" with a save that fails stops the caller, as "Cancel" does; "No" lets it go on.
    backend_.AnswerNextMessageBox(platform::IDYES);
    EXPECT_FALSE(editor_.PromptToSave());
    backend_.AnswerNextMessageBox(platform::IDCANCEL);
    EXPECT_FALSE(editor_.QueryClose());
    EXPECT_TRUE(editor_.HasPanorama());
    backend_.AnswerNextMessageBox(platform::IDNO);
    EXPECT_TRUE(editor_.PromptToSave());
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"File I/O Error.", "File I/O Error.", "Save changes?",
                                        "File I/O Error.", "Save changes?", "Save changes?"}));
}

TEST_F(LinksmithEditorTest, CloseDropsThePanoramaAndItsExtractedFiles) {
    const std::string path =
        Write("files.pan", MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                                          {"HSPT", OneHotspot(1, 2, 3, 4, "~a.txt")},
                                          {"FILE", FileSection({{"~a.txt", "hi"}})}}));
    editor_.OpenPanoramaForEditing(path);
    ASSERT_TRUE(editor_.HasPanorama());
    const std::string folder = editor_.Viewer()->TempExtractDirectory();
    EXPECT_TRUE(platform::FileExists(folder + "~a.txt"));
    EXPECT_EQ(editor_.State().hotspots.size(), 1u);

    editor_.OnFileClose();
    EXPECT_FALSE(editor_.HasPanorama());
    EXPECT_FALSE(platform::DirectoryExists(folder));
    EXPECT_TRUE(editor_.State().hotspots.empty());
    EXPECT_TRUE(editor_.State().panoramaPath.empty());
    EXPECT_FALSE(editor_.IsCommandEnabled(kCmdFileClose));
    EXPECT_FALSE(editor_.AddHotspot(Centred("c.pan")).has_value());

    editor_.OpenPanoramaForEditing((folder_ / "missing.pan").string());
    EXPECT_FALSE(editor_.HasPanorama());
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Halvex Error: File I/O Error: Cannot Open Specified File"});
}

TEST_F(LinksmithEditorTest, HotspotsProjectHitTestAndDrawOnTheLiveView) {
    editor_.OpenPanoramaForEditing(Write("base.pan", CompactorPanorama()));
    ASSERT_TRUE(editor_.AddHotspot(Centred("first")));
    ASSERT_TRUE(editor_.AddHotspot(Centred("second", 5)));
    HotspotRecord seam = Centred("seam");
    seam.heading1 = -170;
    seam.heading2 = 170;
    ASSERT_TRUE(editor_.AddHotspot(seam));

    // Overlapping hotspots under the centre come in turn, the first test scanning from the
    // first; a point outside them hits none.
    EXPECT_EQ(editor_.HitTestHotspots(256, 128), 0);
    EXPECT_EQ(editor_.HitTestHotspots(256, 128), 1);
    EXPECT_EQ(editor_.HitTestHotspots(256, 128), 0);
    EXPECT_EQ(editor_.HitTestHotspots(5, 5), kNoSelection);

    HotspotRecord first = editor_.State().hotspots[0];
    ASSERT_EQ(editor_.ProjectHotspot(first), 1);
    editor_.DrawHotspotRects();
    EXPECT_EQ(editor_.State().hotspots[0].left, first.left);
    const std::array<std::uint8_t, 3> red{0, 0, 255};
    EXPECT_EQ(PixelAt(first.left, 128), red);
    EXPECT_EQ(PixelAt(first.right, 128), red);
    EXPECT_EQ(PixelAt(256, first.top), red);
    EXPECT_NE(PixelAt(first.left + 3, 128), red);

    // Turned round, only the hotspot across the seam is in view.
    ASSERT_EQ(editor_.Viewer()->SetView(180, 0, 0, 60, 2), kEngineDone);
    EXPECT_EQ(editor_.HitTestHotspots(256, 128), 2);
    EXPECT_EQ(editor_.HitTestHotspots(256, 128), 2);
    EXPECT_EQ(editor_.ProjectHotspot(first), 0);
}

TEST_F(LinksmithEditorTest, HostileFilesOpenAndSaveWithoutReadingOutsideThem) {
    Bytes manyHotspots = OneHotspot(1, 2, 3, 4, "x");
    manyHotspots[0] = 255;
    const Bytes bitmap = MakeBitmap(256, 128);
    const std::vector<Bytes> files = {
        MakeContainer({{"BTMP", bitmap}, {"HSPT", manyHotspots}}),
        MakeContainer({{"BTMP", bitmap}, {"HSPT", Bytes{3}}, {"INIT", Bytes{1, 2, 3}}}),
        MakeContainer({{"BTMP", bitmap}, {"NOTE", Bytes{0x0A, 'a'}}, {"FILE", Bytes{'~', 'a'}}}),
        RawContainer("HVXK", 40, 3, {{"BTMP", 32, 0x7FFFFFFF}}, TextBytes("12345678")),
        Concat({bitmap, TextBytes("HVXKHSPT")}),
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = Write("hostile" + std::to_string(i) + ".pan", files[i]);
        editor_.OpenPanoramaForEditing(path);
        if (!editor_.HasPanorama())
            continue;
        EXPECT_LE(editor_.State().hotspots.size(), 1u) << i;
        editor_.SavePanorama(path);
        editor_.ClosePanorama();
    }
}

}  // namespace
