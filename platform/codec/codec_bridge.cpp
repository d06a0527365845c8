#include "platform/codec/codec_bridge.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

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

// The packet owns a padded copy of the data: decoders may read a little past the end.
bool FillPacket(AVPacket& packet, std::span<const std::uint8_t> data) {
    if (data.size() > static_cast<std::size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
        return false;
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

// What the codec and its picture need while a CodecPicture lives.
struct CodecPicture::State {
    ContextPtr context;
    FramePtr frame;
    PacketPtr packet;
    ScalerPtr scaler;
    CompressedPicture input;
    std::size_t frameBytes = 0;
    std::size_t framePitch = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    // The memory lent for the frame, from its first 64-byte boundary; empty once used.
    std::span<std::uint8_t> lent;

    // Gives the codec the lent memory for a frame that fits it, else a frame of its own.
    static int LendFrame(AVCodecContext* context, AVFrame* frame, int flags) {
        State& state = *static_cast<State*>(context->opaque);
        if (state.lent.empty() || frame->format != context->pix_fmt ||
            frame->width > state.frameWidth || frame->height > state.frameHeight) {
            return avcodec_default_get_buffer2(context, frame, flags);
        }
        const auto* description = av_pix_fmt_desc_get(context->pix_fmt);
        // Cleared as the library's own frames are, so that pixels a picture leaves unwritten
        // (a skipped block, columns past the last whole block) read as black, not as the
        // block's old bytes.
        std::memset(state.lent.data(), 0, state.lent.size());
        frame->buf[0] =
            av_buffer_create(state.lent.data(), state.lent.size(), KeepLentMemory, nullptr, 0);
        if (frame->buf[0] == nullptr)
            return AVERROR(ENOMEM);
        frame->data[0] = state.lent.data();
        frame->linesize[0] = static_cast<int>(state.framePitch);
        if ((description->flags & AV_PIX_FMT_FLAG_PAL) != 0) {
            frame->buf[1] = av_buffer_allocz(AVPALETTE_SIZE);
            if (frame->buf[1] == nullptr)
                return AVERROR(ENOMEM);
            frame->data[1] = frame->buf[1]->data;
            frame->linesize[1] = 4;
        }
        frame->extended_data = frame->data;
        state.lent = {};
        return 0;
    }

    // The lent memory stays its owner's.
    static void KeepLentMemory(void*, std::uint8_t*) {}
};

namespace {

constexpr std::size_t kFrameAlignment = 64;

// Columns past the picture some codecs write into (whole 4 x 4 blocks), beside the library's
// own alignment.
constexpr int kColumnSlack = 16;

// A destination sws_scale can write: a block, and rows that hold the pixels and fit its int
// strides.
bool DestinationFits(const PictureDestination& destination, int width) {
    const std::ptrdiff_t rowBytes =
        destination.stride < 0 ? -destination.stride : destination.stride;
    return destination.topRow != nullptr && rowBytes <= INT32_MAX &&
           rowBytes >= static_cast<std::ptrdiff_t>(width) * 3;
}

bool IsWholePicture(int first, int count, int height) {
    return first == 0 && count == height;
}

}  // namespace

CodecPicture::CodecPicture() : state_(std::make_unique<State>()) {}

CodecPicture::~CodecPicture() = default;

CodecStatus CodecPicture::Open(const CompressedPicture& input) {
    const std::optional<AVCodecID> codecId = CodecForFourcc(input.fourcc);
    if (!codecId)
        return CodecStatus::Failed;
    const AVCodec* codec = avcodec_find_decoder(*codecId);
    if (codec == nullptr)
        return CodecStatus::Failed;
    if (input.width <= 0 || input.height <= 0 ||
        av_image_check_size(static_cast<unsigned>(input.width), static_cast<unsigned>(input.height),
                            0, nullptr) < 0) {
        return CodecStatus::Failed;
    }
    if (input.data.size() < FewestCodedBytes(input.fourcc, input.width, input.height))
        return CodecStatus::Failed;

    State& state = *state_;
    state.context.reset(avcodec_alloc_context3(codec));
    state.frame.reset(av_frame_alloc());
    state.packet.reset(av_packet_alloc());
    if (!state.context || !state.frame || !state.packet)
        return CodecStatus::Unavailable;
    AVCodecContext& context = *state.context;
    context.width = input.width;
    context.height = input.height;
    context.coded_width = input.width;
    context.coded_height = input.height;
    context.bits_per_coded_sample = input.bitsPerPixel;
    context.codec_tag = input.fourcc;
    context.thread_count = 1;
    context.thread_type = 0;
    context.opaque = &state;
    if ((codec->capabilities & AV_CODEC_CAP_DR1) != 0)
        context.get_buffer2 = State::LendFrame;
    if (avcodec_open2(&context, codec, nullptr) < 0)
        return CodecStatus::Failed;
    state.input = input;

    // A frame of one plane (and a palette) can be lent; its size is the library's own choice
    // for the codec, with room for whole blocks past the last column.
    if (context.get_buffer2 == State::LendFrame && av_pix_fmt_count_planes(context.pix_fmt) == 1) {
        int width = input.width;
        int height = input.height;
        int alignments[AV_NUM_DATA_POINTERS] = {};
        avcodec_align_dimensions2(&context, &width, &height, alignments);
        const int pitch = av_image_get_linesize(context.pix_fmt, width + kColumnSlack, 0);
        if (pitch > 0) {
            state.framePitch = (static_cast<std::size_t>(pitch) + kFrameAlignment - 1) /
                               kFrameAlignment * kFrameAlignment;
            state.frameWidth = width;
            state.frameHeight = height;
            state.frameBytes =
                state.framePitch * static_cast<std::size_t>(height) + 2 * kFrameAlignment;
        }
    }
    return CodecStatus::Decoded;
}

std::size_t CodecPicture::FrameBytes() const {
    return state_->frameBytes;
}

std::size_t CodecPicture::FramePitch() const {
    return state_->framePitch;
}

CodecStatus CodecPicture::Decode(std::span<std::uint8_t> frame) {
    State& state = *state_;
    if (!state.context)
        return CodecStatus::Failed;
    if (state.frameBytes > 0 && frame.size() >= state.frameBytes) {
        const auto address = reinterpret_cast<std::uintptr_t>(frame.data());
        const std::size_t lead = (kFrameAlignment - address % kFrameAlignment) % kFrameAlignment;
        state.lent = frame.subspan(lead, state.frameBytes - kFrameAlignment);
    }
    const bool decoded = FillPacket(*state.packet, state.input.data) &&
                         DecodeOne(*state.context, *state.packet, *state.frame);
    state.lent = {};
    if (!decoded || state.frame->width != state.input.width ||
        state.frame->height != state.input.height) {
        return CodecStatus::Failed;
    }
    return CodecStatus::Decoded;
}

bool CodecPicture::ReadRows(int first, int count, std::uint8_t* out, std::ptrdiff_t stride) {
    State& state = *state_;
    const AVFrame& frame = *state.frame;
    if (frame.data[0] == nullptr || first < 0 || count <= 0 || first > frame.height - count)
        return false;
    const bool onePlane = av_pix_fmt_count_planes(static_cast<AVPixelFormat>(frame.format)) == 1;
    if (!onePlane && !IsWholePicture(first, count, frame.height))
        return false;
    const std::ptrdiff_t rowBytes = stride < 0 ? -stride : stride;
    if (out == nullptr || rowBytes > INT32_MAX || rowBytes < std::ptrdiff_t{frame.width} * 3)
        return false;
    if (!state.scaler) {
        state.scaler.reset(sws_getContext(
            frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
            frame.height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
        if (!state.scaler)
            return false;
    }
    // Each band is taken as a picture of its own: the conversions of one plane work row by row.
    const std::uint8_t* planes[4] = {frame.data[0] + std::ptrdiff_t{first} * frame.linesize[0],
                                     frame.data[1], frame.data[2], frame.data[3]};
    std::uint8_t* const targets[4] = {out, nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(stride), 0, 0, 0};
    if (sws_scale(state.scaler.get(), planes, frame.linesize, 0, count, targets, strides) !=
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
