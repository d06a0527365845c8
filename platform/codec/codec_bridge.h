#pragma once
// Decode side of the codec bridge: the stand-in for asking an installed video codec to
// decompress the pixels of a bitmap record. Backed by FFmpeg's libavcodec, the codec chosen by
// the record's four-character code (platform/codec/codec_fourcc.h). Code that reaches codecs
// only through the seam (platform/picture_codec.h) gets this decoder once a program installs
// it: InstallCodecDecoder(DecodeCompressedPicture).

#include <cstddef>
#include <memory>
#include <span>

#include "platform/picture_codec.h"

namespace platform {

// The fewest bytes the codec of `fourcc` spends on a whole `width` x `height` picture coded on
// its own, as every picture record is: Cinepak one codebook index for each 4 x 4 block, Video 1
// a two-byte code for each 4 x 4 block, Indeo 4 (whose empty bands cost nothing) a byte for each
// 256 pixels. A record with fewer bytes claims more pixels than its data can describe. 0 for an
// unknown code or a side not above 0.
std::uint64_t FewestCodedBytes(std::uint32_t fourcc, int width, int height);

// Decodes `input` straight into `destination` (platform/picture_codec.h): the codec's frame is
// converted into the caller's block; besides that frame, in the codec's own pixel format, no
// copy of the picture is made (CodecPicture lets a caller hold that frame in its own block).
// Refused before the codec allocates anything: an unknown code, a size FFmpeg cannot hold, a
// destination with no block or rows narrower than the picture, and data shorter than
// FewestCodedBytes (so the work of a decode stays in proportion to the record's size). A picture
// whose decoded size differs from the header's is a failure. Any thread; calls share no state. On
// any status but Decoded the destination's bytes are undefined (untouched or partly written).
CodecStatus DecodeCompressedPicture(const CompressedPicture& input,
                                    const PictureDestination& destination);

// One picture of a codec record decoded in steps, so that its caller can lend the codec the
// memory the codec makes its frame in (the caller's own picture block) and take the picture out
// band by band: Open says how much memory the frame takes, Decode makes the frame there,
// ReadRows converts rows of it to blue, green, red. Used on one thread; owns the codec.
class CodecPicture {
  public:
    CodecPicture();
    ~CodecPicture();
    CodecPicture(const CodecPicture&) = delete;
    CodecPicture& operator=(const CodecPicture&) = delete;

    // Sets the codec up for `input`, refusing (Failed) what DecodeCompressedPicture refuses
    // before its codec allocates anything; Unavailable when the codec cannot be set up.
    // `input.data` must stay valid until Decode returns.
    CodecStatus Open(const CompressedPicture& input);

    // After Open: the bytes a frame lent to the codec takes (its rows start at the first 64-byte
    // boundary of the memory), and the bytes from one of its rows to the next. FrameBytes is 0
    // when the codec's frame has more than one plane: the codec keeps it in memory of its own.
    std::size_t FrameBytes() const;
    std::size_t FramePitch() const;

    // Decodes the picture into `frame` (at least FrameBytes() bytes, which the caller keeps
    // until it has read the rows it wants) or, when it is empty or FrameBytes() is 0, into
    // memory of the codec's own. Failed when the codec refuses the data or makes a picture of
    // another size than the header's.
    CodecStatus Decode(std::span<std::uint8_t> frame);

    // After a Decoded: writes rows `first` to `first + count - 1` (0 the top) as blue, green,
    // red into `out`, `stride` bytes from one row to the next (negative when the rows run upward
    // in memory), and zeroes each row's bytes past the pixels up to |stride|. Rows are asked for
    // top to bottom; a frame of several planes is read whole (`first` 0, `count` its height).
    // `out` may lie over rows of a lent frame that were read before. False when the
    // conversion fails.
    bool ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// A picture decoded one band of rows at a time, top band first, each band made in the memory of
// the one before, so that no frame of the whole picture is made: for a Cinepak picture that can
// be cut into bands each decoded on its own to the very pixels of the whole frame
// (platform/codec/cinepak_bands.h). Used on one thread; owns the codec.
class CodecBands {
  public:
    CodecBands();
    ~CodecBands();
    CodecBands(const CodecBands&) = delete;
    CodecBands& operator=(const CodecBands&) = delete;

    // Sets up band decoding of `input` in bands of about `bandBytes` of blue, green, red rows
    // (at least 4 rows); false when the picture cannot be decoded in bands, and is decoded whole.
    bool Open(const CompressedPicture& input, std::size_t bandBytes);

    // Decodes the next band: the picture's rows First() to First() + Count() - 1. Failed when
    // the codec refuses it or no band is left; Unavailable when the codec cannot be set up.
    CodecStatus Next();
    int First() const;
    int Count() const;

    // As CodecPicture::ReadRows, for rows of the band decoded last, `first` counted from the
    // band's top row.
    bool ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform
