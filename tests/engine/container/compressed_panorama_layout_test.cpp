#include <sys/mman.h>

#include <gtest/gtest.h>

#include "engine/container/compressed_panorama_layout.h"
#include "engine/container/section_archive.h"
#include "tests/engine/container/container_test_support.h"

namespace {

const Bytes kJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x10};

TEST(CompressedPanorama, PanoramaLayoutByteForByte) {
    const Bytes expected = {
        'H',  'V',  'X',  'K',  69,   0, 0, 0, 2,  0, 0, 0, 0, 0, 0, 0,  // header
        'I',  'N',  'I',  'T',  48,   0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0,  // INIT entry
        'B',  'T',  'M',  'P',  64,   0, 0, 0, 5,  0, 0, 0, 0, 0, 0, 0,  // BTMP entry
        0,    0,    0,    0,    0,    0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0,  // INIT data
        0xFF, 0xD8, 0xFF, 0xE0, 0x10,                                    // image
    };
    EXPECT_EQ(BuildCompressedPanorama(kJpeg, kPanoramaInitValues), expected);
}

// Sizes that 32 bits cannot count are refused before any byte is touched: the "data" is an
// inaccessible mapping, so a single read would crash the test.
TEST(SizeLimits, OversizedInputIsRefusedWithoutReadingIt) {
    const std::size_t size = (std::size_t{1} << 32) - 32;
    void* mapping =
        ::mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(mapping, MAP_FAILED);
    const std::span<const std::uint8_t> huge(static_cast<const std::uint8_t*>(mapping), size);

    EXPECT_FALSE(BuildCompressedPanorama(huge, kPanoramaInitValues).has_value());

    SectionArchive archive;
    EXPECT_EQ(archive.SetSection("BTMP", huge), 0u);  // 32 + size does not fit
    archive.SetSection("INIT", Bytes(16, 0));
    EXPECT_EQ(archive.SetSection("BTMP", huge), 0u);
    EXPECT_EQ(archive.SetSection("INIT", huge), 0u);
    EXPECT_EQ(archive.GetSectionSize("INIT"), 16u);
    EXPECT_EQ(archive.ListSections(), 48u);

    ::munmap(mapping, size);
}

}  // namespace
