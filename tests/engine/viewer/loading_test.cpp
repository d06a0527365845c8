#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "engine_test_access.h"
#include "loaded_by.h"
#include "platform/dib_header.h"
#include "platform/files.h"
#include "platform/headless/headless_backend.h"
#include "platform/picture_limits.h"
#include "test_panoramas.h"
#include "tests/engine/imaging/progressive_scans_jpeg.h"
#include "tests/engine/imaging/test_bitmaps.h"

namespace {

std::string LoadFailure(ViewerEngine& engine, const Bytes& bytes) {
    try {
        engine.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 4);
    } catch (const LoadError& error) {
        return error.what();
    }
    return "";
}

Bytes Panorama(std::vector<std::pair<std::string, Bytes>> extra = {}, std::int8_t version = 0,
               int width = 64, int height = 32) {
    extra.insert(extra.begin(), {"BTMP", MakeBitmap(width, height)});
    return MakeContainer(extra, version);
}

TEST(Loading, VersionByteDecides) {
    struct Case {
        std::int8_t version;
        const char* error;
    };
    const Case cases[] = {
        {1, "Version Error: Cannot load a version 5.0 file with version 4.0 software"},
        {3, "Version Error: Cannot load a version 7.0 file with version 4.0 software"},
        {0, ""},
        {-1, ""},
    };
    for (const Case& c : cases) {
        ViewerEngine engine;
        EXPECT_EQ(LoadFailure(engine, Panorama({}, c.version)), c.error) << int(c.version);
        EXPECT_EQ(engine.IsLoaded(), *c.error == '\0') << "a refused load leaves the engine closed";
    }
}

TEST(Loading, InitFormsAndLengths) {
    struct Case {
        const char* name;
        Bytes init;
        double homePan, homeTilt, homeFov, fov, fixedPanMax, fixedTiltMax;
    };
    const Case cases[] = {
        {"zeros: full sphere", InitSection({0, 0, 0, 0, 0, 0, 0, 0}), 0, 0, 60, 60, 0, 0},
        {"fov above the range", InitSection({0, 0, 0, 0, 3, 4, 0, 200}), 3, 4, 170, 200, 0, 0},
        {"15 bytes ignored", Bytes(15, 1), 0, 0, 60, 60, 0, 0},
        {"17 bytes ignored", Bytes(17, 1), 0, 0, 60, 60, 0, 0},
        {"long form", InitSection({-90, 90, -30, 30, 0, 0, 0, 75}), 0, 0, 75, 75, 90, 30},
        {"spans out of range", InitSection({400, 200, 0, 0, 0, 0, 0, 0}), 0, 0, 60, 60, 0, 0},
    };
    for (const Case& c : cases) {
        ViewerEngine engine;
        ASSERT_EQ(LoadFailure(engine, Panorama({{"INIT", c.init}})), "") << c.name;
        EXPECT_EQ(Access::State(engine)->homePan, c.homePan) << c.name;
        EXPECT_EQ(Access::State(engine)->homeTilt, c.homeTilt) << c.name;
        EXPECT_EQ(Access::State(engine)->homeFov, c.homeFov) << c.name;
        EXPECT_EQ(Access::State(engine)->fov, c.fov) << c.name;
        EXPECT_EQ(Access::State(engine)->fixedPanMax, c.fixedPanMax) << c.name;
        EXPECT_EQ(Access::State(engine)->fixedTiltMax, c.fixedTiltMax) << c.name;
    }
}

