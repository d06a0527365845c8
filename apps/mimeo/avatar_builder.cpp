#include "apps/mimeo/avatar_builder.h"

#include "apps/mimeo/colour_reduction.h"
#include "apps/mimeo/transparency.h"

bool GridFits(const PackedDib& image, int columns, int rows) {
    const platform::BitmapInfoHeader header = HeaderOf(image);
    return columns >= 1 && rows >= 1 && columns <= header.biWidth && rows <= header.biHeight;
}

std::optional<PackedDib> ReduceAvatarColours(PackedDib image, bool disableTransparency,
                                             bool blueScreen) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (disableTransparency || (shape && shape->bitCount == 8))
        return image;
    const std::vector<std::size_t> blue =
        blueScreen ? PureBluePixels(image) : std::vector<std::size_t>{};
    std::optional<PackedDib> reduced = ReduceTo256Colours(image);
    if (!reduced)
        return std::nullopt;
    if (blueScreen)
        ApplyBlueScreen(*reduced, blue);
    return reduced;
}
