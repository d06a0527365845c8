#include "engine/container/container_file.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/container/find_section.h"
#include "tests/engine/container/container_test_support.h"

namespace {

// A file whose table is read in several pieces: for each name, what is found of it in the file
// and in the container of its sections is what FindSection finds in the whole file, matches on
// both sides of a piece's end, far down the table, and not fitting the file included.
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
    const Bytes tail = TextBytes("initedgefar.");
    // The table claims more entries than the file holds; FindSection reads it no further.
    const Bytes file = RawContainer("HVXK", tailAt + 12, kEntries + 100000, entries, tail);
    const TempFolder folder;
    WriteFileBytes(folder / "a.pan", file);
    platform::File opened;
    ASSERT_TRUE(opened.Open((folder / "a.pan").string(), platform::File::Mode::Read));

    constexpr std::string_view kNames[] = {"INIT", "EDGE", "FAR", "BIG", "MISS", "FILL"};
    const std::optional<ContainerFileSections> found =
        FindSectionsOfFile(opened, file.size(), kNames);
    ASSERT_TRUE(found.has_value());
    const std::optional<Bytes> sections = ReadSectionsOfFile(opened, found->header, found->entries);
    ASSERT_TRUE(sections.has_value());
    const auto bytes = [](std::span<const std::uint8_t> span) {
        return Bytes(span.begin(), span.end());
    };
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        const Bytes expected = bytes(FindSection(kNames[i], file));
        const std::optional<SectionEntry>& entry = found->entries[i];
        EXPECT_EQ(entry ? bytes(std::span(file).subspan(entry->offset, entry->size)) : Bytes{},
                  expected)
            << kNames[i];
        EXPECT_EQ(bytes(FindSection(kNames[i], *sections)), expected) << kNames[i];
    }
}

}  // namespace
