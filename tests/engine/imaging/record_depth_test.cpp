// Records decoded straight to the display's depth: the pictures of decoding at the record's own
// depth and converting after, with no picture at the record's depth nor codec frame held beside.

#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "engine/imaging/display_conversion.h"
#include "engine/imaging/image_decoder.h"
#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/display_depth.h"
#include "platform/picture_limits.h"
#include "tests/engine/data_bytes.h"
#include "tests/engine/imaging/test_bitmaps.h"
#include "tests/platform/codec/cinepak_test_frames.h"

namespace {

using namespace cinepak_test;

class RecordDepth : public ::testing::Test {
  protected:
    void TearDown() override { platform::ClearDisplayDepthOverride(); }
};

// The picture the decoder held before converting it, bottom-up: a bitmap's header, colours and
// rows as stored; a codec's frame decoded beside the picture's block into 24 bits.
GlobalDib OldDecode(const Bytes& record) {
    const std::uint8_t* body = record.data() + (record[0] == 'B' ? 14 : 0);
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(body);
    const bool codec = header.biCompression > 3;
    const auto rows = static_cast<std::size_t>(std::abs(header.biHeight));
    const std::size_t info = 40 + (codec ? 0 : ColourTableBytes(header));
    const std::size_t stride =
        platform::DibRowStride(header.biWidth, codec ? 24 : header.biBitCount);
    GlobalDib dib = GlobalDib::Allocate(info + stride * rows);
    std::memcpy(dib.Data(), body, info);
    platform::BitmapInfoHeader held = codec ? MakeHeader(header.biWidth, 0, 24) : header;
    held.biHeight = static_cast<std::int32_t>(rows);
    dib.SetHeader(held);
    for (std::size_t r = 0; !codec && r < rows; ++r)
        std::memcpy(dib.Data() + info + (header.biHeight < 0 ? rows - 1 - r : r) * stride,
                    body + info + r * stride, stride);
    const platform::CompressedPicture input{header.biCompression,
                                            header.biWidth,
                                            header.biHeight,
                                            header.biBitCount,
                                            {body + 40, header.biSizeImage}};
    EXPECT_TRUE(!codec ||
                platform::DecodeCompressedPicture(input, {dib.Data() + info + (rows - 1) * stride,
                                                          -static_cast<std::ptrdiff_t>(stride)}) ==
                    platform::CodecStatus::Decoded);
    return dib;
}

// A record of `data` for a picture of `width` x `height` (negative: top-down), `bits` and
// `compression` (3: 5-6-5 masks; above: a codec's code); no `data`: bytes that differ from pixel
// to pixel.
Bytes Record(int width, int height, int bits, std::uint32_t compression, Bytes data = {},
             bool fileHeader = true) {
    for (std::size_t i = 0;
         compression < 4 && i < platform::DibRowStride(width, bits) * std::abs(height); ++i)
        data.push_back(static_cast<std::uint8_t>(i * 37 + i / 7));
    platform::BitmapInfoHeader header = MakeHeader(width, height, bits, compression);
    header.biSizeImage = static_cast<std::uint32_t>(data.size());
    data.resize((data.size() + 3) / 4 * 4);
    return MakeRecord(header, compression == 3 ? Masks565() : Bytes{}, data, fileHeader);
}

// A Cinepak record of `strips` key strips of one vector a block, each with a codebook; the blocks
// take vectors from all over it when `varied`, else all the first (a small JPEG stream).
Bytes CinepakRecord(int width, int height, int strips, bool varied) {
    const int blocks = width * height / strips / 16;
    std::vector<Strip> parts;
    for (int s = 0; s < strips; ++s)
        parts.push_back(
            {height / strips, Join({Codebook(0x22, s), varied ? Vectors(0x32, blocks, s)
                                                              : Chunk(0x32, Bytes(blocks))})});
    return Record(width, height, 24, platform::MakeFourcc("cvid"), Frame(0, width, height, parts));
}

// A Video 1 record of `bits` (8: palette indices, 16: 5-5-5 colours) whose 4 x 4 block k is all
// colour k; columns past the last whole block are not coded.
Bytes VideoOneRecord(int width, int height, int bits) {
    Bytes data;
    for (int k = 0; k < (width + 3) / 4 * ((height + 3) / 4); ++k)
        data.insert(data.end(), {static_cast<std::uint8_t>(bits == 8 ? k : k * 5),
                                 static_cast<std::uint8_t>(0x80 | (bits == 8 ? 0 : k & 0x03))});
    return Record(width, height, bits, platform::MakeFourcc("CRAM"), data);
}

TEST_F(RecordDepth, RecordsGiveThePicturesOfConvertingAfterDecoding) {
    const std::pair<const char*, Bytes> records[] = {
        {"24 bits top-down", Record(8, -4, 24, 0)},
        {"24 bits, 6 wide", Record(6, 4, 24, 0, {}, false)},
        {"32 bits", Record(8, 4, 32, 0)},
        {"5-6-5 top-down", Record(12, -8, 16, 3)},
        {"5-5-5, 3 high", Record(4, 3, 16, 0, {}, false)},
        {"Cinepak, three strips", CinepakRecord(24, 12, 3, true)},
        {"Video 1, 30 wide", VideoOneRecord(30, 8, 16)},
        {"Video 1, palette indices", VideoOneRecord(16, 12, 8)},
    };
    for (const int display : {8, 15, 16, 24}) {
        for (const auto& r : records) {
            EXPECT_TRUE(platform::OverrideDisplayDepth(display));
            EXPECT_TRUE(
                std::ranges::equal(DecompressImage(r.second).Bytes(),
                                   ConvertToDisplayDepth(OldDecode(r.second), display).Bytes()))
                << r.first << " on " << display;
        }
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
constexpr int kSide = 4096;

// Decodes `record` for `display` with room for its picture and `room` MiB more: exit status 0
// when it is made. An 8-bit display's quantizer keeps no copy of the picture, as at the ceiling.
[[noreturn]] void DecodeWithRoom(const Bytes& record, int display, std::size_t room) {
    const int bits = display == 15 ? 16 : display;
    const platform::ScopedPictureCap working({.working = std::size_t{8} << 20});
    const rlimit limit{
        DataBytes() + 52 + platform::DibRowStride(kSide, bits) * kSide + (room << 20),
        RLIM_INFINITY};
    if (!platform::OverrideDisplayDepth(display) || setrlimit(RLIMIT_DATA, &limit) != 0)
        std::_Exit(2);
    std::_Exit(DecompressImage(record).Header().biBitCount == bits ? 0 : 1);
}

// A codec's frame (48 MiB of Cinepak's, 32 MiB of Video 1's) is made inside the picture's own
// block; for an 8-bit display Cinepak's is made a band at a time. (A bitmap record's picture at
// its own depth is never held either: the panorama file tests open one with no room for it.)
TEST_F(RecordDepth, NoPictureAtTheRecordsDepthIsHeld) {
    const Bytes cinepak = CinepakRecord(kSide, kSide, 2, false);
    const Bytes videoOne = VideoOneRecord(kSide, kSide, 16);
    const struct {
        const char* name;
        const Bytes& record;
        int display;
        std::size_t room;
    } cases[] = {
        {"Cinepak on 24", cinepak, 24, 16},  {"Cinepak on 16", cinepak, 16, 24},
        {"Video 1 on 24", videoOne, 24, 16}, {"Video 1 on 16", videoOne, 16, 16},
        {"Cinepak on 8", cinepak, 8, 40},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(DecodeWithRoom(c.record, c.display, c.room), ::testing::ExitedWithCode(0), "")
            << c.name;
}
#endif

}  // namespace
