#include "engine/imaging/jpeg_scan_guard.h"

#include <limits>

#include "engine/imaging/jpeg_error_hooks.h"

namespace {

// The work one scan asks for, in units of about 10 ns: the blocks of its components, each
// weighted by what reading a block of such a scan costs when its data is as short as it can be
// (measured on 1.5 Mi blocks): an AC first scan skips blocks in end-of-band runs (1); a DC
// refinement reads a bit a block (2); a DC first or sequential scan decodes a code or two a
// block (4); an AC refinement visits every coefficient of its band in every block (3, and 1
// more for each 8 coefficients of the band).
std::uint64_t ScanWork(const jpeg_decompress_struct& info) {
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.comps_in_scan; ++c) {
        const jpeg_component_info& component = *info.cur_comp_info[c];
        blocks += std::uint64_t{component.width_in_blocks} * component.height_in_blocks;
    }
    std::uint64_t weight = 4;
    if (info.progressive_mode && info.Ss > 0) {
        const int band = info.Se >= info.Ss ? info.Se - info.Ss + 1 : 0;
        weight = info.Ah == 0 ? 1 : 3 + static_cast<std::uint64_t>(band / 8);
    } else if (info.progressive_mode && info.Ah != 0) {
        weight = 2;
    }
    return blocks * weight;
}

// Runs before each row of input or output; a new scan's parameters are in place by the first
// call after its header was read, before any of its data.
void WatchScans(j_common_ptr common) {
    if (!common->is_decompressor)
        return;
    const auto& info = *reinterpret_cast<j_decompress_ptr>(common);
    auto& guard = *reinterpret_cast<JpegScanGuard*>(info.progress);
    if (info.input_scan_number == guard.scan)
        return;
    guard.scan = info.input_scan_number;
    if (guard.scan > kMaxJpegScans) {
        char text[JMSG_LENGTH_MAX];
        std::snprintf(text, sizeof text, "JPEG stream refused: more than %d scans", kMaxJpegScans);
        FailJpegCoding(common, text);
    }
    guard.work += ScanWork(info);
    if (guard.work > guard.workBudget)
        FailJpegCoding(common, "JPEG stream refused: its scans ask for too much work");
}

}  // namespace

void InstallJpegScanGuard(jpeg_decompress_struct& info, JpegScanGuard& guard,
                          std::uint64_t workingBytes) {
    guard.library = {};
    guard.library.progress_monitor = WatchScans;
    guard.scan = 0;
    guard.work = 0;
    // A single-scan stream is read once, as its rows come out: its cost is its picture's.
    guard.workBudget = jpeg_has_multiple_scans(&info)
                           ? kJpegWorkPasses * (workingBytes / (DCTSIZE2 * sizeof(JCOEF)))
                           : std::numeric_limits<std::uint64_t>::max();
    info.progress = &guard.library;
}
