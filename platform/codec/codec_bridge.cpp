#include "platform/codec/codec_bridge.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/codec/codec_fourcc.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
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

// Converts the frame into the caller's rows, each written in place, then zeroes their padding.
CodecStatus ConvertToBgr(const AVFrame& frame, const PictureDestination& destination) {
    ScalerPtr scaler(sws_getContext(
        frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
        frame.height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler)
        return CodecStatus::Failed;
    std::uint8_t* const planes[4] = {destination.topRow, nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(destination.stride), 0, 0, 0};
    const int rows =
        sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
    if (rows != frame.height)
        return CodecStatus::Failed;
    const std::size_t packed = static_cast<std::size_t>(frame.width) * 3;
    const std::size_t padding = static_cast<std::size_t>(std::abs(destination.stride)) - packed;
    if (padding != 0) {
        for (int y = 0; y < frame.height; ++y)
            std::memset(destination.topRow + y * destination.stride + packed, 0, padding);
    }
    return CodecStatus::Decoded;
}

// A destination sws_scale can write: a block, and rows that hold the pixels and fit its int
// strides.
bool DestinationFits(const PictureDestination& destination, int width) {
    const std::ptrdiff_t rowBytes =
        destination.stride < 0 ? -destination.stride : destination.stride;
    return destination.topRow != nullptr && rowBytes <= INT32_MAX &&
           rowBytes >= static_cast<std::ptrdiff_t>(width) * 3;
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

CodecStatus DecodeCompressedPicture(const CompressedPicture& input,
                                    const PictureDestination& destination) {
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
    if (!DestinationFits(destination, input.width))
        return CodecStatus::Failed;
    if (input.data.size() < FewestCodedBytes(input.fourcc, input.width, input.height))
        return CodecStatus::Failed;

    ContextPtr context(avcodec_alloc_context3(codec));
    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!context || !frame || !packet)
        return CodecStatus::Unavailable;

    context->width = input.width;
    context->height = input.height;
    context->coded_width = input.width;
    context->coded_height = input.height;
    context->bits_per_coded_sample = input.bitsPerPixel;
    context->codec_tag = input.fourcc;
    context->thread_count = 1;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return CodecStatus::Failed;
    if (!FillPacket(*packet, input.data))
        return CodecStatus::Failed;
    if (!DecodeOne(*context, *packet, *frame))
        return CodecStatus::Failed;
    if (frame->width != input.width || frame->height != input.height)
        return CodecStatus::Failed;
    return ConvertToBgr(*frame, destination);
}

}  // namespace platform
