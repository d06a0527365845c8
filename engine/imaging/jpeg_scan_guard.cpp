#include "engine/imaging/jpeg_scan_guard.h"

#include <limits>

#include "engine/imaging/jpeg_error_hooks.h"

namespace {

// The blocks one scan covers: every block of each of its components.
std::uint64_t ScanBlocks(const jpeg_decompress_struct& info) {
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.comps_in_scan; ++c) {
        const jpeg_component_info& component = *info.cur_comp_info[c];
        blocks += std::uint64_t{component.width_in_blocks} * component.height_in_blocks;
    }
    return blocks;
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
    guard.blocksRead += ScanBlocks(info);
    if (guard.blocksRead > guard.blockBudget)
        FailJpegCoding(common, "JPEG stream refused: its scans cover too many blocks");
}

}  // namespace

void InstallJpegScanGuard(jpeg_decompress_struct& info, JpegScanGuard& guard,
                          std::uint64_t workingBytes) {
    guard.library = {};
    guard.library.progress_monitor = WatchScans;
    guard.scan = 0;
    guard.blocksRead = 0;
    // A single-scan stream is read once, as its rows come out: its cost is its picture's.
    guard.blockBudget = jpeg_has_multiple_scans(&info)
                            ? kJpegBlockPasses * (workingBytes / (DCTSIZE2 * sizeof(JCOEF)))
                            : std::numeric_limits<std::uint64_t>::max();
    info.progress = &guard.library;
}
