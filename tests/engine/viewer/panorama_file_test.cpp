// Opening a panorama file whose image record is a plain bitmap: the record is read from the file
// as its picture is made, and the load is the one Load makes of the file's bytes.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "engine/container/file_section.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "engine_test_access.h"
#include "loaded_by.h"
#include "platform/byte_order.h"
#include "platform/display_depth.h"
#include "platform/files.h"
#include "test_panoramas.h"
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
    void SetUp() override {
        path_ = platform::GetTempPath() + "panorama-file-" +
                std::to_string(platform::CurrentProcessId()) + ".pan";
    }
    void TearDown() override {
        platform::ClearDisplayDepthOverride();
        platform::DeleteFile(path_);
    }
    std::string path_;
};

TEST_F(PanoramaFile, OpensAsTheSameLoadTheFilesBytesMake) {
    const Bytes bitmap = MakeBitmap(64, 32);
    const Bytes init = InitSection({180, 90, 0, 0, 10, 5, 0, 75});
    const Bytes hotspots = HotspotSection({{10, 5, 20, -5, "a.pan"}, {-30, 0, -20, 10, "b.wav"}});
    const Bytes files = FileSection({{"~one.txt", "first"}});
    const Bytes full =
        MakeContainer({{"BTMP", bitmap}, {"INIT", init}, {"HSPT", hotspots}, {"FILE", files}});
    std::vector<std::uint8_t> indices(8 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint8_t>(i * 9);
    std::vector<std::uint8_t> packed(8 * 2 * 4);
    for (std::size_t i = 0; i < packed.size(); ++i)
        packed[i] = static_cast<std::uint8_t>(i * 13 + 5);
    const Bytes jpeg = DibToJpeg(InfoOf(MakeHeader(8, 8, 24)), Bytes(8 * 8 * 3, 0x70), 90);
    // The INIT entry pointed into the image record's bytes.
    const Bytes overlapping = WithEntry(full, 1, 16 + 4 * 16 + 60, 16);
    std::vector<std::pair<std::string, std::string>> tooMany;
    for (int i = 0; i <= 1024; ++i)
        tooMany.emplace_back("~" + std::to_string(i), "x");
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"24-bit record with every section", full},
        {"8-bit record", MakeContainer({{"INIT", init},
                                        {"BTMP", MakeRecord(MakeHeader(8, 4, 8), GreyColourTable(),
                                                            indices, true)}})},
        {"5-6-5 top-down record without a file header",
         MakeContainer({{"BTMP", MakeRecord(MakeHeader(8, -4, 16, 3), Masks565(), packed, false)},
                        {"HSPT", hotspots}})},
        {"record missing rows", MakeContainer({{"BTMP", Bytes(bitmap.begin(), bitmap.end() - 9)}})},
        {"record shorter than its headers", MakeContainer({{"BTMP", Bytes{'B', 'M', 1, 2, 3}}})},
        {"JPEG record", MakeContainer({{"BTMP", jpeg}, {"INIT", init}})},
        {"JPEG record, INIT of 17 bytes and a note",
         MakeContainer({{"NOTE", {0x0A}}, {"BTMP", jpeg}, {"INIT", Bytes(17, 1)}})},
        {"no image record", MakeContainer({{"INIT", init}, {"FILE", files}})},
        {"empty image record", MakeContainer({{"BTMP", {}}, {"HSPT", hotspots}})},
        {"record of an unknown codec",
         MakeContainer(
             {{"BTMP", MakeRecord(MakeHeader(4, 4, 24, 0x64636261), {}, Bytes(64, 0xAB), true)}})},
        {"version 1", MakeContainer({{"BTMP", bitmap}, {"INIT", init}}, 1)},
        {"image entry past the file's end", WithEntry(full, 0, 80, 1 << 30)},
        {"two images", MakeContainer({{"BTMP", bitmap}, {"BTMP", MakeBitmap(8, 4)}})},
        {"init inside the image record", overlapping},
        // Refused for its embedded files before the record is decoded.
        {"1,025 embedded files and a record missing rows",
         MakeContainer({{"BTMP", Bytes(bitmap.begin(), bitmap.end() - 9)},
                        {"FILE", FileSection(tooMany)}})},
    };
    for (const int display : {24, 16, 8}) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(display));
        for (const auto& c : cases)
            ExpectOpenedAsLoaded(path_, c.file,
                                 c.name + std::string(" on ") + std::to_string(display));
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Loads `path` from memory (mapped: only the pages read are held) and opens it as a file, with
// room for 64 MiB more in the data segment: exit status 0 when both give `expected`.
[[noreturn]] void LoadBothWaysWithLittleRoom(const std::string& path, const std::string& expected) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const auto size = static_cast<std::size_t>(::lseek(fd, 0, SEEK_END));
    const auto* mapped =
        static_cast<const std::uint8_t*>(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
    const rlimit limit{DataBytes() + (std::size_t{64} << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_DATA, &limit);
    ViewerEngine fromMemory, fromFile;
    const Loaded loaded = LoadedBy(
        fromMemory, [&] { fromMemory.Load(mapped, size, platform::kNoWindow, 0, 0, 4); });
    const Loaded opened = LoadedBy(
        fromFile, [&] { fromFile.OpenFile(path.c_str(), platform::kNoWindow, 0, 0, 4); });
    std::fprintf(stderr, "loaded \"%s\", opened \"%s\"", loaded.error.c_str(),
                 opened.error.c_str());
    std::_Exit(loaded.error == expected && opened.error == expected ? 0 : 1);
}

// Sparse panorama files whose last section claims gigabytes (a hole behind its first bytes):
// sections the load does not read are never read, a "FILE" section beyond any within its bounds
// is refused unread, and the verdict is that of a load from memory, in its order.
TEST_F(PanoramaFile, SectionsBeyondWhatTheLoadNeedsAreNotRead) {
    constexpr std::uint32_t kHuge = 3u << 30;
    const Bytes bitmap = MakeBitmap(64, 32);
    const Bytes jpeg = DibToJpeg(InfoOf(MakeHeader(8, 8, 24)), Bytes(8 * 8 * 3, 0x70), 90);
    const Bytes codec = MakeRecord(MakeHeader(4, 4, 24, 0x64636261), {}, Bytes(64, 0xAB), true);
    const std::string tooLarge = "Resource Error: Insufficient System Memory";
    const std::string version =
        "Version Error: Cannot load a version 5.0 file with version 4.0 software";
    const struct {
        const char* name;
        Bytes record;
        const char* last;
        Bytes head;
        std::uint64_t size;
        std::int8_t version;
        bool recordOverLast;  // the two sections cover the same bytes
        std::string expected;
    } cases[] = {
        {"3 GiB FILE beside a JPEG record", jpeg, "FILE", {}, kHuge, 0, false, tooLarge},
        {"3 GiB FILE in a version 1 file", jpeg, "FILE", {}, kHuge, 1, false, version},
        {"FILE a byte over the bound, ended early", bitmap, "FILE", FileSection({{"~a", "x"}}),
         kMaxFileSectionBytes + 1, 0, false, tooLarge},
        {"3 GiB junk beside a JPEG record", jpeg, "JUNK", {}, kHuge, 0, false, ""},
        {"3 GiB INIT beside a bitmap record", bitmap, "INIT", {}, kHuge, 0, false, ""},
        {"3 GiB NOTE beside a codec record", codec, "NOTE", {}, kHuge, 0, false,
         "File Format Error: Cannot Format Specified Image.  File decompression failed; Codec: "
         "abcd"},
        // Together too large for one container.
        {"version 1, record and hotspots over 3 GiB", {}, "HSPT", {}, kHuge, 1, true, version},
    };
    for (const auto& c : cases) {
        Bytes file = MakeContainer({{"BTMP", c.record}, {c.last, c.head}}, c.version);
        const std::uint64_t total = file.size() - c.head.size() + c.size;
        platform::StoreLe32(&file[4], static_cast<std::uint32_t>(total));
        platform::StoreLe32(&file[40], static_cast<std::uint32_t>(c.size));
        if (c.recordOverLast)
            std::copy_n(&file[36], 8, &file[20]);
        ASSERT_TRUE(platform::WriteFileSafely(path_, file));
        std::filesystem::resize_file(path_, total);
        EXPECT_EXIT(LoadBothWaysWithLittleRoom(path_, c.expected), ::testing::ExitedWithCode(0),
                    "")
            << c.name;
    }
}

constexpr int kSide = 4096;

// Opens `path` for `display` with room for a 4096 x 4096 picture of `bits` and 8 MiB more: exit
// status 0 when it opens.
[[noreturn]] void OpenWithRoom(const std::string& path, int display, int bits) {
    if (!platform::OverrideDisplayDepth(display))
        std::_Exit(2);
    const std::size_t picture = 1064 + platform::DibRowStride(kSide, bits) * kSide;
    const rlimit limit{DataBytes() + picture + (std::size_t{8} << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_DATA, &limit);
    ViewerEngine engine;
    try {
        engine.OpenFile(path.c_str(), platform::kNoWindow, 0, 0, 4);
    } catch (const LoadError&) {
        std::_Exit(1);
    }
    std::_Exit(engine.IsLoaded() ? 0 : 1);
}

// A panorama whose image record is a 4096 x 4096 bitmap (48 MiB at 24 bits, 16 MiB at 8) costs
// its picture: the record is never held beside it.
TEST_F(PanoramaFile, ABitmapRecordIsNotHeldBesideItsPicture) {
    for (const int bits : {24, 8}) {
        const Bytes head = MakeRecord(MakeHeader(kSide, kSide, bits),
                                      bits == 8 ? GreyColourTable() : Bytes{}, {}, true);
        const std::uint64_t record = head.size() + std::uint64_t{kSide} * kSide * (bits / 8);
        Bytes file = WithEntry(MakeContainer({{"INIT", Bytes(16, 0)}, {"BTMP", head}}), 1,
                               16 + 2 * 16 + 16, static_cast<std::uint32_t>(record));
        platform::StoreLe32(&file[4],
                            static_cast<std::uint32_t>(file.size() - head.size() + record));
        ASSERT_TRUE(platform::WriteFileSafely(path_, file));
        std::filesystem::resize_file(path_, file.size() - head.size() + record);
        for (const int display : {24, 16}) {
            EXPECT_EXIT(OpenWithRoom(path_, display, bits == 8 ? 8 : display),
                        ::testing::ExitedWithCode(0), "")
                << bits << "-bit record on " << display;
        }
    }
}
#endif

}  // namespace
