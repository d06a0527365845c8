// The seam as the seamer runs it: settings, face conversion, refusals with their messages,
// reuse of the panorama bitmap, and cancelling a running worker then seaming again.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "apps/cube_seam/seam_run.h"
#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_encoder.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/headless/headless_backend.h"
#include "platform/message_box.h"
#include "tests/apps/cube_seam/face_sets.h"

namespace {

using seam_test::PixelValue;

TEST(SeamSettings, SizesAreCheckedWhereTheyAreRead) {
    struct Case {
        const char* width;  // null: not stored
        const char* height;
        SeamSize expected;
    };
    const Case kCases[] = {
        {nullptr, nullptr, {2048, 1024}},
        {"4096", "2048", {4096, 2048}},
        {"16", "16384", {16, 16384}},
        {"0", "-16", {2048, 1024}},
        {"100", "1000", {2048, 1024}},
        {"16400", "32", {2048, 32}},
        {"wide", "1024.5", {2048, 1024}},
        {"", "512", {2048, 512}},
        {"4294967312", "4294983680", {2048, 1024}},  // 2^32 + 16 and 2^32 + 16384
    };
    QTemporaryDir folder;
    for (const Case& c : kCases) {
        QSettings settings(folder.filePath(QStringLiteral("Cubestitch.conf")),
                           QSettings::IniFormat);
        settings.clear();
        if (c.width)
            settings.setValue(QStringLiteral("Seam/Width"), QString::fromLatin1(c.width));
        if (c.height)
            settings.setValue(QStringLiteral("Seam/Height"), QString::fromLatin1(c.height));
        const SeamSize size = ReadSeamSize(settings);
        EXPECT_EQ(size.width, c.expected.width) << (c.width ? c.width : "none");
        EXPECT_EQ(size.height, c.expected.height) << (c.height ? c.height : "none");
    }
}

// A progress that records what it is told and cancels, as a user would, once the worker has
// reached `cancelAt` (never when negative). The worker waits there until the cancel is set,
// so it stops at the first block of that row.
class ScriptedProgress : public SilentSeamProgress {
  public:
    explicit ScriptedProgress(int cancelAt = -1) : cancelAt_(cancelAt) {}
    void PostPosition(int position) override {
        SilentSeamProgress::PostPosition(position);
        while (cancelAt_ >= 0 && position >= cancelAt_ && !Cancelled())
            std::this_thread::yield();
    }
    void Begin(const std::string& text, bool cancellable) override {
        SilentSeamProgress::Begin(text, cancellable);
        text_ = text;
        cancellable_ = cancellable;
    }
    bool Run() override {
        if (cancelAt_ < 0)
            return SilentSeamProgress::Run();
        return WaitFor([this](int position) { return position >= cancelAt_; });
    }
    std::string text_;
    bool cancellable_ = true;

  private:
    int cancelAt_;
};

class SeamRunTest : public ::testing::Test {
  protected:
    // Codec-compressed faces decode through the codec bridge, as the programs install it.
    void SetUp() override { platform::InstallCodecDecoder(platform::DecodeCompressedPicture); }
    void TearDown() override {
        platform::SetBatchMode(false);
        platform::InstallCodecDecoder(nullptr);
    }

    SeamRequest Request(const seam_test::Faces& faces, int width, int height) {
        SeamRequest request;
        request.faces = faces.Set();
        request.size = {width, height};
        request.caption = "Cubestitch";
        return request;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRecord& box : backend_.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }

    platform::HeadlessBackend backend_;
};

TEST_F(SeamRunTest, FacesOfOtherDepthsAreConvertedFirst) {
    std::array<FaceSize, kCubeFaceCount> sizes{};
    sizes.fill({64, 64});
    const seam_test::Faces faces = seam_test::TexturedFaces(sizes);

    // An 8-bit Front (a grey ramp through its colour table) and a Cinepak-compressed Back.
    seam_test::Faces mixed = seam_test::TexturedFaces(sizes);
    CDIB& front = mixed.bitmaps[static_cast<int>(CubeFace::Front)];
    front = CDIB(64, 64, 8);
    for (int i = 0; i < 256; ++i)
        std::fill_n(front.GetColorTable().begin() + 4 * i, 3, static_cast<std::uint8_t>(i));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            front.SetPixelValue(x, y, static_cast<std::uint32_t>(4 * x));
    const CDIB& back = faces.bitmaps[static_cast<int>(CubeFace::Back)];
    std::vector<std::uint8_t> topDown;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int ch = 0; ch < 3; ++ch)
                topDown.push_back(static_cast<std::uint8_t>(PixelValue(back, x, y) >> (8 * ch)));
    platform::EncodedPicture encoded;
    ASSERT_EQ(
        platform::EncodePicture(platform::MakeFourcc("cvid"), {64, 64, topDown}, 10000, encoded),
        platform::EncodeStatus::Encoded);
    CDIB& compressed = mixed.bitmaps[static_cast<int>(CubeFace::Back)];
    ASSERT_EQ(compressed.CreateFromPackedDib(platform::BitmapRecordOf(encoded)), 1);
    ASSERT_EQ(compressed.IsCompressed(), 1);

