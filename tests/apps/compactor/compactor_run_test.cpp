// The conversion step of a run and the program as a whole, started as a child process with no
// display, as batch callers start it.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "apps/compactor/compactor_app.h"
#include "apps/compactor/compactor_writers.h"
#include "apps/compactor/compression_codec.h"
#include "apps/compactor/compression_settings.h"
#include "bitmap/cdib.h"
#include "tests/apps/compactor/panorama_view.h"
#include "tests/apps/compactor/temp_config.h"
#include "tests/apps/compactor/test_pictures.h"

namespace {

class ConversionTest : public TempConfigTest {
  protected:
    std::string SavedPicture(const std::string& name, int width, int height, int bits = 24) {
        CDIB picture = GradientPicture(width, height);
        if (bits != 24)
            picture.ChangeBitDepth(bits);
        const std::string path = Scratch(name);
        EXPECT_EQ(picture.Save(path), 1);
        return path;
    }

    CompressionSettings settings_;
};

TEST_F(ConversionTest, FailedInPlaceConversionLeavesTheInputIntact) {
    const struct {
        const char* name;
        int codec;
        int width, height;
        const char* message;
    } cases[] = {{"jpeg of odd size", kCodecJpeg, 102, 50, "Failed to create panorama"},
                 {"codec without encoder", kCodecIndeo, 64, 32, "Failed to convert to 24 bit"}};
    for (const auto& c : cases) {
        messages_.clear();
        const std::string path = SavedPicture(std::string(c.name) + ".bmp", c.width, c.height);
        const std::vector<std::uint8_t> before = FileBytes(path);
        settings_.WriteCodec(c.codec);
        EXPECT_EQ(ConvertBitmapFile(path, path, settings_, Recorder()), 0) << c.name;
        EXPECT_EQ(messages_, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(FileBytes(path), before) << c.name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_),
                                std::filesystem::directory_iterator()),
                  static_cast<std::ptrdiff_t>(&c - cases) + 2)
            << "temporary files left behind by " << c.name;
    }
}

TEST_F(ConversionTest, InputOfAnotherDepthIsWrittenAt24Bits) {
    const std::string in = SavedPicture("sixteen.bmp", 8, 4, 16);
    const std::string out = Scratch("out24.bmp");
    settings_.WriteCodec(kCodec24Bit);
    EXPECT_EQ(ConvertBitmapFile(in, out, settings_, Recorder()), 1);
    CDIB written;
    ASSERT_EQ(written.Load(out), 1);
    EXPECT_EQ(written.GetBitCount(), 24);
    CDIB original;
    ASSERT_EQ(original.Load(in), 1);
    EXPECT_EQ(MeanDifference(written, original), 0.0);
}

// Runs the program with `args` (shell words) and no display; returns its exit status and
// collects its standard error.
int RunCompactor(const std::string& configHome, const std::string& args, std::string& errors,
                 const std::string& errorFile) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
        "XDG_CONFIG_HOME='" +
        configHome + "' '" COMPACTOR_PROGRAM "' " + args + " 2>'" + errorFile + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(errorFile);
    errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ProgramTest : public ConversionTest {
  protected:
    int Run(const std::string& args) {
        return RunCompactor(config_.string(), args, errors_, Scratch("stderr.txt"));
    }
    std::string errors_;
};

TEST_F(ProgramTest, ConvertsABitmapIntoAPanoramaFile) {
    const CDIB picture = GradientPicture(128, 64);
    const std::string in = Scratch("In.bmp");
    ASSERT_EQ(picture.Save(in), 1);
    const std::string out = Scratch("Out.pan");
    ASSERT_EQ(Run("-quality 95 '" + in + "' '" + out + "'"), 0);
    EXPECT_EQ(errors_, "");
    const std::vector<std::uint8_t> file = FileBytes(out);
    ASSERT_GT(file.size(), 64u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "HVXK");
    DecodedPicture24 decoded;
    ASSERT_TRUE(DecodeJpegForTest({file.data() + 64, file.size() - 64}, decoded));
    ASSERT_EQ(decoded.width, 128);
    ASSERT_EQ(decoded.height, 64);
    CDIB shown(128, 64, 24);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const std::uint8_t* p = &decoded.bgr[(static_cast<std::size_t>(y) * 128 + x) * 3];
            shown.SetPixel(x, y, p[2], p[1], p[0]);
        }
    }
    EXPECT_LT(MeanDifference(shown, picture), 3.0);
    EXPECT_TRUE(std::filesystem::exists(out + "Thumbnail"));
    EXPECT_EQ(StoredValue("Tavrin/Compactor.conf", "Quality"), 95);
}

