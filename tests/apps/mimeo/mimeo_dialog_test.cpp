// Mimeo's main dialog driven as a user would, with the desktop's dialogs replaced: building
// from frame pictures, playing, saving, reopening, and the saved avatar drawn by the viewer
// engine in the order Mimeo shows its frames.

#include "apps/mimeo/mimeo_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <deque>

#include "engine/avatar_file/avatar_file.h"
#include "engine/viewer/avatar.h"
#include "engine/viewer/avatar_drawing.h"
#include "mimeo_test_pictures.h"
#include "platform/byte_order.h"
#include "platform/message_box.h"

namespace {

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "mimeo_tests";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt cannot be torn down safely from static destructors.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// The red of frame k's square: frames are told apart by it.
std::uint8_t FrameRed(int k) {
    return static_cast<std::uint8_t>(40 * k + 20);
}

// A 24-bit bitmap file (rows padded) of a 16 x 16 frame: pure-blue background, a square of
// red FrameRed(k) whose position also moves with k.
Bytes FrameBitmap(int k, int size = 16) {
    const PackedDib frame = TrueColour(size, size, [k](int x, int y) {
        const bool square = x >= k && x < k + 8 && y >= 4 && y < 12;
        return square ? Bgr{0, 90, FrameRed(k)} : Bgr{255, 0, 0};
    });
    const std::size_t stride = (static_cast<std::size_t>(size) * 3 + 3) / 4 * 4;
    Bytes file(54 + stride * static_cast<std::size_t>(size), 0);
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    platform::StoreLe32(&file[10], 54);
    std::copy(frame.begin(), frame.begin() + 40, file.begin() + 14);
    for (int y = 0; y < size; ++y)
        std::copy_n(frame.begin() + 40 + y * size * 3, size * 3,
                    file.begin() + 54 + static_cast<std::ptrdiff_t>(y * stride));
    return file;
}

class MimeoDialogTest : public testing::Test {
  protected:
    void SetUp() override { TestApplication(); }

    MimeoServices Services() {
        MimeoServices services;
        services.ask = [this](const std::string& text, const std::string& caption,
                              std::uint32_t type) {
            asked.push_back(caption + "|" + text);
            if (answers.empty())
                return platform::DefaultMessageBoxAnswer(type);
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        };
        services.askGrid = [this](AvatarGrid offered) -> std::optional<AvatarGrid> {
            offeredGrids.push_back(offered);
            if (grids.empty())
                return std::nullopt;
            const AvatarGrid grid = grids.front();
            grids.pop_front();
            return grid;
        };
        services.askSavePath = [this]() -> std::optional<std::string> { return savePath; };
        services.help = [](int) { return false; };
        return services;
    }

    // Six frames written in reverse name order: frame k is "f<k>.bmp".
    std::vector<std::string> SixFrames() {
        std::vector<std::string> paths;
        for (int k = 5; k >= 0; --k)
            paths.push_back(folder.Write("f" + std::to_string(k) + ".bmp", FrameBitmap(k)));
        return paths;
    }

