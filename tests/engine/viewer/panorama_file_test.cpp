// Opening a panorama file reads only the sections its load reads, a plain bitmap record as its
// picture is made, and leaves what Load leaves of the file's bytes.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>

#include <gtest/gtest.h>

#include "engine/container/file_section.h"
#include "engine/imaging/jpeg_glue.h"
#include "loaded_by.h"
#include "platform/byte_order.h"
#include "platform/dib_header.h"
#include "platform/display_depth.h"
#include "tests/engine/data_bytes.h"
#include "tests/engine/imaging/test_bitmaps.h"

namespace {

// `container` with the entry of section `index` moved to `offset` and given `size`.
Bytes WithEntry(Bytes container, std::size_t index, std::uint32_t offset, std::uint32_t size) {
    platform::StoreLe32(&container[16 + 16 * index + 4], offset);
    platform::StoreLe32(&container[16 + 16 * index + 8], size);
    return container;
}

class PanoramaFile : public ::testing::Test {
  protected:
    void TearDown() override {
        platform::ClearDisplayDepthOverride();
        platform::DeleteFile(path_);
    }
    const std::string path_ = platform::GetTempPath() + "panorama-file-" +
                              std::to_string(platform::CurrentProcessId()) + ".pan";
    const Bytes bitmap_ = MakeBitmap(64, 32);
    const Bytes jpeg_ = DibToJpeg(InfoOf(MakeHeader(8, 8, 24)), Bytes(8 * 8 * 3, 0x70), 90);
    const Bytes codec_ = MakeRecord(MakeHeader(4, 4, 24, 0x64636261), {}, Bytes(64, 0xAB), true);
};

TEST_F(PanoramaFile, OpensAsTheSameLoadTheFilesBytesMake) {
    const Bytes init = InitSection({180, 90, 0, 0, 10, 5, 0, 75});
    const Bytes hotspots = HotspotSection({{10, 5, 20, -5, "a.pan"}, {-30, 0, -20, 10, "b.wav"}});
    const Bytes files = FileSection({{"~one.txt", "first"}});
    const Bytes full =
        MakeContainer({{"BTMP", bitmap_}, {"INIT", init}, {"HSPT", hotspots}, {"FILE", files}});
    const Bytes cut(bitmap_.begin(), bitmap_.end() - 9);
    Bytes pixels(64);
    std::iota(pixels.begin(), pixels.end(), 5);
    std::vector<std::pair<std::string, std::string>> tooMany;
    for (int i = 0; i <= 1024; ++i)
        tooMany.emplace_back("~" + std::to_string(i), "x");
    const std::pair<const char*, Bytes> cases[] = {
        {"24-bit record with every section", full},
        {"8-bit record",
         MakeContainer({{"INIT", init},
                        {"BTMP", MakeRecord(MakeHeader(8, 4, 8), GreyColourTable(),
                                            Bytes(pixels.begin(), pixels.begin() + 32), true)}})},
        {"5-6-5 top-down record without a file header",
         MakeContainer({{"BTMP", MakeRecord(MakeHeader(8, -4, 16, 3), Masks565(), pixels, false)},
                        {"HSPT", hotspots}})},
        {"record missing rows", MakeContainer({{"BTMP", cut}})},
        {"record shorter than its headers", MakeContainer({{"BTMP", Bytes{'B', 'M', 1, 2, 3}}})},
        {"JPEG record, INIT of 17 bytes and a note",
         MakeContainer({{"NOTE", {0x0A}}, {"BTMP", jpeg_}, {"INIT", Bytes(17, 1)}})},
        {"no image record", MakeContainer({{"INIT", init}, {"FILE", files}})},
        {"empty image record", MakeContainer({{"BTMP", {}}, {"HSPT", hotspots}})},
        {"record of an unknown codec", MakeContainer({{"BTMP", codec_}})},
        {"version 1", MakeContainer({{"BTMP", bitmap_}, {"INIT", init}}, 1)},
        {"image entry past the file's end", WithEntry(full, 0, 80, 1 << 30)},
        {"two images", MakeContainer({{"BTMP", bitmap_}, {"BTMP", MakeBitmap(8, 4)}})},
        {"init inside the image record", WithEntry(full, 1, 16 + 4 * 16 + 60, 16)},
        // Refused for its embedded files before the record is decoded.
        {"1,025 embedded files and a record missing rows",
         MakeContainer({{"BTMP", cut}, {"FILE", FileSection(tooMany)}})},
    };
    for (const int display : {24, 16, 8}) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(display));
        for (const auto& [name, file] : cases)
            ExpectOpenedAsLoaded(path_, file, name + std::string(" on ") + std::to_string(display));
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// On `display`, with 8 MiB and `picture` bytes more in the data segment, loads `path` from memory
// (mapped: only the pages read are held) and opens it: exit status 0 when both leave the same,
// failing with `expected` (loaded when it is empty).
[[noreturn]] void OpensInRoom(const std::string& path, const std::string& expected, int display,
                              std::size_t picture) {
    platform::OverrideDisplayDepth(display);
    const int fd = ::open(path.c_str(), O_RDONLY);
    const auto size = static_cast<std::size_t>(::lseek(fd, 0, SEEK_END));
    const auto* mapped =
        static_cast<const std::uint8_t*>(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
    const rlimit limit{DataBytes() + picture + (std::size_t{8} << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_DATA, &limit);
    const auto [loaded, opened] = LoadedBothWays(path, {mapped, size});
    std::fprintf(stderr, "loaded \"%s\", opened \"%s\"", loaded.error.c_str(),
                 opened.error.c_str());
    std::_Exit(loaded == opened && loaded.error == expected &&
                       std::get<0>(loaded.view) == expected.empty()
                   ? 0
                   : 1);
}

// Sparse files whose last section claims gigabytes, a hole behind its first bytes: sections the
// load does not read are never read, a "FILE" section beyond any within its bounds is refused
// unread, the verdict is a load from memory's in its order, and a 4096 x 4096 bitmap record
// (48 MiB at 24 bits, 16 MiB at 8) costs its picture, never held beside it.
TEST_F(PanoramaFile, ReadsNoMoreThanItsLoadNeeds) {
    constexpr std::uint32_t kHuge = 3u << 30;
    constexpr int kSide = 4096;
    const std::string tooLarge = "Resource Error: Insufficient System Memory";
    const std::string version =
        "Version Error: Cannot load a version 5.0 file with version 4.0 software";
    const auto sections = [](const char* first, Bytes head, const char* last, int ver = 0) {
        return MakeContainer({{first, std::move(head)}, {last, {}}}, ver);
    };
    struct Case {
        std::string name;
        Bytes file;  // two sections; the last grows to `lastSize`
        std::uint64_t lastSize;
        std::string expected;
        int display = 24;
        std::size_t picture = 0;
    };
    std::vector<Case> cases = {
        {"3 GiB FILE beside a JPEG record", sections("BTMP", jpeg_, "FILE"), kHuge, tooLarge},
        {"3 GiB FILE in a version 1 file", sections("BTMP", jpeg_, "FILE", 1), kHuge, version},
        {"FILE a byte over the bound, ended early",
         MakeContainer({{"BTMP", bitmap_}, {"FILE", FileSection({{"~a", "x"}})}}),
         kMaxFileSectionBytes + 1, tooLarge},
        {"3 GiB junk beside a JPEG record", sections("BTMP", jpeg_, "JUNK"), kHuge, ""},
        {"3 GiB INIT beside a bitmap record", sections("BTMP", bitmap_, "INIT"), kHuge, ""},
        {"3 GiB NOTE beside a codec record", sections("BTMP", codec_, "NOTE"), kHuge,
         "File Format Error: Cannot Format Specified Image.  File decompression failed; Codec: "
         "abcd"},
        // The record covers the hotspots' bytes: together too large for one container.
        {"version 1, record and hotspots over 3 GiB",
         WithEntry(sections("BTMP", {}, "HSPT", 1), 0, 48, kHuge), kHuge, version},
    };
    for (const int bits : {24, 8}) {
        const Bytes head = MakeRecord(MakeHeader(kSide, kSide, bits),
                                      bits == 8 ? GreyColourTable() : Bytes{}, {}, true);
        for (const int display : {24, 16})
            cases.push_back(
                {std::to_string(bits) + "-bit record on " + std::to_string(display),
                 MakeContainer({{"INIT", Bytes(16, 0)}, {"BTMP", head}}),
                 head.size() + kSide * kSide * bits / 8, "", display,
                 1064 + platform::DibRowStride(kSide, bits == 8 ? 8 : display) * kSide});
    }
    for (Case& c : cases) {
        const std::uint64_t total = platform::LoadLe32(&c.file[36]) + c.lastSize;
        platform::StoreLe32(&c.file[4], static_cast<std::uint32_t>(total));
        platform::StoreLe32(&c.file[40], static_cast<std::uint32_t>(c.lastSize));
        ASSERT_TRUE(platform::WriteFileSafely(path_, c.file));
        std::filesystem::resize_file(path_, total);
        EXPECT_EXIT(OpensInRoom(path_, c.expected, c.display, c.picture),
                    ::testing::ExitedWithCode(0), "")
            << c.name;
    }
}
#endif

}  // namespace
