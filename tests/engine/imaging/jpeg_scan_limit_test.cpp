// The bounds on a JPEG stream's scans: streams whose scans would keep the decoder reading long
// before the first row (scans past the limit, repeated warnings, more work than the passes over
// the working memory allow) are refused with the load path's text, at every display depth; long
// consistent progressions decode.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/imaging/image_decoder.h"
#include "engine/imaging/jpeg_scan_guard.h"
#include "engine/imaging/load_error.h"
#include "platform/display_depth.h"
#include "platform/picture_limits.h"
#include "tests/engine/imaging/progressive_scans_jpeg.h"
#include "tests/platform/trace/stand_in_trace_monitor.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 64 x 64 grey stream: a DC scan (unless not asked for), an AC first scan of coefficients 1 to
// 63 at point transform 1 and its refinement (when asked for), then `acScans` AC first scans of
// coefficients 1 to 63.
Bytes GreyScans(bool dcScan, int acScans, bool refinement = false) {
    ProgressiveScansJpeg jpeg(64, 64, 1);
    if (dcScan)
        jpeg.DcScan();
    if (refinement)
        jpeg.AcScan(0, 1, 63, 0, 1).AcScan(0, 1, 63, 1, 0);
    for (int s = 0; s < acScans; ++s)
        jpeg.AcScan(0, 1, 63, 0, 0);
    return jpeg.Finish();
}

// "decoded", or the load path's text; `traced` gets every text sent to the trace monitor.
std::string Outcome(const Bytes& stream, int depth, std::uint64_t working, std::string& traced) {
    const StandInTraceMonitor monitor;
    platform::OverrideDisplayDepth(depth);
    std::optional<platform::ScopedPictureCap> cap;
    if (working != 0)
        cap.emplace(platform::PictureCap{.working = working});
    std::string outcome = "decoded";
    try {
        DecompressImage(stream);
    } catch (const LoadError& error) {
        outcome = error.what();
    }
    platform::ClearDisplayDepthOverride();
    while (const std::optional<std::string> text = monitor.Receive())
        traced += *text;
    return outcome;
}

TEST(JpegScanLimit, ScansWarningsAndWorkPastTheirBoundsAreRefused) {
    Bytes cut = GreyScans(true, 0);
    cut.erase(cut.end() - 2, cut.end());  // the end-of-image marker
    cut.insert(cut.end(), {0xFF, 0xFE, 0x03, 0xE8, 'c', 'u', 't'});
    // 64 x 64 grey keeps 64 blocks of coefficients: a working memory of just those allows as
    // much work as the passes over them. A DC first scan counts 4 passes, an AC first scan 1,
    // the refinement of 63 coefficients 3 + 63 / 8 = 10.
    const int passes = static_cast<int>(kJpegWorkPasses);
    constexpr std::uint64_t kBlocks = 64 * 128;
    const char* const kTooMuchWork = "its scans ask for too much work";
    const struct {
        const char* name;
        Bytes stream;
        std::uint64_t working;  // 0: the default
        const char* refusal;    // what the trace says; null when the stream decodes
    } cases[] = {
        {"every coefficient refined bit by bit, 256 scans", RefinedScansJpeg(64, 64, 3), 0,
         nullptr},
        {"500 scans", GreyScans(true, 499), 0, nullptr},
        {"501 scans", GreyScans(true, 500), 0, "more than 500 scans"},
        {"no DC scan, 16 AC scans, 16 warnings", GreyScans(false, 16), 0, nullptr},
        // The library skips a cut segment's missing bytes asking for more two at a time.
        {"cut inside a comment segment after a scan, one warning", cut, 0, nullptr},
        {"no DC scan, 17 AC scans, 17 warnings", GreyScans(false, 17), 0,
         "more than 16 warnings, the last: Inconsistent progression sequence"},
        {"first scans at the work bound", GreyScans(true, passes - 4), kBlocks, nullptr},
        {"first scans past it", GreyScans(true, passes - 3), kBlocks, kTooMuchWork},
        {"first scans past it, the default working memory", GreyScans(true, passes - 3), 0,
         nullptr},
        {"a refinement at the work bound", GreyScans(true, passes - 15, true), kBlocks, nullptr},
        {"a refinement past it", GreyScans(true, passes - 14, true), kBlocks, kTooMuchWork},
    };
    for (const auto& c : cases) {
        for (const int depth : {24, 8}) {
            std::string traced;
            const std::string outcome = Outcome(c.stream, depth, c.working, traced);
            EXPECT_EQ(outcome, c.refusal ? "Unsupported file fomat" : "decoded")
                << c.name << " at depth " << depth;
            if (c.refusal) {
                EXPECT_NE(traced.find(c.refusal), std::string::npos)
                    << c.name << " at depth " << depth << " traced " << traced;
            }
        }
    }
}

}  // namespace