TEST(Loading, PartialPanoramaIsEnlargedAroundTheOldImage) {
    ViewerEngine engine;
    ASSERT_EQ(LoadFailure(engine, Panorama({{"INIT", InitSection({180, 90, 0, 0, 10, 5, 0, 0})}}, 0,
                                           1000, 250)),
              "");
    const std::uint8_t* image = Access::Image(engine);
    ASSERT_EQ(platform::LoadInfoHeader(image).biWidth, 2000);
    ASSERT_EQ(platform::LoadInfoHeader(image).biHeight, 500);
    EXPECT_EQ(Access::State(engine)->homePan, 10);
    EXPECT_EQ(Access::State(engine)->homeTilt, 5);
    EXPECT_EQ(Access::State(engine)->homeFov, 60);
    EXPECT_EQ(Access::State(engine)->fixedPanMin, -90);
    EXPECT_EQ(Access::State(engine)->fixedPanMax, 90);
    EXPECT_EQ(Access::State(engine)->fixedTiltMin, -45);
    EXPECT_EQ(Access::State(engine)->fixedTiltMax, 45);
    EXPECT_EQ(Access::State(engine)->rollMin, 0);
    EXPECT_EQ(Access::State(engine)->rollMax, 0);
    // The old pixel (x, y) now lies at (x + 500, y + 125): blue = x, green = y.
    const std::uint8_t* pixels = Access::Image(engine) + 40;
    auto at = [&](int x, int y) { return pixels + (static_cast<std::size_t>(y) * 2000 + x) * 3; };
    EXPECT_EQ(at(500 + 3, 125 + 9)[0], 3);
    EXPECT_EQ(at(500 + 3, 125 + 9)[1], 9);
    EXPECT_EQ(at(500 + 999, 125 + 249)[2], 7);
    EXPECT_EQ(at(499, 125)[2], 0) << "margins are blank";
}

TEST(Loading, EnlargedImageAlwaysHoldsTheOldOne) {
    // 5 x 360 / 359 rounds to 4 columns: too few for the old 5.
    ViewerEngine engine;
    ASSERT_EQ(
        LoadFailure(engine,
                    Panorama({{"INIT", InitSection({-180, 179, -90, 90, 0, 0, 0, 0})}}, 0, 5, 4)),
        "");
    ASSERT_EQ(platform::LoadInfoHeader(Access::Image(engine)).biWidth, 8);
    const std::uint8_t* pixels = Access::Image(engine) + 40;
    EXPECT_EQ(pixels[(1 + 4) * 3], 4) << "old column 4 at column 1 + 4";
}

TEST(Loading, EnlargementInPlaceMovesEveryRowAndBlanksTheRest) {
    // Old rows padded to whole words (widths 5, 7, 10 at 3 bytes) move to unpadded new rows;
    // every pixel of the enlarged image is either its old pixel or blank.
    struct Case {
        int width, height;
        std::int16_t headingSpan, pitchSpan;
    };
    const Case cases[] = {{5, 4, 359, 180}, {10, 6, 180, 90}, {7, 5, 90, 60}, {12, 9, 360, 45}};
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        ViewerEngine engine;
        ASSERT_EQ(LoadFailure(engine, Panorama({{"INIT", InitSection({c.headingSpan, c.pitchSpan, 0,
                                                                      0, 0, 0, 0, 0})}},
                                               0, c.width, c.height)),
                  "")
            << name;
        const ViewStateGuard state = Access::State(engine);
        const platform::BitmapInfoHeader header = state->image.Header();
        const int newWidth = header.biWidth;
        const int newHeight = header.biHeight;
        ASSERT_GE(newWidth, c.width) << name;
        ASSERT_GE(newHeight, c.height) << name;
        ASSERT_GE(state->image.Size(), 40u + 3u * newWidth * newHeight) << name;
        const int left = (newWidth - c.width) / 2;
        const int bottom = (newHeight - c.height) / 2;
        int wrong = 0;
        for (int y = 0; y < newHeight; ++y) {
            for (int x = 0; x < newWidth; ++x) {
                const std::uint8_t* p =
                    state->image.Data() + 40 + (static_cast<std::size_t>(y) * newWidth + x) * 3;
                const int ox = x - left, oy = y - bottom;
                const bool inside = ox >= 0 && ox < c.width && oy >= 0 && oy < c.height;
                const std::uint8_t want[3] = {static_cast<std::uint8_t>(inside ? ox : 0),
                                              static_cast<std::uint8_t>(inside ? oy : 0),
                                              static_cast<std::uint8_t>(inside ? 7 : 0)};
                wrong += std::memcmp(p, want, 3) != 0;
            }
        }
        EXPECT_EQ(wrong, 0) << name << " enlarged to " << newWidth << "x" << newHeight;
    }
}

