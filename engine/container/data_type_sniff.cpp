#include "engine/container/data_type_sniff.h"

#include "platform/byte_order.h"

DataTypeCode SniffDataType(std::span<const std::uint8_t> block) {
    constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
    if (block.size() >= 2 && block[0] == 'B' && block[1] == 'M') {
        return DataTypeCode::Bitmap;
    }
    if (block.size() < 4) {
        return DataTypeCode::None;
    }
    const std::uint32_t first = platform::LoadLe32(block.data());
    if (first == kBitmapInfoHeaderSize) {
        return DataTypeCode::Bitmap;
    }
    if (block[0] == 0xFF && block[1] == 0xD8 && block[2] == 0xFF && block[3] == 0xE0) {
        return DataTypeCode::Jpeg;
    }
    if (first == static_cast<std::uint32_t>(DataTypeCode::Container)) {
        return DataTypeCode::Container;
    }
    return DataTypeCode::None;
}
