// The pictures Mimeo builds avatars from (Targa, bitmap and avatar files), as its Open dialog
// or a drop hands them over, and the first frame of what was read as the previews draw it. The
// first byte chooses the file's name (an avatar name or not) and the depths allowed; the rest
// is the file.

#include <string>

#include "apps/mimeo/frame_image.h"
#include "apps/mimeo/image_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    if (size == 0)
        return 0;
    const bool avatarName = (data[0] & 1) != 0;
    const std::string path = avatarName ? "frames/walker.avt" : "frames/frame.tga";
    const auto file = fuzz::Input(data + 1, size - 1);
    const ImageRead read = avatarName ? ReadImageData(file, path, {32, 24, 8})
                                      : ReadImageData(file, path, {32, 24});
    if (!read.error.empty())
        return 0;
    if (!FrameSize(read.image).isEmpty())
        FrameImage(read.image, 0, 0, qRgb(0, 0, 0));
    return 0;
}