TEST(Loading, OddShortFormSpanEnlargesByItsExactRatio) {
    // The thumbnail's pitch span of 45: 25 rows become 25 x 180 / 45 = 100, not the 104 that a
    // span halved and doubled back to 44 would give.
    ViewerEngine engine;
    ASSERT_EQ(LoadFailure(engine, Panorama({{"INIT", InitSection({360, 45, 0, 0, 0, 0, 0, 60})}}, 0,
                                           100, 25)),
              "");
    EXPECT_EQ(platform::LoadInfoHeader(Access::Image(engine)).biHeight, 100);
    EXPECT_EQ(Access::State(engine)->fixedTiltMax, 22);
}

TEST(Loading, BareInformationHeaderOnlyFromMemory) {
    const Bytes bare = MakeBitmap(64, 32, false);
    ViewerEngine engine;
    EXPECT_EQ(LoadFailure(engine, bare), "");
    EXPECT_TRUE(engine.IsLoaded());

    const std::string path = platform::GetTempPath() + "bare-header-" +
                             std::to_string(platform::CurrentProcessId()) + ".bmp";
    ASSERT_TRUE(platform::WriteFileSafely(path, bare));
    try {
        engine.OpenFile(path.c_str(), platform::kNoWindow, 0, 0, 4);
        ADD_FAILURE() << "OpenFile accepted a bare header";
    } catch (const LoadError& error) {
        EXPECT_STREQ(error.what(), "File Type Error: Unsupported File Format");
    }
    EXPECT_FALSE(engine.IsLoaded());
    platform::DeleteFile(path);
}

TEST(Loading, ABitmapFileOpensAsTheSameBytesLoadFromMemory) {
    std::vector<std::uint8_t> numbered(4 * 3 * 4);
    for (std::size_t i = 0; i < numbered.size(); ++i)
        numbered[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const std::vector<std::uint8_t> grey = GreyColourTable();
    const Bytes whole = MakeBitmap(64, 32);
    const Bytes truncated(whole.begin(), whole.end() - 10);
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"24 bits, bottom-up", whole},
        {"24 bits, top-down", MakeRecord(MakeHeader(4, -3, 24), {}, numbered, true)},
        {"8 bits with colours", MakeRecord(MakeHeader(4, 3, 8), grey,
                                           std::span(numbered).first(12), true)},
        {"5-6-5 with masks", MakeRecord(MakeHeader(4, -3, 16, 3), Masks565(),
                                        std::span(numbered).first(24), true)},
        {"32 bits", MakeRecord(MakeHeader(2, 3, 32), {}, std::span(numbered).first(24), true)},
        {"rows missing", truncated},
        {"shorter than its headers", Bytes{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"codec-compressed", MakeRecord(MakeHeader(4, 3, 24, 0x64697663), {}, numbered, true)},
    };
    const std::string path = platform::GetTempPath() + "opened-bitmap-" +
                             std::to_string(platform::CurrentProcessId()) + ".bmp";
    for (const Case& c : cases)
        ExpectOpenedAsLoaded(path, c.file, c.what);
    platform::DeleteFile(path);
}

