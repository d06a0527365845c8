#pragma once
// Test helpers for Cubestitch: a scratch folder, settings kept in it, a recorder of message
// boxes that answers from a list, and a compressor stand-in that records its arguments.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/cubestitch/seam_frame.h"
#include "apps/cubestitch/seam_settings.h"
#include "bitmap/cdib.h"

class QApplication;

// The one QApplication of the test program (offscreen), made on first use.
QApplication& TestApplication();

struct AskedMessage {
    std::string text;
    std::uint32_t type = 0;
};

class SeamTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string Scratch(const std::string& name) const { return (root_ / name).string(); }

    // Services that record every message (answered from `answers_`, else OK), open the files
    // queued in `openPaths_` (an empty entry is a cancelled dialog), save to `savePath_`
    // (empty: cancelled), and run the compressor stand-in.
    cubestitch::SeamFrameServices RecordingServices();

    // Writes a width x height picture whose every pixel differs (24 bits unless said).
    std::string WritePicture(const std::string& name, int width, int height, int bits = 24);

    std::filesystem::path root_;
    cubestitch::SeamSettings settings_{""};
    std::vector<AskedMessage> messages_;
    std::deque<int> answers_;
    std::deque<std::string> openPaths_;
    std::vector<std::string> openTitles_;
    std::string savePath_;
    std::vector<std::vector<std::string>> compressorRuns_;
    bool compressorStarts_ = true;
    int compressorStatus_ = 0;
    int helpContext_ = -1;
    bool helpOpens_ = true;
};

// A picture whose pixel (x, y) has red x, green y and blue x ^ y (modulo 256).
CDIB PatternPicture(int width, int height);

// Whether two bitmaps have the same size and the same colours everywhere.
bool SamePixels(const CDIB& a, const CDIB& b);