    const std::vector<std::uint8_t> frontBefore(front.GetBits().begin(), front.GetBits().end());
    CDIB panorama;
    ScriptedProgress progress;
    const SeamResult result = RunSeam(Request(mixed, 256, 128), panorama, progress);
    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(result.pixelsWritten);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(progress.text_, "Seaming 256x128 sized image");
    // The caller's faces are read, never changed.
    EXPECT_EQ(front.GetBitCount(), 8);
    EXPECT_TRUE(std::ranges::equal(front.GetBits(), frontBefore));
    EXPECT_EQ(compressed.IsCompressed(), 1);

    // The same as seaming the converted faces directly.
    seam_test::Faces converted = mixed;
    for (CDIB& face : converted.bitmaps)
        ASSERT_EQ(face.ChangeBitDepth(24), 1);
    CDIB expected(256, 128, 24);
    ASSERT_EQ(FillCubePanorama(converted.Set(), expected).status, AssemblyStatus::Done);
    EXPECT_TRUE(std::ranges::equal(panorama.GetBits(), expected.GetBits()));
    // The compressed face made it through its (lossy) codec: the middle of Back looks like Back.
    const std::uint32_t centre = PixelValue(panorama, 0, 64);
    const std::uint32_t wanted = PixelValue(back, 32, 32);
    for (int ch = 0; ch < 3; ++ch)
        EXPECT_NEAR(static_cast<int>((centre >> (8 * ch)) & 255),
                    static_cast<int>((wanted >> (8 * ch)) & 255), 48);
}

TEST_F(SeamRunTest, RefusalsTellWhyAndLeaveThePanorama) {
    const seam_test::Faces good = seam_test::UniformFaces(32, 32);
    CDIB empty;
    empty.Create(0, 0, 24);
    const CDIB oneBit(32, 32, 1);
    struct Case {
        const char* name;
        int face;  // replaced by `replacement`, -1 none
        const CDIB* replacement;
        int width, height;
        int answer;  // to the large-panorama question, 0 none asked
        std::string message;
    };
    const Case kCases[] = {
        {"empty face", 4, &empty, 64, 32, 0, "The Top face holds no picture."},
        {"missing face", 0, nullptr, 64, 32, 0, "The Left face holds no picture."},
        {"1-bit face", 5, &oneBit, 64, 32, 0, "The Bottom face cannot be converted to 24 bits."},
        {"width not a multiple of 16", -1, nullptr, 100, 32, 0,
         "100 by 32 is not a size a panorama can be seamed at."},
        {"too large", -1, nullptr, 16400, 16, 0,
         "16400 by 16 is not a size a panorama can be seamed at."},
        {"large size declined", -1, nullptr, 4016, 2000, platform::IDCANCEL,
         "4016 by 2000 is a very large panorama\nand this program may become unresponsive."},
    };
    for (const Case& c : kCases) {
        SeamRequest request = Request(good, c.width, c.height);
        if (c.face >= 0)
            request.faces[c.face] = c.replacement;
        if (c.answer != 0)
            backend_.AnswerNextMessageBox(c.answer);
        CDIB panorama(48, 48, 24);
        std::fill(panorama.GetBits().begin(), panorama.GetBits().end(), std::uint8_t{7});
        ScriptedProgress progress;
        const std::size_t before = Messages().size();
        const SeamResult result = RunSeam(request, panorama, progress);
        EXPECT_FALSE(result.completed) << c.name;
        EXPECT_FALSE(result.pixelsWritten) << c.name;
        ASSERT_EQ(Messages().size(), before + 1) << c.name;
        EXPECT_EQ(Messages().back(), c.message) << c.name;
        EXPECT_EQ(backend_.MessageBoxes().back().caption, "Cubestitch") << c.name;
        EXPECT_EQ(panorama.GetWidth(), 48) << c.name;
        EXPECT_TRUE(std::ranges::all_of(panorama.GetBits(), [](std::uint8_t b) { return b == 7; }))
            << c.name;
    }
}

