// Records decoded straight to the display's depth: the pictures are those of decoding the record
// at its own depth and converting it after, and no picture at the record's own depth (nor a
// codec's frame beside the picture) is held on the way.

#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/imaging/display_conversion.h"
#include "engine/imaging/image_decoder.h"
#include "engine/imaging/load_error.h"
#include "platform/codec/codec_bridge.h"
#include "platform/display_depth.h"
#include "platform/picture_limits.h"
#include "tests/engine/data_bytes.h"
#include "tests/engine/imaging/test_bitmaps.h"
#include "tests/platform/codec/cinepak_test_frames.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class RecordDepth : public ::testing::Test {
  protected:
    void TearDown() override { platform::ClearDisplayDepthOverride(); }
};

// The picture as the decoder held it before converting it, bottom-up: a bitmap's header,
// colours and rows as stored; a codec's frame decoded beside the picture's block into 24 bits.
GlobalDib OldDecode(const Bytes& record) {
    const std::uint8_t* body = record.data() + (record[0] == 'B' ? 14 : 0);
    platform::BitmapInfoHeader header = platform::LoadInfoHeader(body);
    const bool codec = header.biCompression > 3;
    const std::size_t rows = static_cast<std::size_t>(std::abs(header.biHeight));
    const std::size_t info = 40 + (codec ? 0 : ColourTableBytes(header));
    const std::size_t stride =
        platform::DibRowStride(header.biWidth, codec ? 24 : header.biBitCount);
    GlobalDib dib = GlobalDib::Allocate(info + stride * rows);
    if (codec) {
        dib.SetHeader(MakeHeader(header.biWidth, header.biHeight, 24));
        EXPECT_EQ(platform::DecodeCompressedPicture(
                      {header.biCompression,
                       header.biWidth,
                       header.biHeight,
                       header.biBitCount,
                       {body + 40, header.biSizeImage}},
                      {dib.Pixels() + (rows - 1) * stride, -static_cast<std::ptrdiff_t>(stride)}),
                  platform::CodecStatus::Decoded);
        return dib;
    }
    std::memcpy(dib.Data(), body, info);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t stored = header.biHeight < 0 ? rows - 1 - r : r;
        std::memcpy(dib.Data() + info + stored * stride, body + info + r * stride, stride);
    }
    header.biHeight = static_cast<std::int32_t>(rows);
    dib.SetHeader(header);
    return dib;
}

Bytes BytesOf(const GlobalDib& dib) {
    return {dib.Bytes().begin(), dib.Bytes().end()};
}

// A record of `width` x `height` whose bytes are a pattern that differs from pixel to pixel.
Bytes PatternRecord(int width, int height, int bits, std::uint32_t compression, bool fileHeader) {
    Bytes pixels(platform::DibRowStride(width, bits) * std::abs(height));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
    return MakeRecord(MakeHeader(width, height, bits, compression),
                      compression == 3 ? Masks565() : Bytes{}, pixels, fileHeader);
}

// A record of `data` coded by the codec `fourcc`.
Bytes CodecRecord(const char* fourcc, int width, int height, int bits, Bytes data) {
    platform::BitmapInfoHeader header = MakeHeader(width, height, bits, 0);
    std::memcpy(&header.biCompression, fourcc, 4);
    header.biSizeImage = static_cast<std::uint32_t>(data.size());
    data.resize((data.size() + 3) / 4 * 4);
    return MakeRecord(header, {}, data, true);
}

// A Cinepak record of `strips` key strips of one vector a block, the first setting the codebook;
// `varied`: the blocks take vectors from all over the codebook, else all the first (a picture
// that makes a small JPEG stream).
Bytes CinepakRecord(int width, int height, int strips, bool varied) {
    std::vector<cinepak_test::Strip> parts;
    for (int s = 0; s < strips; ++s) {
        const int blocks = width * height / strips / 16;
        const Bytes vectors =
            varied ? cinepak_test::OneVectorEach(blocks, s)
                   : cinepak_test::Chunk(0x32, Bytes(static_cast<std::size_t>(blocks)));
        parts.push_back(
            {height / strips,
             s == 0 ? cinepak_test::Join({cinepak_test::Codebook(0x22, 1), vectors}) : vectors});
    }
    return CodecRecord("cvid", width, height, 24, cinepak_test::Frame(0, width, height, parts));
}

