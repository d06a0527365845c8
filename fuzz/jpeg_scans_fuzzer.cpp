// Progressive JPEG streams of many scans through the JPEG glue, expanded from a small script
// (fuzz/jpeg_scan_script.h): scans of any kind, order and count over every block of a picture up
// to the fuzz ceiling. The size query and the decode into a new block must agree, and a stream
// of more scans than the decoder's limit must never decode.

#include <cstdlib>

#include "engine/imaging/jpeg_glue.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/jpeg_scan_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    const fuzz::jpeg_scan_script::Expanded expanded =
        fuzz::jpeg_scan_script::Expand(fuzz::Input(data, size));
    if (expanded.stream.empty())
        return 0;
    platform::BitmapInfoHeader header;
    const std::size_t needed =
        DecodeJpeg(expanded.stream, header, {}, expanded.depth, expanded.flags);
    const GlobalDib dib = JpegToDib(expanded.stream, expanded.depth, expanded.flags);
    if (dib && dib.Size() != needed)
        std::abort();
    if (dib && !expanded.raw && expanded.scans > kMaxJpegScans)
        std::abort();
    return 0;
}
