// Avatar files (plain or run-length coded) read from bytes, and what the viewer does with an
// 8-bit one over an 8-bit panorama: its colours matched to the panorama's. A file read must
// hold the picture its header describes, and write back to a file with the same pixels.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/avatar_file/avatar_file.h"
#include "engine/viewer/avatar.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    AvatarRead read = ParseAvatarFile(fuzz::Input(data, size));
    if (read.fault != AvatarFault::None)
        return 0;
    const std::optional<PackedDibShape> shape = CheckedShape(read.image);
    if (!shape)
        std::abort();
    if (const std::optional<std::vector<std::uint8_t>> file = EncodeAvatarFile(read.image)) {
        const AvatarRead again = ParseAvatarFile(*file);
        if (again.fault != AvatarFault::None || again.image.size() != read.image.size() ||
            !std::equal(again.image.begin() + static_cast<std::ptrdiff_t>(shape->pixelOffset),
                        again.image.end(),
                        read.image.begin() + static_cast<std::ptrdiff_t>(shape->pixelOffset))) {
            std::abort();
        }
    }
    if (shape->bitCount == 8) {
        std::vector<std::uint8_t> grey(kPaletteBytes);
        for (std::size_t i = 0; i < grey.size(); ++i)
            grey[i] = static_cast<std::uint8_t>(i / 4);
        MatchAvatarPalette(read.image, grey.data());
    }
    return 0;
}
