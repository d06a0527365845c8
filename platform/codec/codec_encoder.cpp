#include "platform/codec/codec_encoder.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/avutil.h>
#include <libavutil/frame.h>
}

#include "platform/byte_order.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/dib_header.h"

namespace platform {
namespace {

struct EncoderChoice {
    AVCodecID codec;
    AVPixelFormat pixelFormat;
    int bitsPerPixel;
};

std::optional<EncoderChoice> EncoderForFourcc(std::uint32_t fourcc) {
    switch (CodecForFourcc(fourcc).value_or(AV_CODEC_ID_NONE)) {
        case AV_CODEC_ID_CINEPAK:
            return EncoderChoice{AV_CODEC_ID_CINEPAK, AV_PIX_FMT_RGB24, 24};
        case AV_CODEC_ID_MSVIDEO1:
            return EncoderChoice{AV_CODEC_ID_MSVIDEO1, AV_PIX_FMT_RGB555LE, 16};
        default:
            return std::nullopt;
    }
}

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// Fills `frame` (already sized) from packed blue-green-red rows, top row first.
void FillFrame(const UncompressedPicture& input, AVPixelFormat format, AVFrame& frame) {
    const std::size_t rowBytes = static_cast<std::size_t>(input.width) * 3;
    for (int y = 0; y < input.height; ++y) {
        const std::uint8_t* source = input.bgr.data() + static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* target = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
        for (int x = 0; x < input.width; ++x, source += 3) {
            const std::uint8_t blue = source[0];
            const std::uint8_t green = source[1];
            const std::uint8_t red = source[2];
            if (format == AV_PIX_FMT_RGB24) {
                target[3 * x] = red;
                target[3 * x + 1] = green;
                target[3 * x + 2] = blue;
            } else {
                const unsigned value = ((red >> 3u) << 10u) | ((green >> 3u) << 5u) | (blue >> 3u);
                StoreLe16(target + 2 * x, static_cast<std::uint16_t>(value));
            }
        }
    }
}

// The Cinepak encoder's rate-distortion weight for a quality of 0..10000: 7500 gives the
// encoder's default of two lambda units, 10000 pure distortion, 0 eight units.
int CinepakFrameQuality(int quality) {
    return 1 + (10000 - quality) * 8 * FF_LAMBDA_SCALE / 10000;
}

}  // namespace

EncodeStatus EncodePicture(std::uint32_t fourcc, const UncompressedPicture& input, int quality,
                           EncodedPicture& picture) {
    picture = EncodedPicture{};
    const std::optional<EncoderChoice> choice = EncoderForFourcc(fourcc);
    if (!choice)
        return EncodeStatus::Failed;
    if (input.width <= 0 || input.height <= 0 || input.width % 4 != 0 || input.height % 4 != 0) {
        return EncodeStatus::Failed;
    }
    const std::size_t needed =
        static_cast<std::size_t>(input.width) * static_cast<std::size_t>(input.height) * 3;
    if (input.bgr.size() < needed)
        return EncodeStatus::Failed;
    const AVCodec* codec = avcodec_find_encoder(choice->codec);
    if (codec == nullptr)
        return EncodeStatus::Failed;

    std::unique_ptr<AVCodecContext, CodecContextFree> context(avcodec_alloc_context3(codec));
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!context || !frame || !packet)
        return EncodeStatus::Unavailable;
    context->width = input.width;
    context->height = input.height;
    context->pix_fmt = choice->pixelFormat;
    context->time_base = AVRational{1, 25};
    context->framerate = AVRational{25, 1};
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return EncodeStatus::Failed;

    frame->format = choice->pixelFormat;
    frame->width = input.width;
    frame->height = input.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return EncodeStatus::Unavailable;
    FillFrame(input, choice->pixelFormat, *frame);
    frame->pts = 0;
    if (choice->codec == AV_CODEC_ID_CINEPAK) {
        frame->quality = CinepakFrameQuality(std::clamp(quality, 0, 10000));
    }

    if (avcodec_send_frame(context.get(), frame.get()) < 0)
        return EncodeStatus::Failed;
    if (avcodec_send_frame(context.get(), nullptr) < 0)
        return EncodeStatus::Failed;
    if (avcodec_receive_packet(context.get(), packet.get()) < 0 || packet->size <= 0) {
        return EncodeStatus::Failed;
    }
    picture.fourcc = fourcc;
    picture.width = input.width;
    picture.height = input.height;
    picture.bitsPerPixel = choice->bitsPerPixel;
    picture.data.assign(packet->data, packet->data + packet->size);
    return EncodeStatus::Encoded;
}

std::vector<std::uint8_t> BitmapRecordOf(const EncodedPicture& picture) {
    BitmapInfoHeader header;
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biBitCount = static_cast<std::uint16_t>(picture.bitsPerPixel);
    header.biCompression = picture.fourcc;
    header.biSizeImage = static_cast<std::uint32_t>(picture.data.size());
    std::vector<std::uint8_t> packed(kInfoHeaderSize);
    StoreInfoHeader(packed.data(), header);
    packed.insert(packed.end(), picture.data.begin(), picture.data.end());
    return packed;
}

}  // namespace platform
