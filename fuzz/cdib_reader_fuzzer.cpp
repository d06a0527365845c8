// The bitmap class's reader, and what a program does next with a bitmap it read: depth changes
// (codec-compressed ones through the codec bridge), turns, flips and sampling.

#include <sstream>
#include <string>

#include "bitmap/cdib.h"
#include "fuzz/fuzz_support.h"
#include "platform/codec/codec_bridge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    platform::InstallCodecDecoder(platform::DecodeCompressedPicture);
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    CDIB dib;
    if (dib.Read(in) != 1)
        return 0;
    constexpr int kDepths[] = {16, 24, 32, 8};
    dib.ChangeBitDepth(kDepths[choice % 4]);
    switch ((choice >> 2) % 4) {
        case 0:
            dib.Rotate90();
            break;
        case 1:
            dib.FlipHorizontal();
            break;
        case 2:
            dib.FlipVertical();
            break;
        default:
            dib.Rotate270();
            break;
    }
    std::uint8_t bgr[3];
    dib.SampleBilinear((choice >> 4) / 15.0, 0.5, bgr);
    std::ostringstream out;
    dib.Write(out);
    return 0;
}
