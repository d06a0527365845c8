#include "tests/apps/linksmith/headless_frame.h"

#include "apps/compactor/compactor_writers.h"
#include "bitmap/cdib.h"

Bytes CompactorPanorama() {
    CDIB picture(256, 128, 24);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 256; ++x) {
            picture.SetPixel(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(2 * y),
                             static_cast<std::uint8_t>(x + y));
        }
    }
    Bytes container;
    BuildPanoramaContainer(picture, 85, container);
    return container;
}
