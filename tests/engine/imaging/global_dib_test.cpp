#include "engine/imaging/global_dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

TEST(GlobalDib, ResizeKeepsTheLeadingBytesAcrossEveryBlockSize) {
    // Small blocks come from the heap, blocks of megabytes from huge-page aligned memory.
    struct Case {
        std::size_t from, to;
    };
    const Case cases[] = {
        {64, 4096}, {4096, 16}, {1000, 3u << 20}, {5u << 20, 9u << 20}, {9u << 20, 100}};
    for (const Case& c : cases) {
        GlobalDib dib = GlobalDib::Allocate(c.from);
        ASSERT_TRUE(dib) << c.from;
        for (std::size_t i = 0; i < c.from; ++i)
            dib.Data()[i] = static_cast<std::uint8_t>(i * 7 + 1);
        ASSERT_TRUE(dib.Resize(c.to)) << c.from << " -> " << c.to;
        ASSERT_EQ(dib.Size(), c.to);
        int changed = 0;
        for (std::size_t i = 0; i < std::min(c.from, c.to); ++i)
            changed += dib.Data()[i] != static_cast<std::uint8_t>(i * 7 + 1);
        EXPECT_EQ(changed, 0) << c.from << " -> " << c.to;
        std::memset(dib.Data(), 0, dib.Size());  // the whole new size is writable
    }
}

TEST(GlobalDib, ResizeRefusesAnEmptyBlock) {
    GlobalDib empty;
    EXPECT_FALSE(empty.Resize(100));
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.Size(), 0u);
}

}  // namespace
