// Image records (bitmap, JPEG, codec-compressed) decoded at every display depth: the first byte
// picks the depth, the rest is the record. A decoded picture must be as large as its header says.

#include <cstdlib>

#include "engine/imaging/image_decoder.h"
#include "engine/imaging/load_error.h"
#include "fuzz/fuzz_support.h"
#include "platform/display_depth.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    if (size == 0)
        return 0;
    constexpr int kDepths[] = {8, 15, 16, 24, 32};
    platform::OverrideDisplayDepth(kDepths[data[0] % 5]);
    try {
        const GlobalDib dib = DecompressImage(fuzz::Input(data + 1, size - 1));
        const platform::BitmapInfoHeader header = dib.Header();
        const std::size_t rows = static_cast<std::size_t>(header.biHeight);
        if (header.biWidth <= 0 || header.biHeight <= 0 ||
            dib.PixelBytes().size() / platform::DibRowStride(header.biWidth, header.biBitCount) <
                rows) {
            std::abort();
        }
    } catch (const LoadError&) {
    }
    return 0;
}
