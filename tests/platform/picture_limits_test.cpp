#include "platform/picture_limits.h"

#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// Block sizes under the real ceiling: padding, the largest legal pictures and those just over.
TEST(PictureLimits, BlockSizesAgainstTheCeiling) {
    const struct {
        const char* name;
        std::int64_t width, height;
        int bits;
        std::uint64_t info;
        std::optional<std::uint64_t> bytes;
    } cases[] = {
        {"rows padded to 4 bytes", 5, 2, 24, 40, 40 + 16 * 2},
        {"8 bits with colours", 3, 3, 8, 1064, 1064 + 4 * 3},
        {"16384 x 16384 at 24 bits", 16384, 16384, 24, 40, 40 + std::uint64_t{49152} * 16384},
        {"one row over the pixel ceiling", 16384, 16385, 24, 40, std::nullopt},
        {"a long thin picture over it", std::int64_t{1} << 28, 2, 8, 40, std::nullopt},
        {"pixels within, bytes over (32 bits)", 16384, 16384, 32, 40, std::nullopt},
        {"exactly 1 GiB with its header", 16384, 16384, 32, 0, kGiB},
        {"no width", 0, 10, 24, 40, std::nullopt},
        {"negative height", 10, -1, 24, 40, std::nullopt},
        {"sides that would wrap", std::int64_t{1} << 40, std::int64_t{1} << 40, 24, 40,
         std::nullopt},
        {"no depth", 4, 4, 0, 40, std::nullopt},
        {"header alone over it", 1, 1, 8, kGiB, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::PictureBlockBytes(c.width, c.height, c.bits, c.info), c.bytes) << c.name;
}

TEST(PictureLimits, ScopedCeilingIsRestored) {
    {
        const platform::ScopedPictureCap outer({100, 1000});
        EXPECT_TRUE(platform::PictureBlockBytes(10, 10, 8, 0));
        EXPECT_FALSE(platform::PictureBlockBytes(10, 11, 8, 0));
        {
            const platform::ScopedPictureCap inner({1000, 100});
            EXPECT_FALSE(platform::PictureBlockBytes(10, 11, 8, 0));
            EXPECT_TRUE(platform::PictureBlockBytes(12, 8, 8, 4));
        }
        EXPECT_EQ(platform::CurrentPictureCap().pixels, 100U);
    }
    EXPECT_EQ(platform::CurrentPictureCap().pixels, platform::kMaxPicturePixels);
    EXPECT_EQ(platform::CurrentPictureCap().bytes, platform::kMaxPictureBytes);
}

}  // namespace