    TempFolder folder;
    std::vector<std::string> asked;
    std::deque<int> answers;
    std::deque<AvatarGrid> grids;
    std::vector<AvatarGrid> offeredGrids;
    std::optional<std::string> savePath;
};

// The red of the shown frame's square, found in its middle row.
int ShownRed(const CMimeoDlg& dialog) {
    const QImage frame = dialog.ShownFrame();
    for (int x = 0; x < frame.width(); ++x) {
        const QRgb pixel = frame.pixel(x, frame.height() / 2);
        if (qGreen(pixel) > 40 && qBlue(pixel) < 60)
            return qRed(pixel);
    }
    return -1;
}

TEST_F(MimeoDialogTest, BuildsAGridFromFramePicturesAndPlaysIt) {
    CMimeoDlg dialog(Services());
    grids = {{2, 2, false}, {3, 2, false}};
    dialog.BuildAvatar(SixFrames());
    ASSERT_EQ(offeredGrids.size(), 2u);
    EXPECT_EQ(offeredGrids[0].columns, 1);
    EXPECT_EQ(offeredGrids[0].rows, 6);
    EXPECT_EQ(offeredGrids[1].columns, 1) << "offered 1 x 6 again";
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0],
              "MIMEO|Columns X Rows Must Equal the Number of Files Opened.\nYou have Opened 6 "
              "File(s).");

    const PackedDib& image = dialog.Image();
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(HeaderOf(image).biBitCount, 8);
    EXPECT_EQ(HeaderOf(image).biWidth, 48);
    EXPECT_EQ(HeaderOf(image).biXPelsPerMeter, 3);
    EXPECT_EQ(HeaderOf(image).biYPelsPerMeter, 2);
    EXPECT_TRUE(dialog.IsModified());
    EXPECT_EQ(dialog.DocumentName(), "");
    EXPECT_EQ(dialog.StatusText(), "Untitled.avt");
    EXPECT_FALSE(dialog.IsCommandEnabled(kCmdSave));
    EXPECT_TRUE(dialog.IsCommandEnabled(kCmdSaveAs));
    EXPECT_TRUE(dialog.IsCommandEnabled(kCmdTransparencyEditor));
    EXPECT_EQ(image[43], 255) << "the blue background is transparent";

    // Frame k shows at column k mod 3, row k div 3, rows counted from the bottom.
    for (int k = 0; k < 6; ++k) {
        dialog.OnTrackBar(false, k % 3);
        dialog.OnTrackBar(true, k / 3);
        EXPECT_NEAR(ShownRed(dialog), FrameRed(k), 19) << k;  // frames lie 40 apart
    }
    dialog.OnReset();

    struct Press {
        char button;
        int period;
        int column;
        bool running;
    };
    const Press presses[] = {{'>', 400, 1, true}, {'>', 200, 2, true}, {'>', 100, 0, true},
                             {'<', 200, 1, true}, {'<', 400, 2, true}, {'<', 0, 2, false},
                             {'<', 400, 1, true}, {'s', 0, 1, false}};
    for (const Press& p : presses) {
        if (p.button == '>')
            dialog.OnPlayForward(false);
        else if (p.button == '<')
            dialog.OnPlayBackward(false);
        else
            dialog.OnPlayStop(false);
        EXPECT_EQ(dialog.Axis(false).PeriodMs(), p.period);
        EXPECT_EQ(dialog.Column(), p.column);
        EXPECT_EQ(dialog.IsTimerRunning(false), p.running);
    }
    dialog.OnPlayForward(true);
    dialog.OnPlayTimer(true);
    EXPECT_EQ(dialog.Row(), 0) << "two rows wrap";
}

TEST_F(MimeoDialogTest, SavingAsksForANameAndFailuresKeepTheChanges) {
    CMimeoDlg dialog(Services());
    grids = {{3, 2, false}};
    dialog.BuildAvatar(SixFrames());
    ASSERT_TRUE(dialog.IsModified());

    answers = {platform::IDCANCEL};
    EXPECT_FALSE(dialog.OnClose());
    EXPECT_FALSE(dialog.Image().empty());
    EXPECT_EQ(asked.back(), "MIMEO|Save changes to Untitled.avt?");

    savePath = folder.Path("no-such-folder/walk.avt");
    answers = {platform::IDYES};
    EXPECT_FALSE(dialog.OnClose()) << "a failed save stops the close";
    EXPECT_EQ(asked.back(), "MIMEO|Unable to Save File: " + *savePath);
    EXPECT_TRUE(dialog.IsModified());
    EXPECT_FALSE(dialog.Image().empty());

    savePath = folder.Path("walk.avt");
    ASSERT_TRUE(dialog.OnSaveAs());
    EXPECT_FALSE(dialog.IsModified());
    EXPECT_EQ(dialog.DocumentName(), *savePath);
    EXPECT_TRUE(dialog.IsCommandEnabled(kCmdSave));
    const PackedDib built = dialog.Image();

    // Reopened: no grid dialog, not modified, named after the file.
    offeredGrids.clear();
    dialog.BuildAvatar({*savePath});
    EXPECT_TRUE(offeredGrids.empty());
    EXPECT_FALSE(dialog.IsModified());
    EXPECT_EQ(dialog.DocumentName(), *savePath);
    EXPECT_EQ(dialog.Image(), built);
}