TEST_F(SeamRunTest, LargeSizesAskFromAboveEightMillionPixels) {
    const seam_test::Faces faces = seam_test::UniformFaces(16, 16);
    struct Case {
        int width, height;
        bool asked;
    };
    for (const Case& c : {Case{4000, 2000, false}, Case{4016, 2000, true}}) {
        const std::size_t before = Messages().size();
        CDIB panorama;
        ScriptedProgress cancelAtOnce(0);  // answered OK by default; stopped at the first block
        const SeamResult result =
            RunSeam(Request(faces, c.width, c.height), panorama, cancelAtOnce);
        EXPECT_EQ(Messages().size(), before + (c.asked ? 1 : 0)) << c.width;
        EXPECT_FALSE(result.completed) << c.width;
        EXPECT_EQ(panorama.GetWidth(), c.width);
    }
}

TEST_F(SeamRunTest, AReusedPanoramaIsRewrittenWhole) {
    const seam_test::Faces faces = seam_test::UniformFaces(32, 32);
    CDIB fresh;
    ScriptedProgress progress;
    ASSERT_TRUE(RunSeam(Request(faces, 64, 32), fresh, progress).completed);

    CDIB reused(64, 32, 24);
    std::fill(reused.GetBits().begin(), reused.GetBits().end(), std::uint8_t{0x5A});
    const std::uint8_t* block = reused.GetBits().data();
    ScriptedProgress again;
    ASSERT_TRUE(RunSeam(Request(faces, 64, 32), reused, again).completed);
    EXPECT_EQ(reused.GetBits().data(), block);  // the same bitmap, not a new one
    EXPECT_TRUE(std::ranges::equal(reused.GetBits(), fresh.GetBits()));

    CDIB otherSize(32, 16, 24);
    ScriptedProgress third;
    ASSERT_TRUE(RunSeam(Request(faces, 64, 32), otherSize, third).completed);
    EXPECT_TRUE(std::ranges::equal(otherSize.GetBits(), fresh.GetBits()));
}

TEST_F(SeamRunTest, CancelStopsTheWorkerThenASeamRunsAgain) {
    std::array<FaceSize, kCubeFaceCount> sizes{};
    sizes.fill({128, 128});
    const seam_test::Faces faces = seam_test::TexturedFaces(sizes);
    CDIB complete(512, 256, 24);
    ASSERT_EQ(FillCubePanorama(faces.Set(), complete).status, AssemblyStatus::Done);

    for (int round = 0; round < 3; ++round) {
        CDIB panorama;
        ScriptedProgress cancelHalfway(50);
        const SeamResult cancelled = RunSeam(Request(faces, 512, 256), panorama, cancelHalfway);
        // The worker has ended at the first block of the half-way row: the rows above are in
        // the panorama, the rest is black.
        EXPECT_FALSE(cancelled.completed);
        EXPECT_TRUE(cancelled.pixelsWritten);
        ASSERT_EQ(panorama.GetWidth(), 512);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 512; x += 37)
                ASSERT_EQ(PixelValue(panorama, x, y), y < 128 ? PixelValue(complete, x, y) : 0u)
                    << x << ", " << y;

        ScriptedProgress whole;
        const SeamResult done = RunSeam(Request(faces, 512, 256), panorama, whole);
        EXPECT_TRUE(done.completed);
        EXPECT_TRUE(std::ranges::equal(panorama.GetBits(), complete.GetBits()));
        EXPECT_GE(whole.Position(), 93);
    }
}

TEST_F(SeamRunTest, ABatchRunCannotBeCancelled) {
    const seam_test::Faces faces = seam_test::UniformFaces(32, 32);
    SeamRequest request = Request(faces, 32, 16);
    for (bool batch : {false, true}) {
        request.batch = batch;
        CDIB panorama;
        ScriptedProgress progress;
        EXPECT_TRUE(RunSeam(request, panorama, progress).completed);
        EXPECT_EQ(progress.cancellable_, !batch);
        // 32 x 16: one block row, position 0 only.
        EXPECT_EQ(progress.Position(), 0);
    }
}

}  // namespace
