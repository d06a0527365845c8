// The block warp's kernels: every kernel this processor offers writes exactly the reference's
// bytes, and only inside the block; and the vector kernels are only given jobs whose 16-byte
// reads stay inside the source.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "bitmap/block_warp.h"
#include "bitmap/cdib.h"

namespace {

constexpr std::int64_t kOne = 65536;

CDIB Noise(int width, int height, std::uint32_t seed) {
    CDIB dib(width, height, 24);
    for (std::uint8_t& byte : dib.GetBits()) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    return dib;
}

// The block at (x, y) of `target` from `source` with corners A, B, C, D in 16.16 (u, memory
// row v), as CDIB::WarpBlock sets it up.
BlockWarpJob JobFor(CDIB& target, int x, int y, const CDIB& source,
                    const std::array<std::int64_t, 8>& c) {
    const std::size_t stride = target.GetStride();
    return BlockWarpJobFor(target.GetBits().data() +
                               static_cast<std::size_t>(target.GetHeight() - 1 - y) * stride +
                               3 * x,
                           stride, source.GetBits().data(), source.GetStride(), c);
}

// Runs `job`'s block with every kernel on a copy of `target` and expects the reference's
// bytes over the whole picture.
void ExpectAllKernelsAgree(const CDIB& target, int x, int y, const CDIB& source,
                           const std::array<std::int64_t, 8>& corners, const char* name) {
    ASSERT_TRUE(VectorReadsStayInside(corners, source.GetHeight(), source.GetStride())) << name;
    CDIB expected(target);
    WarpBlockScalar(JobFor(expected, x, y, source, corners));
    for (const NamedBlockWarpKernel& kernel : AvailableBlockWarpKernels()) {
        CDIB got(target);
        kernel.run(JobFor(got, x, y, source, corners));
        EXPECT_TRUE(std::ranges::equal(got.GetBits(), expected.GetBits()))
            << kernel.name << ": " << name;
    }
}

TEST(BlockWarp, EveryKernelWritesTheReferenceBytes) {
    // 67 pixels: rows padded by 3 bytes; 64: no padding; 7: a source barely wider than a block
    // row's reads.
    const CDIB wide = Noise(67, 45, 1), even = Noise(64, 40, 2), narrow = Noise(7, 9, 3);
    const CDIB long_ = Noise(700, 20, 6);  // columns past 256: positions use more than 3 bytes
    CDIB target = Noise(37, 35, 4);        // the blocks below at x not a multiple of 4 or 16
    const std::int64_t half = kOne / 2, third = kOne / 3;
    struct Case {
        const char* name;
        const CDIB& source;
        int x, y;
        std::array<std::int64_t, 8> corners;
    };
    const Case kCases[] = {
        {"identity",
         wide,
         3,
         2,
         {5 * kOne, 7 * kOne, 21 * kOne, 7 * kOne, 5 * kOne, 23 * kOne, 21 * kOne, 23 * kOne}},
        {"fractions, scale 2.5",
         wide,
         21,
         19,
         {10 * kOne + third, 2 * kOne + half, 50 * kOne, 2 * kOne, 10 * kOne, 42 * kOne + third,
          50 * kOne + half, 42 * kOne}},
        {"rotated, mirrored, sheared",
         wide,
         0,
         0,
         {60 * kOne + 77, 40 * kOne + 5, 20 * kOne + 999, 3 * kOne, 45 * kOne, 1 * kOne + 3,
          2 * kOne + 31, 30 * kOne + 65535}},
        {"all corners equal",
         even,
         5,
         5,
         {33 * kOne + 123, 17 * kOne + 45678, 33 * kOne + 123, 17 * kOne + 45678, 33 * kOne + 123,
          17 * kOne + 45678, 33 * kOne + 123, 17 * kOne + 45678}},
        {"borders: first column, last column, row 1 and the highest row allowed",
         even,
         21,
         0,
         {kOne, kOne, 62 * kOne, kOne, kOne, 37 * kOne + 65535, 62 * kOne, 37 * kOne + 65535}},
        {"shrunk onto a source of 7 pixels",
         narrow,
         13,
         17,
         {kOne, 6 * kOne + 9, 5 * kOne + 7, kOne, 5 * kOne, 6 * kOne, kOne + 1, kOne}},
        {"far columns",
         long_,
         7,
         3,
         {650 * kOne + 5, 2 * kOne, 697 * kOne + 999, 3 * kOne + 7, 300 * kOne, 16 * kOne + 3,
          698 * kOne, 17 * kOne}},
        {"block at the target's bottom-right corner",
         wide,
         21,
         19,
         {64 * kOne, 40 * kOne, kOne, 40 * kOne, 64 * kOne, kOne, kOne, kOne}},
    };
    for (const Case& c : kCases)
        ExpectAllKernelsAgree(target, c.x, c.y, c.source, c.corners, c.name);

    // Random warps anywhere the vector kernels may go: scales up to 4, any turn or mirror.
    std::uint32_t seed = 99;
    const auto next = [&seed](std::int64_t range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::int64_t>(seed >> 8) % range;
    };
    for (int i = 0; i < 300; ++i) {
        std::array<std::int64_t, 8> corners{};
        for (std::size_t k = 0; k < corners.size(); k += 2) {
            corners[k] = kOne + next(64 * kOne);      // columns 1 .. 65 of 67
            corners[k + 1] = kOne + next(42 * kOne);  // memory rows 1 .. 42 of 45
        }
        ExpectAllKernelsAgree(target, static_cast<int>(next(22)), static_cast<int>(next(20)), wide,
                              corners, "random");
    }
}

TEST(BlockWarp, VectorReadsOnlyWhereTheyStayInside) {
    const CDIB source = Noise(64, 40, 5);  // no row padding: the pixels end the block
    struct Case {
        const char* name;
        std::array<std::int64_t, 8> corners;
        bool allowed;
    };
    const std::int64_t lastRowAllowed = 37 * kOne + 65535;
    const Case kCases[] = {
        {"highest row read is the one below the top",
         {kOne, kOne, kOne, lastRowAllowed, kOne, kOne, kOne, kOne},
         true},
        {"would read the top memory row's end",
         {kOne, kOne, kOne, 38 * kOne, kOne, kOne, kOne, kOne},
         false},
        {"position not in 32 bits",
         {kOne, kOne, std::int64_t{1} << 31, kOne, kOne, kOne, kOne, kOne},
         false},
        {"negative position", {kOne, kOne, kOne, kOne, -kOne, kOne, kOne, kOne}, false},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(VectorReadsStayInside(c.corners, source.GetHeight(), source.GetStride()),
                  c.allowed)
            << c.name;
    EXPECT_FALSE(
        VectorReadsStayInside(kCases[0].corners, source.GetHeight(), std::size_t{1} << 32));
    EXPECT_STREQ(AvailableBlockWarpKernels().front().name, "scalar");
    EXPECT_EQ(FastestBlockWarpKernel(), AvailableBlockWarpKernels().back().run);
}

}  // namespace
