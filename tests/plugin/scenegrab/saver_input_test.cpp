// What a host hands the saver at the edges: frame numbers and frame sizes at the ends of int,
// pictures at the picture ceiling, a render without an output name. Each case was found by
// fuzzing the saver's callbacks; Compactor is a stand-in that counts its runs.

#include <climits>
#include <filesystem>

#include "platform/picture_limits.h"
#include "plugin/scenegrab/compactor_handoff.h"
#include "plugin/scenegrab/controllers.h"
#include "plugin/scenegrab/module_state.h"
#include "plugin/scenegrab/panorama_saver.h"
#include "plugin/scenegrab/saver_options.h"
#include "tests/plugin/scenegrab/scenegrab_fixture.h"

namespace {

using scenegrab::SaverData;

SceneInfo g_scene{};

void* SceneOnly(const char* name, int /*useMode*/) {
    return std::string_view(name) == kSceneInfoService ? &g_scene : nullptr;
}

class SaverInput : public ScenegrabTest {
  protected:
    void SetUp() override {
        ScenegrabTest::SetUp();
        scenegrab::Module() = {};
        scenegrab::Module().global = SceneOnly;
        scenegrab::Module().cameraControllerActive = true;
        g_scene = SceneInfo{};
        // Puts the bitmap at the target, as Compactor's 24-bit output does.
        previousRunner_ = scenegrab::SetCompactorRunner([this](const std::vector<std::string>& args) {
            ++compactorRuns_;
            std::filesystem::copy_file(args.at(0), args.at(1));
            return platform::SuiteProgramRun{true, 0};
        });
    }
    void TearDown() override {
        scenegrab::SetCompactorRunner(previousRunner_);
        scenegrab::Module() = {};
        ScenegrabTest::TearDown();
    }

    // Begins six faces of `data` and writes every line of each; true when each was taken.
    static bool SixFaces(SaverData& data) {
        const std::vector<std::uint8_t> line(static_cast<std::size_t>(data.faceWidth), 128);
        bool taken = true;
        for (int face = 0; face < 6; ++face) {
            taken = scenegrab::SaverBegin(data) == 0 && taken;
            for (int row = 0; row < data.faceHeight; ++row)
                taken = scenegrab::SaverWrite(data, line.data(), line.data(), line.data()) == 0 &&
                        taken;
        }
        return taken;
    }

    int compactorRuns_ = 0;

  private:
    scenegrab::CompactorRunner previousRunner_;
};

TEST_F(SaverInput, FrameRangeAtTheEndsOfIntIsCountedWithoutOverflow) {
    struct Case {
        int first, last;
        bool warned;    // the count is not a multiple of six
        bool sequence;  // more than one panorama
    };
    const Case cases[] = {
        {INT_MIN, INT_MAX, true, true},   // 2^32 frames
        {INT_MAX, INT_MIN, true, false},  // -2^32 + 2 frames
        {INT_MIN, INT_MIN + 5, false, false},
        {INT_MAX - 11, INT_MAX, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
        backend_->ClearMessageBoxes();
        g_scene.firstFrame = c.first;
        g_scene.lastFrame = c.last;
        SaverData data;
        EXPECT_EQ(scenegrab::SaverOpen(data, 32, 32, Scratch("pano.bmp").c_str()), nullptr);
        EXPECT_EQ(!Messages().empty(), c.warned);
        EXPECT_EQ(data.sequence, c.sequence);
    }
}

TEST_F(SaverInput, PanoramaSizeOfHugeOrNegativeFacesStaysWithinInt) {
    constexpr int kLargest = INT_MAX / 16 * 16;
    struct Case {
        int faceWidth, faceHeight;
        bool aspect;
        int width, height;
    };
    const Case cases[] = {
        {INT_MAX, 1, false, kLargest, 16},
        {1, INT_MAX, false, 16, kLargest},
        {INT_MAX, INT_MAX, true, kLargest, kLargest},
        {1 << 29, 1, true, kLargest, 1 << 30},
        {-40, -40, false, 0, 0},
        {INT_MIN, 5, true, 32, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.faceWidth) + "x" + std::to_string(c.faceHeight));
        const scenegrab::PanoramaSize size =
            scenegrab::PanoramaSizeForFaces(c.faceWidth, c.faceHeight, c.aspect);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
    }
}

// The faces and the panorama are sized by the host; the suite's picture ceiling holds for
// them as for a decoded picture: exactly at it they are made, one pixel over they are refused.
TEST_F(SaverInput, FacesAndPanoramaStopAtThePictureCeiling) {
    g_scene.firstFrame = 1;
    g_scene.lastFrame = 6;
    scenegrab::SaverProfile::Write(1,
                                   1);  // suppressed; the 2:1 panorama of 32 x 32 faces is 128 x 64
    struct Case {
        const char* name;
        std::uint64_t pixels;
        int faceWidth, faceHeight;
        bool facesTaken;
        bool panoramaMade;
    };
    const Case cases[] = {
        {"faces at the ceiling", 32 * 32, 32, 32, true, false},
        {"faces one pixel over", 32 * 32 - 1, 32, 32, false, false},
        {"panorama at the ceiling", 128 * 64, 32, 32, true, true},
        {"panorama one pixel over", 128 * 64 - 1, 32, 32, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        backend_->ClearMessageBoxes();
        compactorRuns_ = 0;
        const std::string output = Scratch(std::string(c.name) + ".bmp");
        platform::ScopedPictureCap cap({c.pixels, platform::kMaxPictureBytes});
        SaverData data;
        ASSERT_EQ(scenegrab::SaverOpen(data, c.faceWidth, c.faceHeight, output.c_str()), nullptr);
        EXPECT_EQ(SixFaces(data), c.facesTaken);
        EXPECT_EQ(scenegrab::SaverClose(data), c.panoramaMade ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(output), c.panoramaMade);
        EXPECT_EQ(compactorRuns_, c.panoramaMade ? 1 : 0);
        // Each refused face and a refused panorama say so; nothing else is shown.
        const std::vector<std::string> messages = Messages();
        EXPECT_EQ(messages.size(), !c.facesTaken ? 6u : c.panoramaMade ? 0u : 1u);
        for (const std::string& text : messages)
            EXPECT_EQ(text, "Unable to allocate memory.");
    }
}

// A host that gives no output name (null or empty) gets no file anywhere: in a sequence the
// numbered name alone ("000") would otherwise be written in the host's current folder.
TEST_F(SaverInput, NoOutputNameWritesNoFile) {
    g_scene.firstFrame = 1;
    g_scene.lastFrame = 12;
    const std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::create_directories(root_ / "current");
    std::filesystem::current_path(root_ / "current");
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE(name == nullptr ? "null" : "empty");
        backend_->ClearMessageBoxes();
        SaverData data;
        ASSERT_EQ(scenegrab::SaverOpen(data, 32, 32, name), nullptr);
        SixFaces(data);
        EXPECT_EQ(scenegrab::SaverClose(data), 1);
        EXPECT_EQ(Messages(), std::vector<std::string>{"Unable to open file for output."});
    }
    EXPECT_TRUE(std::filesystem::is_empty(root_ / "current"));
    EXPECT_EQ(compactorRuns_, 0);
    std::filesystem::current_path(start);
}

}  // namespace
