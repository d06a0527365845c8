// A JPEG stream whose scans would keep the decoder reading long before the first row (past 500
// scans, 16 warnings, or the work the passes over its working memory allow) is refused with the
// load path's text at every display depth; long consistent progressions decode.

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

// A 64 x 64 grey stream: a DC scan when `dc`, AC scans of coefficients 1 to 63 first at point
// transform 1 and refined when `refined`, then `acScans` AC first scans of them.
Bytes GreyScans(bool dc, int acScans, bool refined = false) {
    ProgressiveScansJpeg jpeg(64, 64, 1);
    if (dc)
        jpeg.DcScan();
    if (refined)
        jpeg.AcScan(0, 1, 63, 0, 1).AcScan(0, 1, 63, 1, 0);
    for (int s = 0; s < acScans; ++s)
        jpeg.AcScan(0, 1, 63, 0, 0);
    return jpeg.Finish();
}

TEST(JpegScanLimit, ScansWarningsAndWorkPastTheirBoundsAreRefused) {
    // Every coefficient alone, first at point transform 3 and refined bit by bit: 256 scans.
    ProgressiveScansJpeg refined(64, 64, 1);
    for (int k = 0; k < 64; ++k) {
        for (int al = 3; al >= 0; --al)
            k == 0 ? refined.DcScan(al == 3 ? 0 : al + 1, al)
                   : refined.AcScan(0, k, k, al == 3 ? 0 : al + 1, al);
    }
    Bytes cut = GreyScans(true, 0);
    cut.erase(cut.end() - 2, cut.end());  // the end-of-image marker
    cut.insert(cut.end(), {0xFF, 0xFE, 0x03, 0xE8, 'c', 'u', 't'});
    // 64 x 64 grey keeps 64 blocks of coefficients: a working memory of just those allows as
    // much work as the passes over them. A DC first scan counts 4 passes, an AC first scan 1,
    // the refinement of 63 coefficients 3 + 63 / 8 = 10.
    const int passes = static_cast<int>(kJpegWorkPasses);
    constexpr std::uint64_t kBlocks = 64 * 128;
    const std::string tooMuchWork = "its scans ask for too much work";
    const struct {
        const char* name;
        Bytes stream;
        std::string refusal;  // what the trace says; empty when the stream decodes
        std::uint64_t working = platform::kMaxDecoderWorkingBytes;
    } cases[] = {
        {"every coefficient refined bit by bit", refined.Finish(), ""},
        {"500 scans", GreyScans(true, 499), ""},
        {"501 scans", GreyScans(true, 500), "more than 500 scans"},
        {"no DC scan, 16 AC scans, 16 warnings", GreyScans(false, 16), ""},
        // The library skips a cut segment's missing bytes asking for more two at a time.
        {"cut inside a comment segment after a scan, one warning", cut, ""},
        {"no DC scan, 17 AC scans, 17 warnings", GreyScans(false, 17),
         "more than 16 warnings, the last: Inconsistent progression sequence"},
        {"first scans at the work bound", GreyScans(true, passes - 4), "", kBlocks},
        {"first scans past it", GreyScans(true, passes - 3), tooMuchWork, kBlocks},
        {"first scans past it, the default working memory", GreyScans(true, passes - 3), ""},
        {"a refinement at the work bound", GreyScans(true, passes - 15, true), "", kBlocks},
        {"a refinement past it", GreyScans(true, passes - 14, true), tooMuchWork, kBlocks},
    };
    for (const auto& c : cases) {
        for (const int depth : {24, 8}) {
            const StandInTraceMonitor monitor;
            const platform::ScopedPictureCap cap({.working = c.working});
            platform::OverrideDisplayDepth(depth);
            std::string outcome = "decoded", traced;
            try {
                DecompressImage(c.stream);
            } catch (const LoadError& error) {
                outcome = error.what();
            }
            platform::ClearDisplayDepthOverride();
            while (const std::optional<std::string> text = monitor.Receive())
                traced += *text;
            EXPECT_EQ(outcome, c.refusal.empty() ? "decoded" : "Unsupported file fomat")
                << c.name << " at depth " << depth;
            EXPECT_NE(traced.find(c.refusal), std::string::npos)
                << c.name << " at depth " << depth << " traced " << traced;
        }
    }
}

}  // namespace