TEST_F(ProgramTest, TheViewerShowsTheWrittenPanorama) {
    // The middle quarter of the columns (around heading 0) is red, the rest blue: looking ahead
    // shows red, looking back shows blue.
    const int width = 512;
    const int height = 256;
    CDIB picture(width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool ahead = x >= 3 * width / 8 && x < 5 * width / 8;
            picture.SetPixel(x, y, ahead ? 255 : 0, 0, ahead ? 0 : 255);
        }
    }
    const std::string in = Scratch("scene.bmp");
    ASSERT_EQ(picture.Save(in), 1);
    ASSERT_EQ(Run("'" + in + "' '" + in + "'"), 0);
    const struct {
        double heading;
        bool red;
    } views[] = {{0, true}, {180, false}, {90, false}};
    for (const auto& view : views) {
        std::uint8_t centre[3] = {};
        ASSERT_TRUE(RenderViewCentre(in, view.heading, 64, centre)) << view.heading;
        EXPECT_EQ(centre[2] > 200 && centre[0] < 50, view.red) << view.heading;
        EXPECT_EQ(centre[0] > 200 && centre[2] < 50, !view.red) << view.heading;
    }
}

// The program decodes a codec-compressed input through the codec bridge it installs.
TEST_F(ProgramTest, ConvertsACodecCompressedBitmap) {
    CDIB picture = GradientPicture(128, 64);
    const std::string in = Scratch("cinepak.bmp");
    ASSERT_EQ(WriteCompressedOutput(picture, kCodecCinepak, 75, in, 0, Recorder()), 1);
    const std::string out = Scratch("cinepak.pan");
    ASSERT_EQ(Run("'" + in + "' '" + out + "'"), 0) << errors_;
    EXPECT_EQ(errors_, "");
    const std::vector<std::uint8_t> file = FileBytes(out);
    ASSERT_GT(file.size(), 64u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "HVXK");
}

TEST_F(ProgramTest, MessagesGoToStandardErrorWithoutADisplay) {
    // A name that is not UTF-8 (Windows-1252) is shown with its odd byte readable.
    EXPECT_EQ(Run("'" + Scratch("nothing\xe9.bmp") + "' '" + Scratch("x.pan") + "'"),
              CCompactorApp::kConversionFailed);
    EXPECT_EQ(errors_, "Compactor: Failed to open " + Scratch("nothing\\xe9.bmp") + "\n");

    const std::string in = Scratch("face.bmp");
    ASSERT_EQ(GradientPicture(128, 64).Save(in), 1);
    std::filesystem::create_directories(config_ / "Tavrin");
    std::ofstream(config_ / "Tavrin/Compactor.conf") << "[Compression]\nCodec=99\n";
    EXPECT_EQ(Run("'" + in + "' '" + Scratch("x.pan") + "'"), CCompactorApp::kConversionFailed);
    EXPECT_EQ(errors_, "Compactor: Unknown codec in the settings: Codec in " +
                           (config_ / "Tavrin/Compactor.conf").string() +
                           " must be a number from 0 to 5\n");
    EXPECT_FALSE(std::filesystem::exists(Scratch("x.pan")));
}

TEST_F(ProgramTest, ExitStatusTellsWhetherTheConversionWasWritten) {
    const std::string in = Scratch("face.bmp");
    ASSERT_EQ(GradientPicture(128, 64).Save(in), 1);
    struct Case {
        const char* name;
        std::string args;
        int status;
    };
    const Case cases[] = {
        {"written", "'" + in + "' '" + Scratch("ok.pan") + "'", 0},
        {"output folder missing", "'" + in + "' '" + Scratch("no/such/folder/x.pan") + "'",
         CCompactorApp::kConversionFailed},
        {"input not a bitmap", "'" + Scratch("ok.pan") + "' '" + Scratch("y.pan") + "'",
         CCompactorApp::kConversionFailed},
        {"only one name: nothing asked", "'" + in + "'", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(c.args), c.status) << c.name << "\n" << errors_;
}

// A link leads to the file it names, made or replaced there with its thumbnail beside it, as
// private as the panorama; the link stays. (Devices and FIFOs are the safe save's own test.)
TEST_F(ProgramTest, ALinkLeadsToTheFileItNamesWithItsThumbnailBeside) {
    namespace fs = std::filesystem;
    const std::string in = Scratch("face.bmp");
    ASSERT_EQ(GradientPicture(128, 64).Save(in), 1);
    const fs::path link = Scratch("a/link.pan"), end = Scratch("b/end");
    fs::create_directories(link.parent_path());
    fs::create_directories(end.parent_path());
    fs::create_symlink("../b/end", link);
    for (const bool makePrivate : {false, true}) {  // dangling first, then the file it made
        if (makePrivate)
            fs::permissions(end,
                            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        ASSERT_EQ(Run("'" + in + "' '" + link.string() + "'"), 0) << errors_;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_GT(FileBytes(end.string()).size(), 64u);
        EXPECT_EQ(fs::status(end.string() + "Thumbnail").permissions(),
                  fs::status(end).permissions());
        EXPECT_FALSE(fs::exists(link.string() + "Thumbnail"));
    }
}

TEST_F(ProgramTest, DialogWithoutADisplayDoesNotWait) {
    EXPECT_EQ(Run("/dialog"), 0);
    EXPECT_NE(errors_.find("Compression Options"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(config_ / "Tavrin/Compactor.conf"));
}

}  // namespace