TEST_F(MimeoDialogTest, RefusedInputEndsTheBuildWithItsMessage) {
    CMimeoDlg dialog(Services());
    // A name that is not UTF-8 (Windows-1252) is shown with its odd byte readable.
    for (const auto& [name, shown] :
         {std::pair{"bad.avt", "bad.avt"}, {"bad\xe9.avt", "bad\\xe9.avt"}}) {
        dialog.BuildAvatar({folder.Write(name, {'B', 'M', 1, 2, 3})});
        EXPECT_TRUE(dialog.Image().empty());
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back(), "|Invalid or Corrupt File: " + folder.Path(shown));
        EXPECT_EQ(dialog.StatusText(), "No file(s) loaded");
    }

    // A 24-bit avatar whose grid is 0 x 0 asks for one until it fits the picture.
    PackedDib deep = TrueColour(8, 4, [](int x, int) {
        return Bgr{0, 0, static_cast<std::uint8_t>(x)};
    });
    platform::BitmapInfoHeader header = HeaderOf(deep);
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    SetHeader(deep, header);
    const std::string gridless = folder.Path("deep.avt");
    ASSERT_TRUE(WriteAvatarFile(gridless, deep));
    grids = {{9, 1, true}, {4, 2, true}};
    asked.clear();
    dialog.BuildAvatar({gridless});
    ASSERT_EQ(offeredGrids.size(), 2u) << "9 columns do not fit 8 pixels";
    ASSERT_EQ(asked.size(), 1u) << "the first offer needs no reason, the second one does";
    EXPECT_EQ(asked[0], "MIMEO|Columns X Rows Must Fit the Picture.\nThe Picture is 8 X 4 Pixels.");
    EXPECT_EQ(HeaderOf(dialog.Image()).biXPelsPerMeter, 4);
    EXPECT_EQ(HeaderOf(dialog.Image()).biBitCount, 24) << "Disable transparency";
    EXPECT_TRUE(dialog.IsModified());
    EXPECT_FALSE(dialog.IsCommandEnabled(kCmdTransparencyEditor));
    answers = {platform::IDNO};
    ASSERT_TRUE(dialog.OnClose());

    std::vector<std::string> many(1024, folder.Path("f.bmp"));
    asked.clear();
    dialog.BuildAvatar(many);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("You have Opened 1024 File(s)."), std::string::npos);
    EXPECT_TRUE(offeredGrids.size() == 2u) << "no grid dialog";
}

// Draws cell (column, row) of `avatar` 1:1 into a frame of `format` over `under`.
Bytes EngineCell(AvatarSlot& avatar, int column, int row, int width, int height, int format,
                 std::uint8_t under) {
    avatar.frameColumn = column;
    avatar.frameRow = row;
    Bytes frame(static_cast<std::size_t>(width * height * (format == 8 ? 1 : 3)), under);
    BlitAvatarCell(avatar, {0, 0, width, height}, false,
                   {frame.data(), width, height, static_cast<PixelFormatCode>(format)});
    return frame;
}

TEST_F(MimeoDialogTest, TheEngineDrawsASavedAvatarInMimeosFrameOrder) {
    CMimeoDlg dialog(Services());
    grids = {{3, 2, false}};
    dialog.BuildAvatar(SixFrames());
    savePath = folder.Path("order.avt");
    ASSERT_TRUE(dialog.OnSaveAs());

    const double at[3] = {0, 10, 0};
    const double size[3] = {2, 0, 2};
    Avatar loader;
    ASSERT_EQ(loader.Load(savePath->c_str(), at, size, 1), 0);
    AvatarSlot avatar = loader.Snapshot();
    ASSERT_EQ(avatar.framesAcross, 3);
    ASSERT_EQ(avatar.framesDown, 2);
    const PackedDib saved = avatar.image;
    const std::uint8_t* colours = saved.data() + 40;

    // Over a 24-bit panorama: the cell's opaque pixels are the shown frame's.
    for (int k = 0; k < 6; ++k) {
        dialog.OnTrackBar(false, k % 3);
        dialog.OnTrackBar(true, k / 3);
        const QImage shown = dialog.ShownFrame();
        const Bytes frame = EngineCell(avatar, k % 3, k / 3, 16, 16, 24, 0x11);
        int compared = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const std::uint8_t* p = &frame[static_cast<std::size_t>((y * 16 + x) * 3)];
                if (p[0] == 0x11 && p[1] == 0x11 && p[2] == 0x11)
                    continue;  // transparent
                const QRgb want = shown.pixel(x, 15 - y);
                EXPECT_EQ(p[2], qRed(want)) << k << ": " << x << "," << y;
                ++compared;
            }
        }
        EXPECT_EQ(compared, 64) << k << ": the square alone is opaque";
    }

    // Over an 8-bit panorama whose colours are the avatar's own: the indices drawn name the
    // shown colours, and the background stays the panorama's.
    Bytes panorama(colours, colours + 1024);
    AvatarSlot matched = avatar;
    MatchAvatarPalette(matched.image, panorama.data());
    for (int k = 0; k < 6; ++k) {
        dialog.OnTrackBar(false, k % 3);
        dialog.OnTrackBar(true, k / 3);
        const QImage shown = dialog.ShownFrame();
        const Bytes frame = EngineCell(matched, k % 3, k / 3, 16, 16, 8, 0);
        int drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const std::uint8_t index = frame[static_cast<std::size_t>(y * 16 + x)];
                if (index == 0)
                    continue;
                EXPECT_EQ(panorama[4 * index + 2], qRed(shown.pixel(x, 15 - y))) << k;
                ++drawn;
            }
        }
        EXPECT_EQ(drawn, 64) << k;
    }
}

}  // namespace
