#pragma once
// The bounds on the work a JPEG stream may ask of the decoder, checked as its scans are read.
// A progressive or multi-scan stream is read whole, scan by scan, before its first row comes
// out, and each scan costs 10 ns or more for every block it covers however few bytes it holds: a
// hostile stream of a few hundred kilobytes with thousands of scans that each cover every block
// kept a program busy for minutes. The guard, the library's progress monitor (called before
// each row of input or output), refuses the decode as a library error at the first scan past
// either bound:
//   - more than kMaxJpegScans scans. libjpeg's own progressions have 6 (grey) or 10 (colour),
//     optimising encoders a few dozen; 500 is the limit libjpeg-turbo's tools and fuzzers use,
//     room for a grey picture whose every coefficient comes in a scan of its own and is then
//     refined bit by bit six times (448 scans).
//   - in a multi-scan stream, more work than kJpegWorkPasses of the cheapest passes over the
//     blocks that the decoder's working memory (platform/picture_limits.h) can hold. A scan's
//     work is its blocks weighted by what reading one costs (jpeg_scan_guard.cpp): 1 for an AC
//     first scan, whose blocks pass in end-of-band runs, up to 10 for the refinement of a whole
//     band. At the largest coefficients a decoder keeps (1.5 Mi blocks), libjpeg's progressions
//     ask for about 24 (colour) or 28 (grey) passes so counted; 64 take about 1 s.
// Library warnings are bounded beside these, by the error hooks (jpeg_error_hooks.h).

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

inline constexpr int kMaxJpegScans = 500;
inline constexpr std::uint64_t kJpegWorkPasses = 64;

struct JpegScanGuard {
    jpeg_progress_mgr library;  // first: the library sees a pointer to this
    int scan;
    std::uint64_t work;
    std::uint64_t workBudget;
};

// Makes the decode of `info`, whose header has been read, refuse a stream past the bounds with
// the error hooks' jump (jpeg_error_hooks.h must be installed); `workingBytes` is the decoder's
// working memory. `guard` must outlive the decode. Same thread as the decode.
void InstallJpegScanGuard(jpeg_decompress_struct& info, JpegScanGuard& guard,
                          std::uint64_t workingBytes);
