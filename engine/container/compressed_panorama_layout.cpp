#include "engine/container/compressed_panorama_layout.h"

#include <algorithm>
#include <limits>

#include "engine/container/container_layout.h"
#include "engine/container/image_section.h"

std::optional<std::vector<std::uint8_t>> BuildCompressedPanorama(
    std::span<const std::uint8_t> image, const InitValues& init) {
    constexpr std::uint32_t kInitOffset = 48;
    constexpr std::uint32_t kImageOffset = kInitOffset + kInitSectionSize;
    if (image.empty() || image.size() > std::numeric_limits<std::uint32_t>::max() - kImageOffset) {
        return std::nullopt;
    }
    const auto imageSize = static_cast<std::uint32_t>(image.size());
    std::vector<std::uint8_t> file(kImageOffset + image.size());
    WriteContainerHeader(file.data(), {kContainerMagic, kImageOffset + imageSize, 2, 0});
    WriteSectionEntry(file.data() + kContainerHeaderSize,
                      {NormalizeName(kInitSectionName), kInitOffset,
                       static_cast<std::uint32_t>(kInitSectionSize), 0});
    WriteSectionEntry(file.data() + kContainerHeaderSize + kSectionEntrySize,
                      {NormalizeName(kImageSectionName), kImageOffset, imageSize, 0});
    const InitSectionBytes initBytes = BuildInitSection(init);
    std::copy(initBytes.begin(), initBytes.end(), file.begin() + kInitOffset);
    std::copy(image.begin(), image.end(), file.begin() + kImageOffset);
    return file;
}