TEST(Loading, FileErrorsCarryTheirTexts) {
    const std::string folder = platform::GetTempPath();
    const std::string garbage = folder + "garbage-" + std::to_string(platform::CurrentProcessId());
    ASSERT_TRUE(platform::WriteFileSafely(garbage, Bytes{'G', 'I', 'F', '8', '9'}));
    struct Case {
        const char* path;
        const char* error;
    };
    const Case cases[] = {
        {"", "File I/O Error: Cannot Find Specified File"},
        {nullptr, "File I/O Error: Cannot Find Specified File"},
        {"/no/such/file.pan", "File I/O Error: Cannot Open Specified File"},
        {garbage.c_str(), "File Type Error: Unsupported File Format"},
    };
    for (const Case& c : cases) {
        ViewerEngine engine;
        try {
            engine.OpenFile(c.path, platform::kNoWindow, 0, 0, 4);
            ADD_FAILURE() << "accepted " << (c.path ? c.path : "null");
        } catch (const LoadError& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
    }
    platform::DeleteFile(garbage);

    ViewerEngine engine;
    EXPECT_EQ(LoadFailure(engine, MakeContainer({{"INIT", InitSection({0, 0, 0, 0, 0, 0, 0, 0})}})),
              "File Format Error: Cannot Format Specified Image.  ");
    EXPECT_EQ(LoadFailure(engine, MakeContainer({{"BTMP", Bytes{'B', 'M', 1, 2, 3}}})),
              "File Format Error: Cannot Format Specified Image.  Unsupported file fomat");
    // A progressive JPEG of thousands of scans, each over every block, is refused as corrupt.
    EXPECT_EQ(LoadFailure(engine, AcOnlyScansJpeg(512, 256, 5000)),
              "File Format Error: Cannot Format Specified Image.  Unsupported file fomat");
    try {
        engine.Load(nullptr, 0, platform::kNoWindow, 0, 0, 4);
        ADD_FAILURE();
    } catch (const LoadError& error) {
        EXPECT_STREQ(error.what(), "Data Error: No Data Available");
    }
}

TEST(Loading, WindowlessLoadKeepsTheNotifyWindow) {
    ViewerEngine engine;
    Access::State(engine)->notifyWindow = 77;
    const Bytes bytes = Panorama();
    engine.Load(bytes.data(), bytes.size(), platform::kNoWindow, 5, 0, 4);
    EXPECT_EQ(Access::State(engine)->notifyWindow, 77u);
    EXPECT_EQ(Access::State(engine)->notifyMessage, 5u);
    EXPECT_EQ(Access::HasRenderThread(engine), false);
    EXPECT_EQ(engine.Run(1, 1), kEngineNotLoaded) << "no window: nothing to run";
}

TEST(Loading, EmbeddedFilesAreExtractedAndOnlyTildeFilesDeleted) {
    ViewerEngine engine;
    const Bytes files = FileSection({{"~one.txt", "first"}, {"~two.wav", "second"}});
    ASSERT_EQ(LoadFailure(engine, Panorama({{"FILE", files}})), "");
    const std::string folder = engine.TempExtractDirectory();
    EXPECT_NE(folder.find("~HV"), std::string::npos);
    EXPECT_EQ(platform::ListFiles(folder, "*"), (std::vector<std::string>{"~one.txt", "~two.wav"}));
    std::ifstream in(folder + "~one.txt");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "first");

    ASSERT_TRUE(platform::WriteFileSafely(folder + "keep.txt", Bytes{1}));
    engine.Close();
    EXPECT_EQ(platform::ListFiles(folder, "*"), std::vector<std::string>{"keep.txt"});
    platform::DeleteFile(folder + "keep.txt");
}

// A name without the "~" is never extracted: no action finds it there, and Close would leave it.
TEST(Loading, ExtractionSkipsDirectoryPartsAndStopsAtAFileItCannotMake) {
    ViewerEngine engine;
    const std::string tooLong = "~" + std::string(300, 'x');
    const Bytes files = FileSection({{"~ok.txt", "a"},
                                     {"../~escape.txt", "b"},
                                     {"plain.txt", "p"},
                                     {"~next.txt", "c"},
                                     {tooLong, "d"},
                                     {"~late.txt", "e"}});
    ASSERT_EQ(LoadFailure(engine, Panorama({{"FILE", files}})), "");
    const std::string folder = engine.TempExtractDirectory();
    EXPECT_EQ(platform::ListFiles(folder, "*"), (std::vector<std::string>{"~next.txt", "~ok.txt"}));
    EXPECT_FALSE(platform::FileExists(folder + "../~escape.txt"));

    const std::string before = platform::GetCurrentDirectory();
    EXPECT_EQ(std::string(engine.EnterTempDirectory()), before);
    EXPECT_TRUE(platform::FileExists("~ok.txt")) << "embedded files are found by their plain names";
    platform::SetCurrentDirectory(before);

    engine.Close();
    EXPECT_FALSE(platform::DirectoryExists(folder)) << "an emptied folder is removed";
}

TEST(Loading, StandAloneBuildSetsTheFieldOfViewFromABareImage) {
    struct Case {
        int height;
        double fov;
    };
    const Case cases[] = {{128, 120}, {1024, 90}, {1280, 67.5}, {1536, 60}};
    for (const Case& c : cases) {
        ViewerEngine engine(EngineBuild::StandAlone);
        const Bytes bitmap = MakeBitmap(c.height * 2, c.height);
        engine.Load(bitmap.data(), bitmap.size(), platform::kNoWindow, 0, 0, 4);
        EXPECT_EQ(Access::State(engine)->fov, c.fov) << c.height;
    }
    ViewerEngine full;
    const Bytes bitmap = MakeBitmap(64, 32);
    full.Load(bitmap.data(), bitmap.size(), platform::kNoWindow, 0, 0, 4);
    EXPECT_EQ(Access::State(full)->fov, 60);
}

