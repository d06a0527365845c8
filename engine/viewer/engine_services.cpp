#include "engine/viewer/engine_services.h"

#include <cstring>

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

}  // namespace

std::vector<std::uint8_t> DecodeImageRecord(const std::uint8_t* record, std::size_t size,
                                            std::string* error) {
    *error = "Unsupported file fomat";
    if (!record) return {};
    if (size >= 14 && record[0] == 'B' && record[1] == 'M') {
        record += 14;
        size -= 14;
    }
    if (size < 40 || Read32(record) != 40) return {};
    const auto width = static_cast<std::int32_t>(Read32(record + 4));
    const auto height = static_cast<std::int32_t>(Read32(record + 8));
    const int bits = record[14] | record[15] << 8;
    const std::uint32_t compression = Read32(record + 16);
    if (width <= 0 || height <= 0 || compression != 0 || (bits != 8 && bits != 24)) return {};
    const std::size_t colours = bits == 8 ? 1024 : 0;
    const std::size_t stride = (static_cast<std::size_t>(width) * (bits / 8) + 3) & ~std::size_t{3};
    const std::size_t needed = 40 + colours + stride * static_cast<std::size_t>(height);
    if (needed > size) return {};
    error->clear();
    return std::vector<std::uint8_t>(record, record + needed);
}

void TraceEngineText(const char*) {}
