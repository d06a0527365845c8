// The program run from its command line, as a user's script runs it: a copy of `cubestitch`
// with `compactor` beside it in a folder of its own, no display, settings in a scratch folder.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/codec/codec_encoder.h"
#include "platform/codec/codec_fourcc.h"
#include "tests/apps/compactor/panorama_view.h"
#include "tests/apps/cubestitch/seam_test_support.h"

namespace cubestitch {
namespace {

namespace fs = std::filesystem;

struct Colour {
    std::uint8_t r, g, b;
};
// Left, Front, Right, Back, Top, Bottom.
constexpr Colour kFaceColours[kCubeFaceCount] = {{255, 0, 0},   {0, 255, 0},     {0, 0, 255},
                                             {255, 255, 0}, {255, 255, 255}, {0, 0, 0}};

class BatchProgramTest : public SeamTest {
  protected:
    void SetUp() override {
        SeamTest::SetUp();
        fs::create_directories(root_ / "bin");
        fs::copy_file(CUBESTITCH_PROGRAM, root_ / "bin/cubestitch");
        fs::create_directories(root_ / "config/Tavrin");
        std::ofstream(root_ / "config/Tavrin/Cubestitch.conf") << "[Seam]\nWidth=256\nHeight=128\n";
        for (int k = 0; k < kCubeFaceCount; ++k) {
            CDIB face(64, 64, 24);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    face.SetPixel(x, y, kFaceColours[k].r, kFaceColours[k].g, kFaceColours[k].b);
            const std::string path = Scratch("face " + std::to_string(k) + ".bmp");
            ASSERT_EQ(face.Save(path), 1);
            faces_ += " '" + path + "'";
        }
    }
    void WithCompactor() { fs::copy_file(COMPACTOR_PROGRAM, root_ / "bin/compactor"); }

    // Runs the copy with `args` (shell words) and a PATH without the build's programs.
    int Run(const std::string& args) {
        const std::string command = "cd '" + root_.string() +
                                    "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                    "PATH=/usr/bin:/bin XDG_CONFIG_HOME='" +
                                    (root_ / "config").string() + "' ./bin/cubestitch " + args +
                                    " 2>stderr.txt";
        const int status = std::system(command.c_str());
        std::ifstream in(root_ / "stderr.txt");
        errors_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string faces_;
    std::string errors_;
};

TEST_F(BatchProgramTest, SixFacesBecomeAPanoramaTheViewerShows) {
    WithCompactor();
    const std::string output = Scratch("Seamed.pan");
    ASSERT_EQ(Run(faces_ + " -r90 '" + output + "'"), 0) << errors_;
    std::ifstream in(output, std::ios::binary);
    std::string magic(4, '\0');
    in.read(magic.data(), 4);
    EXPECT_EQ(magic, "HVXK");
    EXPECT_TRUE(fs::exists(output + "Thumbnail"));
    // Nothing else is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_))
        ++files;
    EXPECT_EQ(files, 6 + 5);  // faces, bin, config, stderr.txt, the panorama, its thumbnail

    // Heading 0 looks at Front; headings grow to the left.
    const struct {
        double heading;
        int face;
    } views[] = {{0, 1}, {90, 0}, {-90, 2}, {180, 3}};
    for (const auto& view : views) {
        std::uint8_t centre[3] = {};
        ASSERT_TRUE(RenderViewCentre(output, view.heading, 64, centre)) << view.heading;
        const Colour& want = kFaceColours[view.face];
        EXPECT_NEAR(centre[2], want.r, 12) << view.heading;
        EXPECT_NEAR(centre[1], want.g, 12) << view.heading;
        EXPECT_NEAR(centre[0], want.b, 12) << view.heading;
    }
}

// A Cinepak-compressed face is decoded through the codec bridge the program installs.
TEST_F(BatchProgramTest, ACodecCompressedFaceIsDecoded) {
    WithCompactor();
    const Colour& front = kFaceColours[1];
    std::vector<std::uint8_t> bgr;
    for (int i = 0; i < 64 * 64; ++i)
        bgr.insert(bgr.end(), {front.b, front.g, front.r});
    platform::EncodedPicture encoded;
    ASSERT_EQ(platform::EncodePicture(platform::MakeFourcc("cvid"), {64, 64, bgr}, 10000, encoded),
              platform::EncodeStatus::Encoded);
    CDIB face;
    ASSERT_EQ(face.CreateFromPackedDib(platform::BitmapRecordOf(encoded)), 1);
    ASSERT_EQ(face.Save(Scratch("face 1.bmp")), 1);

    const std::string output = Scratch("Codec.pan");
    ASSERT_EQ(Run(faces_ + " '" + output + "'"), 0) << errors_;
    std::uint8_t centre[3] = {};
    ASSERT_TRUE(RenderViewCentre(output, 0, 64, centre));
    EXPECT_NEAR(centre[2], front.r, 12);
    EXPECT_NEAR(centre[1], front.g, 12);
    EXPECT_NEAR(centre[0], front.b, 12);
}

TEST_F(BatchProgramTest, FailuresEndWithANonZeroStatusAndWriteNothing) {
    // A name that is not UTF-8 (Windows-1252) is shown with its odd byte readable.
    std::ofstream(Scratch("junk\xe9.bmp")) << "not a bitmap";
    const std::string output = Scratch("out.pan");
    struct Case {
        const char* name;
        bool compactor;
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {"compactor missing", false, faces_ + " '" + output + "'",
         "Cubestitch: Failed to find Compactor.exe"},
        {"bad face", true,
         "'" + Scratch("junk\xe9.bmp") + "'" + faces_.substr(faces_.find(" '", 1)) + " '" + output +
             "'",
         "Cubestitch: Failed to load image " + Scratch("junk\\xe9.bmp")},
        {"eighth name", true, faces_ + " '" + output + "' more.pan",
         "Cubestitch: Too many names on the command line: more.pan"},
    };
    for (const Case& c : cases) {
        if (c.compactor && !fs::exists(root_ / "bin/compactor"))
            WithCompactor();
        EXPECT_NE(Run(c.args), 0) << c.name;
        EXPECT_NE(errors_.find(c.message), std::string::npos) << c.name << ": " << errors_;
        EXPECT_FALSE(fs::exists(output)) << c.name;
    }
}

}  // namespace
}  // namespace cubestitch