// A Video 1 record of `bits` (8: palette indices, 16: 5-5-5 colours) whose 4 x 4 blocks are
// each one colour, block k colour k; columns past the last whole block are not coded.
Bytes VideoOneRecord(int width, int height, int bits) {
    Bytes data;
    for (int k = 0; k < (width + 3) / 4 * ((height + 3) / 4); ++k)
        data.insert(data.end(), {static_cast<std::uint8_t>(bits == 8 ? k : k * 5),
                                 static_cast<std::uint8_t>(0x80 | (bits == 8 ? 0 : k & 0x03))});
    return CodecRecord("CRAM", width, height, bits, data);
}

TEST_F(RecordDepth, RecordsGiveThePicturesOfConvertingAfterDecoding) {
    const struct {
        const char* name;
        Bytes record;
    } records[] = {
        {"24 bits", PatternRecord(8, 4, 24, 0, true)},
        {"24 bits top-down", PatternRecord(8, -4, 24, 0, true)},
        {"24 bits, 6 wide", PatternRecord(6, 4, 24, 0, false)},
        {"32 bits", PatternRecord(8, 4, 32, 0, true)},
        {"5-6-5 top-down", PatternRecord(12, -8, 16, 3, true)},
        {"5-5-5", PatternRecord(4, 4, 16, 0, false)},
        {"5-5-5, 3 high", PatternRecord(4, 3, 16, 0, true)},
        {"Cinepak, three strips", CinepakRecord(24, 12, 3, true)},
        {"Video 1, 30 wide", VideoOneRecord(30, 8, 16)},
        {"Video 1, palette indices", VideoOneRecord(16, 12, 8)},
    };
    for (const int display : {8, 15, 16, 24}) {
        for (const auto& r : records) {
            ASSERT_TRUE(platform::OverrideDisplayDepth(display));
            EXPECT_EQ(BytesOf(DecompressImage(r.record)),
                      BytesOf(ConvertToDisplayDepth(OldDecode(r.record), display)))
                << r.name << " on " << display;
        }
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
constexpr int kSide = 4096;

// Decodes `record` for `display` with room for its picture at that depth and `room` MiB more
// (an empty record: a 24-bit bitmap of zeros read through a reader, taking no room itself);
// exit status 0 when the picture is made.
[[noreturn]] void DecodeWithRoom(std::span<const std::uint8_t> record, int display, int room) {
    if (!platform::OverrideDisplayDepth(display))
        std::_Exit(2);
    const std::size_t picture =
        52 + platform::DibRowStride(kSide, display == 15 ? 16 : display) * kSide;
    // An 8-bit display's quantizer keeps no copy of the picture, as at the ceiling.
    const platform::ScopedPictureCap working({.working = std::size_t{8} << 20});
    const rlimit limit{DataBytes() + picture + (static_cast<std::size_t>(room) << 20),
                       RLIM_INFINITY};
    setrlimit(RLIMIT_DATA, &limit);
    const Bytes head = MakeRecord(MakeHeader(kSide, kSide, 24), {}, {}, true);
    const RecordReader zeros = [&head](std::uint64_t at, std::span<std::uint8_t> into) {
        std::fill(into.begin(), into.end(), 0);
        if (at < head.size())
            std::copy_n(head.begin() + static_cast<std::ptrdiff_t>(at),
                        std::min(into.size(), head.size() - static_cast<std::size_t>(at)),
                        into.begin());
        return true;
    };
    try {
        const GlobalDib dib =
            record.empty()
                ? *DecompressBitmapStream(head, head.size() + std::size_t{kSide} * kSide * 3, zeros)
                : DecompressImage(record);
        std::_Exit(dib.Header().biBitCount == (display == 15 ? 16 : display) ? 0 : 1);
    } catch (const LoadError&) {
        std::_Exit(1);
    }
}

// A 24-bit record converted for a 15- or 16-bit display is read row by row into the converted
// picture (32 MiB here): the 24-bit one (48 MiB) is never held. A codec's frame (48 MiB of
// Cinepak's, 32 MiB of Video 1's) is made inside the picture's own block; for an 8-bit display
// Cinepak's is made a band at a time.
TEST_F(RecordDepth, NoPictureAtTheRecordsDepthIsHeld) {
    const Bytes cinepak = CinepakRecord(kSide, kSide, 2, false);
    const Bytes videoOne = VideoOneRecord(kSide, kSide, 16);
    const struct {
        const char* name;
        std::span<const std::uint8_t> record;
        int display;
        int room;
    } cases[] = {
        {"24-bit bitmap on 16", {}, 16, 8},  {"24-bit bitmap on 15", {}, 15, 8},
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
