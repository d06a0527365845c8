// JPEG streams through the JPEG glue: the first byte picks the depth and the flags, the rest is
// the stream; the size query and the decode into a new block must agree.

#include <cstdlib>

#include "engine/imaging/jpeg_glue.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    if (size == 0)
        return 0;
    constexpr int kDepths[] = {8, 15, 16, 24};
    const int depth = kDepths[data[0] % 4];
    const int flags = (data[0] >> 2) & 7;
    const std::span<const std::uint8_t> stream = fuzz::Input(data + 1, size - 1);
    platform::BitmapInfoHeader header;
    const std::size_t needed = DecodeJpeg(stream, header, {}, depth, flags);
    const GlobalDib dib = JpegToDib(stream, depth, flags);
    if (dib && dib.Size() != needed)
        std::abort();
    return 0;
}
