#include "apps/cubestitch/batch_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <optional>

#include "apps/cubestitch/out_of_memory.h"
#include "apps/cubestitch/seam_frame.h"
#include "bitmap/block_allocation.h"
#include "tests/apps/cubestitch/seam_test_support.h"

namespace cubestitch {
namespace {

class BatchRunTest : public SeamTest {
  protected:
    void SetUp() override {
        SeamTest::SetUp();
        settings_.WriteWidth(64);
        settings_.WriteHeight(32);
        SeamFrameServices services = RecordingServices();
        const AskUser record = services.ask;
        // Each message also notes the title the frame showed when it came.
        services.ask = [this, record](std::string_view text, std::uint32_t type) {
            titles_.push_back(frame_->windowTitle().toStdString());
            return record(text, type);
        };
        frame_ = std::make_unique<CSeamFrame>(settings_, services);
        frame_->SetBatch(true);
        for (int k = 0; k < kCubeFaceCount; ++k)
            faces_.push_back(WritePicture("face" + std::to_string(k) + ".bmp", 8 + k, 5));
    }
    void TearDown() override {
        frame_.reset();
        SeamTest::TearDown();
    }
    BatchResult Run(const std::vector<std::string>& args) {
        CSeamCommandLineInfo info;
        ParseSeamCommandLine(args, info);
        return RunBatch(*frame_, info);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const AskedMessage& m : messages_)
            texts.push_back(m.text);
        return texts;
    }

    std::unique_ptr<CSeamFrame> frame_;
    std::vector<std::string> faces_;
    std::vector<std::string> titles_;
};

TEST_F(BatchRunTest, FlagsTurnTheFacesInTheirOrder) {
    using Turn = int (CDIB::*)();
    struct Case {
        const char* name;
        std::vector<std::string> flags;  // after the face
        std::vector<Turn> turns;
    };
    const Case cases[] = {
        {"none", {}, {}},
        {"rotate then mirror", {"-r90", "-FH"}, {&CDIB::Rotate90, &CDIB::FlipHorizontal}},
        {"mirror then rotate", {"-fh", "/R90"}, {&CDIB::FlipHorizontal, &CDIB::Rotate90}},
        {"long words, any case",
         {"-Rotate180", "-FLIPVERTICAL"},
         {&CDIB::Rotate180, &CDIB::FlipVertical}},
        {"quoted with blanks", {"- r270 "}, {&CDIB::Rotate270}},
        {"unknown flag does nothing", {"-r45", "-fh"}, {&CDIB::FlipHorizontal}},
    };
    // One case per face, all six in one run; the flag before the first name does nothing.
    std::vector<std::string> args = {"-r90"};
    for (int k = 0; k < kCubeFaceCount; ++k) {
        args.push_back(faces_[static_cast<std::size_t>(k)]);
        const auto& flags = cases[k].flags;
        args.insert(args.end(), flags.begin(), flags.end());
    }
    EXPECT_EQ(Run(args), BatchResult::FacesLoaded);
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(compressorRuns_.empty());
    for (int k = 0; k < kCubeFaceCount; ++k) {
        CDIB expected = PatternPicture(8 + k, 5);
        for (Turn turn : cases[k].turns)
            (expected.*turn)();
        EXPECT_TRUE(SamePixels(frame_->FacePane(k).Bitmap(), expected)) << cases[k].name;
    }
    EXPECT_EQ(frame_->windowTitle(), "Cubestitch");
    EXPECT_FALSE(frame_->IsModified());
}

TEST_F(BatchRunTest, SevenNamesSeamAndSave) {
    const std::string output = Scratch("Out Put.pan");
    std::vector<std::string> args(faces_.begin(), faces_.end());
    args.push_back(output);
    args.push_back("-r90");  // stored with the output, never replayed
    EXPECT_EQ(Run(args), BatchResult::Written);
    EXPECT_TRUE(messages_.empty()) << (messages_.empty() ? "" : messages_[0].text);
    ASSERT_EQ(compressorRuns_.size(), 1u);
    EXPECT_EQ(compressorRuns_[0][1], output);
    CDIB written;  // the stand-in compressor copies the bitmap it was given
    ASSERT_EQ(written.Load(output), 1);
    EXPECT_EQ(written.GetWidth(), 64);
    EXPECT_EQ(written.GetHeight(), 32);
    EXPECT_TRUE(SamePixels(written, frame_->PanoramaPane().Bitmap()));
    EXPECT_FALSE(frame_->IsModified());
    EXPECT_EQ(ExitStatusOf(BatchResult::Written), 0);
}

// Memory for the faces (a few hundred bytes each) but not for the 64 x 32 panorama.
void* NoBigBlocks(std::size_t count, std::size_t size) {
    return count * size > 1000 ? nullptr : std::calloc(count, size);
}

TEST_F(BatchRunTest, FailuresStopTheRunAndWriteNothing) {
    const std::string junk = Scratch("junk.bmp");
    std::ofstream(junk) << "BM but not a bitmap";
    const std::string output = Scratch("out.pan");
    struct Case {
        const char* name;
        int badFace;  // -1: all faces good
        bool compressorStarts;
        int compressorStatus;
        std::string extra;  // a name after the output
        BatchResult result;
        std::vector<std::string> messages;
        bool noMemoryForPanorama = false;
    };
    using enum BatchResult;
    const Case cases[] = {
        // First, while the panorama is still to be made; the message goes to standard error.
        {"no memory for the panorama", -1, true, 0, "", SeamFailed, {}, true},
        {"bad face", 2, true, 0, "", FaceFailed, {"Failed to load image " + junk}},
        {"compressor missing", -1, false, 0, "", SaveFailed, {"Failed to find Compactor.exe"}},
        {"compressor failed", -1, true, 1, "", SaveFailed, {"Failed to save file"}},
        {"8th", -1, true, 0, "x.pan", TooManyNames, {"Too many names on the command line: x.pan"}},
    };
    for (const Case& c : cases) {
        messages_.clear();
        titles_.clear();
        compressorRuns_.clear();
        compressorStarts_ = c.compressorStarts;
        compressorStatus_ = c.compressorStatus;
        std::vector<std::string> args(faces_.begin(), faces_.end());
        if (c.badFace >= 0)
            args[static_cast<std::size_t>(c.badFace)] = junk;
        args.push_back(output);
        if (!c.extra.empty())
            args.push_back(c.extra);
        std::optional<ScopedBitmapBlockAllocator> failing;
        if (c.noMemoryForPanorama) {
            failing.emplace(&NoBigBlocks);
            InstallOutOfMemoryHandler();
            testing::internal::CaptureStderr();
        }
        const BatchResult result = Run(args);
        if (c.noMemoryForPanorama) {
            EXPECT_EQ(testing::internal::GetCapturedStderr(),
                      "Cubestitch: Error Creating Bitmap\n");
            std::set_new_handler(nullptr);
            failing.reset();
            EXPECT_TRUE(frame_->PanoramaPane().Bitmap().IsEmpty());
        }
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_NE(ExitStatusOf(result), 0) << c.name;
        EXPECT_EQ(Texts(), c.messages) << c.name;
        EXPECT_FALSE(std::filesystem::exists(output)) << c.name;
        if (c.badFace >= 0) {
            EXPECT_TRUE(compressorRuns_.empty()) << c.name;
            // The title named the face being loaded when its message came.
            EXPECT_EQ(titles_, std::vector<std::string>{"Loading " + junk});
        }
        EXPECT_EQ(frame_->windowTitle(), "Cubestitch") << c.name;
    }
}

}  // namespace
}  // namespace cubestitch
