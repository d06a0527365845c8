#include "platform/codec/codec_bridge.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/codec/cinepak_bands.h"
#include "platform/codec/codec_fourcc.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {
namespace {

struct ContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerDeleter {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

using ContextPtr = std::unique_ptr<AVCodecContext, ContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerDeleter>;

// The packet owns a padded copy of the data (the one before let go): decoders may read a
// little past the end.
bool FillPacket(AVPacket& packet, std::span<const std::uint8_t> data) {
    if (data.size() > static_cast<std::size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
        return false;
    av_packet_unref(&packet);
    if (av_new_packet(&packet, static_cast<int>(data.size())) < 0)
        return false;
    if (!data.empty())
        std::memcpy(packet.data, data.data(), data.size());
    packet.flags |= AV_PKT_FLAG_KEY;
    return true;
}

// Sends the one packet, drains the decoder and keeps its first picture.
bool DecodeOne(AVCodecContext& context, AVPacket& packet, AVFrame& frame) {
    if (avcodec_send_packet(&context, &packet) < 0)
        return false;
    if (avcodec_receive_frame(&context, &frame) == 0)
        return true;
    if (avcodec_send_packet(&context, nullptr) < 0)
        return false;
    return avcodec_receive_frame(&context, &frame) == 0;
}

}  // namespace

std::uint64_t FewestCodedBytes(std::uint32_t fourcc, int width, int height) {
    const std::optional<AVCodecID> codec = CodecForFourcc(fourcc);
    if (!codec || width <= 0 || height <= 0)
        return 0;
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    const std::uint64_t blocks = ((static_cast<std::uint64_t>(width) + 3) / 4) *
                                 ((static_cast<std::uint64_t>(height) + 3) / 4);
    switch (*codec) {
        case AV_CODEC_ID_CINEPAK:
            return blocks;
        case AV_CODEC_ID_MSVIDEO1:
            return 2 * blocks;
        default:
            return pixels / 256;
    }
}

namespace {

constexpr std::size_t kFrameAlignment = 64;

// Columns past the picture some codecs write into (whole 4 x 4 blocks), beside the library's
// own alignment.
constexpr int kColumnSlack = 16;

// A codec set up for pictures of one size, the frame it made last, and the memory it may be lent
// for its next frame.
struct Decoder {
    ContextPtr context;
    FramePtr frame;
    PacketPtr packet;
    ScalerPtr scaler;
    int width = 0;
    int height = 0;
    // The frame a caller may lend: its bytes (0: the codec keeps its frames, of several planes,
    // in memory of its own), the bytes from row to row, and the largest size it takes.
    std::size_t frameBytes = 0;
    std::size_t framePitch = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    // The memory lent for the next frame, from its first 64-byte boundary; empty once used.
    std::span<std::uint8_t> lent;
};

// The lent memory stays its owner's.
void KeepLentMemory(void*, std::uint8_t*) {}

// Gives the codec the lent memory for a frame that fits it, else a frame of its own.
int LendFrame(AVCodecContext* context, AVFrame* frame, int flags) {
    Decoder& decoder = *static_cast<Decoder*>(context->opaque);
    if (decoder.lent.empty() || frame->format != context->pix_fmt ||
        frame->width > decoder.frameWidth || frame->height > decoder.frameHeight) {
        return avcodec_default_get_buffer2(context, frame, flags);
    }
    const auto* description = av_pix_fmt_desc_get(context->pix_fmt);
    // Cleared as the library's own frames are, so that pixels a picture leaves unwritten (a
    // skipped block, columns past the last whole block) read as black, not as the memory's old
    // bytes.
    std::memset(decoder.lent.data(), 0, decoder.lent.size());
    frame->buf[0] =
        av_buffer_create(decoder.lent.data(), decoder.lent.size(), KeepLentMemory, nullptr, 0);
    if (frame->buf[0] == nullptr)
        return AVERROR(ENOMEM);
    frame->data[0] = decoder.lent.data();
    frame->linesize[0] = static_cast<int>(decoder.framePitch);
    if ((description->flags & AV_PIX_FMT_FLAG_PAL) != 0) {
        frame->buf[1] = av_buffer_allocz(AVPALETTE_SIZE);
        if (frame->buf[1] == nullptr)
            return AVERROR(ENOMEM);
        frame->data[1] = frame->buf[1]->data;
        frame->linesize[1] = 4;
    }
    frame->extended_data = frame->data;
    decoder.lent = {};
    return 0;
}

// A destination sws_scale can write: a block, and rows that hold the pixels and fit its int
// strides.
bool DestinationFits(const PictureDestination& destination, int width) {
    const std::ptrdiff_t rowBytes =
        destination.stride < 0 ? -destination.stride : destination.stride;
    return destination.topRow != nullptr && rowBytes <= INT32_MAX &&
           rowBytes >= static_cast<std::ptrdiff_t>(width) * 3;
}

// What every decode refuses before its codec allocates anything.
CodecStatus CheckInput(const CompressedPicture& input) {
    const std::optional<AVCodecID> codecId = CodecForFourcc(input.fourcc);
    if (!codecId || avcodec_find_decoder(*codecId) == nullptr)
        return CodecStatus::Failed;
    if (input.width <= 0 || input.height <= 0 ||
        av_image_check_size(static_cast<unsigned>(input.width), static_cast<unsigned>(input.height),
                            0, nullptr) < 0) {
        return CodecStatus::Failed;
    }
    if (input.data.size() < FewestCodedBytes(input.fourcc, input.width, input.height))
        return CodecStatus::Failed;
    return CodecStatus::Decoded;
}

// Sets `decoder` up for pictures of `width` x `height` coded as `input` says.
CodecStatus OpenDecoder(Decoder& decoder, const CompressedPicture& input, int width, int height) {
    const AVCodec* codec = avcodec_find_decoder(*CodecForFourcc(input.fourcc));
    decoder = Decoder{};
    decoder.context.reset(avcodec_alloc_context3(codec));
    decoder.frame.reset(av_frame_alloc());
    decoder.packet.reset(av_packet_alloc());
    if (!decoder.context || !decoder.frame || !decoder.packet)
        return CodecStatus::Unavailable;
    AVCodecContext& context = *decoder.context;
    context.width = width;
    context.height = height;
    context.coded_width = width;
    context.coded_height = height;
    context.bits_per_coded_sample = input.bitsPerPixel;
    context.codec_tag = input.fourcc;
    context.thread_count = 1;
    context.thread_type = 0;
    context.opaque = &decoder;
    if ((codec->capabilities & AV_CODEC_CAP_DR1) != 0)
        context.get_buffer2 = LendFrame;
    if (avcodec_open2(&context, codec, nullptr) < 0)
        return CodecStatus::Failed;
    decoder.width = width;
    decoder.height = height;

    // A frame of one plane (and a palette) can be lent; its size is the library's own choice
    // for the codec, with room for whole blocks past the last column.
    if (context.get_buffer2 == LendFrame && av_pix_fmt_count_planes(context.pix_fmt) == 1) {
        int frameWidth = width;
        int frameHeight = height;
        int alignments[AV_NUM_DATA_POINTERS] = {};
        avcodec_align_dimensions2(&context, &frameWidth, &frameHeight, alignments);
        const int pitch = av_image_get_linesize(context.pix_fmt, frameWidth + kColumnSlack, 0);
        if (pitch > 0) {
            decoder.framePitch = (static_cast<std::size_t>(pitch) + kFrameAlignment - 1) /
                                 kFrameAlignment * kFrameAlignment;
            decoder.frameWidth = frameWidth;
            decoder.frameHeight = frameHeight;
            decoder.frameBytes =
                decoder.framePitch * static_cast<std::size_t>(frameHeight) + 2 * kFrameAlignment;
        }
    }
    return CodecStatus::Decoded;
}

// Decodes `data` into memory lent from `frame` (when it holds a frame) or the codec's own. The
// frame before is let go first, so that a codec that keeps its frame from picture to picture
// writes the next one into the same memory.
CodecStatus DecodeInto(Decoder& decoder, std::span<const std::uint8_t> data,
                       std::span<std::uint8_t> frame) {
    if (!decoder.context)
        return CodecStatus::Failed;
    if (decoder.frameBytes > 0 && frame.size() >= decoder.frameBytes) {
        const auto address = reinterpret_cast<std::uintptr_t>(frame.data());
        const std::size_t lead = (kFrameAlignment - address % kFrameAlignment) % kFrameAlignment;
        decoder.lent = frame.subspan(lead, decoder.frameBytes - kFrameAlignment);
    }
    av_frame_unref(decoder.frame.get());
    const bool decoded = FillPacket(*decoder.packet, data) &&
                         DecodeOne(*decoder.context, *decoder.packet, *decoder.frame);
    decoder.lent = {};
    if (!decoded || decoder.frame->width != decoder.width ||
        decoder.frame->height != decoder.height) {
        return CodecStatus::Failed;
    }
    return CodecStatus::Decoded;
}

bool ReadFrameRows(Decoder& decoder, int first, int count, std::uint8_t* out,
                   std::ptrdiff_t stride) {
    const AVFrame& frame = *decoder.frame;
    if (frame.data[0] == nullptr || first < 0 || count <= 0 || first > frame.height - count)
        return false;
    const bool onePlane = av_pix_fmt_count_planes(static_cast<AVPixelFormat>(frame.format)) == 1;
    if (!onePlane && (first != 0 || count != frame.height))
        return false;
    const std::ptrdiff_t rowBytes = stride < 0 ? -stride : stride;
    if (out == nullptr || rowBytes > INT32_MAX || rowBytes < std::ptrdiff_t{frame.width} * 3)
        return false;
    if (!decoder.scaler) {
        decoder.scaler.reset(sws_getContext(
            frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
            frame.height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
        if (!decoder.scaler)
            return false;
    }
    // Each band is taken as a picture of its own: the conversions of one plane work row by row.
    const std::uint8_t* planes[4] = {frame.data[0] + std::ptrdiff_t{first} * frame.linesize[0],
                                     frame.data[1], frame.data[2], frame.data[3]};
    std::uint8_t* const targets[4] = {out, nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(stride), 0, 0, 0};
    if (sws_scale(decoder.scaler.get(), planes, frame.linesize, 0, count, targets, strides) !=
        count) {
        return false;
    }
    const std::size_t packed = static_cast<std::size_t>(frame.width) * 3;
    const std::size_t padding = static_cast<std::size_t>(rowBytes) - packed;
    if (padding != 0) {
        for (int y = 0; y < count; ++y)
            std::memset(out + y * stride + packed, 0, padding);
    }
    return true;
}

}  // namespace

struct CodecPicture::State {
    Decoder decoder;
    CompressedPicture input;
};

CodecPicture::CodecPicture() : state_(std::make_unique<State>()) {}

CodecPicture::~CodecPicture() = default;

CodecStatus CodecPicture::Open(const CompressedPicture& input) {
    const CodecStatus checked = CheckInput(input);
    if (checked != CodecStatus::Decoded)
        return checked;
    state_->input = input;
    return OpenDecoder(state_->decoder, input, input.width, input.height);
}

std::size_t CodecPicture::FrameBytes() const {
    return state_->decoder.frameBytes;
}

std::size_t CodecPicture::FramePitch() const {
    return state_->decoder.framePitch;
}

CodecStatus CodecPicture::Decode(std::span<std::uint8_t> frame) {
    return DecodeInto(state_->decoder, state_->input.data, frame);
}

bool CodecPicture::ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) {
    return ReadFrameRows(state_->decoder, first, count, out, stride);
}

struct CodecBands::State {
    Decoder decoder;
    CompressedPicture input;
    std::vector<CinepakBand> bands;
    std::size_t next = 0;
    int bandRows = 0;
    std::vector<std::uint8_t> memory;
};

CodecBands::CodecBands() : state_(std::make_unique<State>()) {}

CodecBands::~CodecBands() = default;

bool CodecBands::Open(const CompressedPicture& input, std::size_t bandBytes) {
    State& state = *state_;
    if (CheckInput(input) != CodecStatus::Decoded ||
        CodecForFourcc(input.fourcc) != AV_CODEC_ID_CINEPAK || input.bitsPerPixel == 8) {
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(input.width) * 3;
    const int bandRows =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(input.height) + 3,
                                               std::max<std::size_t>(4, bandBytes / rowBytes)) /
                         4 * 4);
    try {
        std::optional<std::vector<CinepakBand>> bands =
            CutCinepakFrame(input.data, input.width, input.height, bandRows);
        if (!bands)
            return false;
        state.bands = std::move(*bands);
    } catch (const std::bad_alloc&) {
        return false;
    }
    state.input = input;
    for (const CinepakBand& band : state.bands)
        state.bandRows = std::max(state.bandRows, band.rows);
    if (OpenDecoder(state.decoder, input, input.width, state.bandRows) != CodecStatus::Decoded ||
        state.decoder.frameBytes == 0) {
        return false;
    }
    try {
        state.memory.resize(state.decoder.frameBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

CodecStatus CodecBands::Next() {
    State& state = *state_;
    if (state.next >= state.bands.size())
        return CodecStatus::Failed;
    const CinepakBand& band = state.bands[state.next++];
    if (band.ownCodebooks) {
        const CodecStatus opened =
            OpenDecoder(state.decoder, state.input, state.input.width, state.bandRows);
        if (opened != CodecStatus::Decoded)
            return opened;
    }
    return DecodeInto(state.decoder, band.frame, state.memory);
}

int CodecBands::First() const {
    const State& state = *state_;
    return state.next == 0 ? 0 : state.bands[state.next - 1].top;
}

int CodecBands::Count() const {
    const State& state = *state_;
    return state.next == 0 ? 0 : state.bands[state.next - 1].rows;
}

bool CodecBands::ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) {
    return first >= 0 && count <= Count() - first &&
           ReadFrameRows(state_->decoder, first, count, out, stride);
}

CodecStatus DecodeCompressedPicture(const CompressedPicture& input,
                                    const PictureDestination& destination) {
    if (!DestinationFits(destination, input.width))
        return CodecStatus::Failed;
    CodecPicture picture;
    const CodecStatus opened = picture.Open(input);
    if (opened != CodecStatus::Decoded)
        return opened;
    const CodecStatus decoded = picture.Decode({});
    if (decoded != CodecStatus::Decoded)
        return decoded;
    return picture.ReadRows(0, input.height, destination.topRow, destination.stride)
               ? CodecStatus::Decoded
               : CodecStatus::Failed;
}

}  // namespace platform
