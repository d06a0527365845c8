// Whole renders through the plug-in under the stand-in host, in-process, with the headless
// backend recording the plug-in's messages.

#include <fstream>
#include <numbers>

#include "plugin/scenegrab/controllers.h"
#include "plugin/scenegrab/panorama_saver.h"
#include "plugin/scenegrab/saver_options.h"
#include "tests/plugin/scenegrab/scenegrab_fixture.h"

namespace {

using scenegrab_host::RenderSettings;

bool IsPanoramaFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.read(magic, 4);
    return in && std::string(magic, 4) == "HVXK";
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string Warning(const char* text) {
    return std::string(text) + "\n\n" + scenegrab::kManualLine;
}

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

// Six frames make one panorama that shows the scene as it is around the camera: the seam and
// both controllers together (the ball, which moves, is held where it is on the first frame).
TEST_F(ScenegrabTest, SixFramesMakeThePanoramaOfTheScene) {
    struct Case {
        const char* name;
        scenegrab_host::Vec3 rotation;  // the camera's own heading, pitch, bank
        int first;
    };
    const Case cases[] = {
        {"unrotated", {0, 0, 0}, 1},
        {"turned right", {Radians(90), 0, 0}, 1},
        {"turned and tilted, later start", {Radians(-35), Radians(12), Radians(5)}, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RenderSettings settings =
            SmallRender(Scratch(std::string(c.name) + ".bmp"), c.first, c.first + 5);
        settings.cameraRotation = c.rotation;
        Render(settings);

        CDIB panorama;
        ASSERT_EQ(panorama.Load(settings.outputFile), 1);
        ASSERT_EQ(panorama.GetWidth(), 256);
        ASSERT_EQ(panorama.GetHeight(), 128);
        const CDIB reference =
            ReferencePanorama(settings, scenegrab_host::BallAtFrame(settings, c.first), 256, 128);
        const PictureDifference difference = ComparePictures(panorama, reference);
        EXPECT_LT(difference.meanAbsolute, 8.0);
        EXPECT_LT(difference.farShare, 0.04);
    }
}

TEST_F(ScenegrabTest, PanoramaIsOffByAWholeFaceWithoutTheCameraController) {
    RenderSettings settings = SmallRender(Scratch("still.bmp"), 1, 6);
    settings.cameraController = false;
    Render(settings);
    CDIB panorama;
    ASSERT_EQ(panorama.Load(settings.outputFile), 1);
    const CDIB reference =
        ReferencePanorama(settings, scenegrab_host::BallAtFrame(settings, 1), 256, 128);
    EXPECT_GT(ComparePictures(panorama, reference).farShare, 0.2);
    EXPECT_TRUE(Contains(Messages(), Warning(scenegrab::kCameraControllerMissing)));
}

TEST_F(ScenegrabTest, OutputNamesAndTheViewerFollowTheNumberOfPanoramas) {
    struct Case {
        const char* name;
        const char* output;  // below the scratch folder
        int first, last;
        int suppress;
        std::vector<const char*> written;
        std::vector<const char*> absent;
        int shown;
    };
    const Case cases[] = {
        {"one panorama", "a/pano.bmp", 1, 6, 0, {"a/pano.bmp"}, {"a/pano000.bmp"}, 1},
        {"one, suppressed", "b/pano.bmp", 1, 6, 1, {"b/pano.bmp"}, {}, 0},
        {"two", "c/pano.bmp", 1, 12, 0, {"c/pano000.bmp", "c/pano001.bmp"}, {"c/pano.bmp"}, 0},
        {"no extension", "d/pano", 1, 12, 0, {"d/pano000", "d/pano001"}, {}, 0},
        {"dot in a folder near the end",
         "e.d/v1.2/p",
         1,
         12,
         0,
         {"e.d/v1.2/p000", "e.d/v1.2/p001"},
         {"e.d/v1000.2"},
         0},
        {"eight frames",
         "f/pano.bmp",
         1,
         8,
         0,
         {"f/pano.bmp"},
         {"f/pano000.bmp", "f/pano001.bmp"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::create_directories(std::filesystem::path(Scratch(c.output)).parent_path());
        scenegrab::SaverProfile::Write(c.suppress, 1);
        shownPanoramas_ = 0;
        Render(SmallRender(Scratch(c.output), c.first, c.last, 32));
        for (const char* name : c.written)
            EXPECT_TRUE(std::filesystem::exists(Scratch(name))) << name;
        for (const char* name : c.absent)
            EXPECT_FALSE(std::filesystem::exists(Scratch(name))) << name;
        EXPECT_EQ(shownPanoramas_, c.shown);
    }
}

TEST_F(ScenegrabTest, FrameCountNotAMultipleOfSixWarnsAndDropsTheIncompleteGroup) {
    Render(SmallRender(Scratch("pano.bmp"), 1, 14, 32));
    EXPECT_TRUE(Contains(Messages(), Warning(scenegrab::kNotMultipleOfSix)));
    EXPECT_TRUE(std::filesystem::exists(Scratch("pano000.bmp")));
    EXPECT_TRUE(std::filesystem::exists(Scratch("pano001.bmp")));
    EXPECT_FALSE(std::filesystem::exists(Scratch("pano002.bmp")));
}

TEST_F(ScenegrabTest, WrongFieldOfViewWarnsOncePerRender) {
    struct Case {
        double fov;
        int warnings;
    };
    for (const Case& c : {Case{90.0, 0}, Case{60.0, 1}, Case{90.5, 1}}) {
        SCOPED_TRACE(c.fov);
        backend_.reset();
        backend_ = std::make_unique<platform::HeadlessBackend>();
        RenderSettings settings = SmallRender(Scratch("fov.bmp"), 1, 12, 32);
        settings.horizontalFovDegrees = c.fov;
        Render(settings);
        const auto messages = Messages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(),
                             std::string(scenegrab::kFovWarning) + "\n\n" + scenegrab::kManualLine),
                  c.warnings);
    }
}

TEST_F(ScenegrabTest, CompactorTurnsEveryBitmapIntoAPanoramaFile) {
    UseRealCompactor();
    std::filesystem::create_directories(Scratch("out.d/v2.1"));
    const RenderSettings settings = SmallRender(Scratch("out.d/v2.1/pano.pan"), 1, 12, 32);
    EXPECT_EQ(Render(settings), 0);
    EXPECT_TRUE(IsPanoramaFile(Scratch("out.d/v2.1/pano000.pan")));
    EXPECT_TRUE(IsPanoramaFile(Scratch("out.d/v2.1/pano001.pan")));
    EXPECT_TRUE(Messages().empty());
}

// Writes the host makes out of turn are refused with one message per frame; nothing outside
// the face is touched and the process goes on.
TEST_F(ScenegrabTest, WritesOutsideAFaceAreRefused) {
    scenegrab::SaverData data;
    data.faceWidth = 4;
    data.faceHeight = 2;
    const std::uint8_t red[4] = {1, 2, 3, 4}, green[4] = {5, 6, 7, 8}, blue[4] = {9, 10, 11, 12};

    EXPECT_EQ(scenegrab::SaverWrite(data, red, green, blue), 1);
    EXPECT_EQ(scenegrab::SaverWrite(data, red, green, blue), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Copying to invalid frame."});

    ASSERT_EQ(scenegrab::SaverBegin(data), 0);
    EXPECT_EQ(scenegrab::SaverWrite(data, red, green, blue), 0);
    EXPECT_EQ(scenegrab::SaverWrite(data, blue, green, red), 0);
    EXPECT_EQ(scenegrab::SaverWrite(data, red, green, blue), 1);
    EXPECT_EQ(scenegrab::SaverWrite(data, red, green, blue), 1);
    EXPECT_EQ(Messages().back(), "Invalid buffer request.");
    EXPECT_EQ(Messages().size(), 2u);

    std::uint8_t r = 0, g = 0, b = 0;
    data.faces[0]->GetPixel(3, 0, &r, &g, &b);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{4, 8, 12}));
    data.faces[0]->GetPixel(0, 1, &r, &g, &b);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{9, 5, 1}));
}

}  // namespace
