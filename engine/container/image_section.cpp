#include "engine/container/image_section.h"

bool IsStorableImageFile(std::span<const std::uint8_t> file) {
    return file.size() >= 2 &&
           ((file[0] == 'B' && file[1] == 'M') || (file[0] == 0xFF && file[1] == 0xD8));
}
