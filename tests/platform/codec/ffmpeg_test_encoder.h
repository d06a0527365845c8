#pragma once
// Encodes one picture with one of FFmpeg's video encoders, for tests that need codec-compressed
// pixels made here rather than sample files.

#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

// `bgr`: packed blue, green, red rows, top row first. Returns the compressed frame, empty when
// the encoder is missing or fails.
inline std::vector<std::uint8_t> EncodeTestPicture(AVCodecID codecId,
                                                   const std::vector<std::uint8_t>& bgr, int width,
                                                   int height) {
    std::vector<std::uint8_t> result;
    const AVCodec* codec = avcodec_find_encoder(codecId);
    if (codec == nullptr)
        return result;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const AVPixelFormat format = codec->pix_fmts[0];
    context->width = width;
    context->height = height;
    context->pix_fmt = format;
    context->time_base = AVRational{1, 25};
    frame->format = format;
    frame->width = width;
    frame->height = height;
    SwsContext* scaler = sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, format,
                                        SWS_POINT, nullptr, nullptr, nullptr);
    if (avcodec_open2(context, codec, nullptr) == 0 && av_frame_get_buffer(frame, 0) == 0 &&
        scaler != nullptr) {
        const std::uint8_t* planes[4] = {bgr.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {width * 3, 0, 0, 0};
        sws_scale(scaler, planes, strides, 0, height, frame->data, frame->linesize);
        frame->pts = 0;
        if (avcodec_send_frame(context, frame) == 0 && avcodec_send_frame(context, nullptr) == 0 &&
            avcodec_receive_packet(context, packet) == 0) {
            result.assign(packet->data, packet->data + packet->size);
        }
    }
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return result;
}