// A partial panorama is enlarged to the whole sphere only within the picture ceiling: an 8 x 4
// picture spanning 180 x 90 degrees becomes 16 x 8 (a 24-bit block of 40 + 384 bytes).
TEST(Loading, PartialPanoramaEnlargementHonoursThePictureCeiling) {
    const Bytes pan = Panorama({{"INIT", InitSection({180, 90, 0, 0, 0, 0, 0, 0})}}, 0, 8, 4);
    const struct {
        const char* name;
        platform::PictureCap cap;
        const char* error;
    } cases[] = {
        {"exactly at both", {128, 424}, ""},
        {"one pixel over", {127, 424}, "Resource Error: Insufficient System Memory"},
        {"one byte over", {128, 423}, "Resource Error: Insufficient System Memory"},
    };
    for (const auto& c : cases) {
        const platform::ScopedPictureCap cap(c.cap);
        ViewerEngine engine;
        EXPECT_EQ(LoadFailure(engine, pan), c.error) << c.name;
        EXPECT_EQ(engine.IsLoaded(), *c.error == '\0') << c.name;
        if (engine.IsLoaded()) {
            EXPECT_EQ(platform::LoadInfoHeader(Access::Image(engine)).biWidth, 16) << c.name;
        }
    }
}

// Found by an outside fuzzing campaign: a 128 x 64 picture whose INIT claims spans of 1 x 1
// degrees once became a 46080 x 11520 image (1.59 GB); 256 x 128 asked for 6.4 GB.
TEST(Loading, NarrowSpansCannotMakeASmallFileHuge) {
    for (const auto& [width, height] : {std::pair{128, 64}, std::pair{256, 128}}) {
        ViewerEngine engine;
        const Bytes pan =
            Panorama({{"INIT", InitSection({1, 1, 0, 0, 0, 0, 0, 0})}}, 0, width, height);
        EXPECT_EQ(LoadFailure(engine, pan), "Resource Error: Insufficient System Memory")
            << width << " x " << height;
        EXPECT_FALSE(engine.IsLoaded());
    }
}

// The load holds no picture the renderer cannot draw: a panorama wider than its largest source,
// decoded or enlarged from a partial one, is refused with a message instead of showing black.
// A 16 x 8 JPEG picture whose frame header claims `width` x 8 (the decoder pads the rest).
Bytes JpegClaimingWidth(int width) {
    const Bytes bitmap = MakeBitmap(16, 8, false);
    return WithJpegSides(DibToJpeg(std::span(bitmap).first(40), std::span(bitmap).subspan(40), 75),
                         static_cast<std::uint16_t>(width), 8);
}

TEST(Loading, EveryPictureThatLoadsIsOneTheRendererDraws) {
    const int side = Renderer::kMaxSourceSide;
    const Bytes halfCircle = InitSection({180, 180, 0, 0, 0, 0, 0, 0});
    const struct {
        const char* name;
        Bytes panorama;
        const char* error;
    } cases[] = {
        {"as wide as the renderer draws", Panorama({}, 0, side, 4), ""},
        {"32 pixels wider", Panorama({}, 0, side + 32, 4),
         "File Format Error: Cannot Format Specified Image.  Insufficient system memory"},
        {"a JPEG as wide as it draws", MakeContainer({{"BTMP", JpegClaimingWidth(side)}}), ""},
        {"a JPEG 32 pixels wider", MakeContainer({{"BTMP", JpegClaimingWidth(side + 32)}}),
         "File Format Error: Cannot Format Specified Image.  Unsupported file fomat"},
        {"a half circle enlarged past it", Panorama({{"INIT", halfCircle}}, 0, side / 2 + 4, 4),
         "Resource Error: Insufficient System Memory"},
    };
    for (const auto& c : cases) {
        ViewerEngine engine;
        EXPECT_EQ(LoadFailure(engine, c.panorama), c.error) << c.name;
        if (engine.IsLoaded()) {
            EXPECT_EQ(Access::State(engine)->image.Header().biWidth, side) << c.name;
        }
    }
}

}  // namespace
