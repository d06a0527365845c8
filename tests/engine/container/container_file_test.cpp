#include "engine/container/container_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/container/find_section.h"
#include "tests/engine/container/container_test_support.h"

namespace {

// A table read in pieces: what is found of each name in the file and in the container of its
// sections is what FindSection finds in the whole file, on both sides of a piece's end, far down
// a table that claims more entries than the file holds, and not fitting the file.
TEST(ContainerFile, FindsWhatFindSectionFindsInTheWholeFile) {
    constexpr std::uint32_t kEntries = 5000;
    const std::uint32_t tailAt = 16 + 16 * kEntries;
    std::vector<RawEntry> entries(kEntries, RawEntry{"FILL", tailAt, 0});
    entries[0] = {"INIT", tailAt, 4};
    entries[10] = {std::string("BIG\0", 4), tailAt, 1000};
    entries[11] = {std::string("BIG\0", 4), tailAt, 4};
    entries[4095] = {"EDGE", tailAt + 4, 4};
    entries[4096] = {"EDGE", tailAt, 8};
    entries[4999] = {std::string("FAR\0", 4), tailAt + 8, 4};
    const Bytes file =
        RawContainer("HVXK", tailAt + 12, kEntries + 100000, entries, TextBytes("initedgefar."));
    const TempFolder folder;
    WriteFileBytes(folder / "a.pan", file);
    platform::File opened;
    ASSERT_TRUE(opened.Open((folder / "a.pan").string(), platform::File::Mode::Read));
    constexpr std::string_view kNames[] = {"INIT", "EDGE", "FAR", "BIG", "MISS", "FILL"};
    const auto found = FindSectionsOfFile(opened, file.size(), kNames);
    ASSERT_TRUE(found.has_value());
    const auto sections = ReadSectionsOfFile(opened, found->header, found->entries);
    ASSERT_TRUE(sections.has_value());
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        const std::span<const std::uint8_t> expected = FindSection(kNames[i], file);
        const auto& entry = found->entries[i];
        EXPECT_TRUE(std::ranges::equal(
            entry ? std::span(file).subspan(entry->offset, entry->size) : expected.first(0),
            expected))
            << kNames[i];
        EXPECT_TRUE(std::ranges::equal(FindSection(kNames[i], *sections), expected)) << kNames[i];
    }
}

}  // namespace
