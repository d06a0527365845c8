#include "avi_writer.h"

#include <cmath>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace platform::testing {

namespace {

struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVPacket* packet = av_packet_alloc();

    ~Writer() {
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format != nullptr) {
            if (format->pb != nullptr)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    bool Drain(AVCodecContext* codec, AVStream* stream, const AVFrame* frame) {
        if (avcodec_send_frame(codec, frame) < 0)
            return false;
        for (;;) {
            int rc = avcodec_receive_packet(codec, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return true;
            if (rc < 0)
                return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0)
                return false;
        }
    }
};

}  // namespace

bool WriteAvi(const std::string& path, const AviSpec& spec) {
    Writer w;
    if (avformat_alloc_output_context2(&w.format, nullptr, "avi", path.c_str()) < 0)
        return false;

    const AVCodec* videoCodec = avcodec_find_encoder_by_name(spec.codec.c_str());
    if (videoCodec == nullptr || videoCodec->pix_fmts == nullptr)
        return false;
    w.video = avcodec_alloc_context3(videoCodec);
    w.video->width = spec.width;
    w.video->height = spec.height;
    w.video->time_base = AVRational{1, spec.framesPerSecond};
    w.video->pix_fmt = videoCodec->pix_fmts[0];
    if (avcodec_open2(w.video, videoCodec, nullptr) < 0)
        return false;
    w.videoStream = avformat_new_stream(w.format, nullptr);
    w.videoStream->time_base = w.video->time_base;
    avcodec_parameters_from_context(w.videoStream->codecpar, w.video);

    if (spec.withSound) {
        const AVCodec* pcm = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        w.audio = avcodec_alloc_context3(pcm);
        w.audio->sample_rate = 11025;
        w.audio->sample_fmt = AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&w.audio->ch_layout, 1);
        w.audio->time_base = AVRational{1, 11025};
        if (avcodec_open2(w.audio, pcm, nullptr) < 0)
            return false;
        w.audioStream = avformat_new_stream(w.format, nullptr);
        w.audioStream->time_base = w.audio->time_base;
        avcodec_parameters_from_context(w.audioStream->codecpar, w.audio);
    }

    if (avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    if (avformat_write_header(w.format, nullptr) < 0)
        return false;

    // One solid picture, converted from blue-green-red into the encoder's pixel format.
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(),
                                                       [](AVFrame* f) { av_frame_free(&f); });
    frame->format = w.video->pix_fmt;
    frame->width = spec.width;
    frame->height = spec.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return false;
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(spec.width * spec.height * 3));
    for (std::size_t i = 0; i < bgr.size(); i += 3) {
        bgr[i] = spec.blue;
        bgr[i + 1] = spec.green;
        bgr[i + 2] = spec.red;
    }
    SwsContext* scaler =
        sws_getContext(spec.width, spec.height, AV_PIX_FMT_BGR24, spec.width, spec.height,
                       w.video->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
    const std::uint8_t* source[1] = {bgr.data()};
    int sourceStride[1] = {spec.width * 3};
    sws_scale(scaler, source, sourceStride, 0, spec.height, frame->data, frame->linesize);
    sws_freeContext(scaler);

    for (int i = 0; i < spec.frames; ++i) {
        frame->pts = i;
        if (!w.Drain(w.video, w.videoStream, frame.get()))
            return false;
    }
    if (!w.Drain(w.video, w.videoStream, nullptr))
        return false;

    if (spec.withSound) {
        std::unique_ptr<AVFrame, void (*)(AVFrame*)> samples(av_frame_alloc(),
                                                             [](AVFrame* f) { av_frame_free(&f); });
        const int total = 11025 * spec.frames / spec.framesPerSecond;
        samples->format = AV_SAMPLE_FMT_S16;
        samples->nb_samples = total;
        samples->sample_rate = 11025;
        av_channel_layout_default(&samples->ch_layout, 1);
        if (av_frame_get_buffer(samples.get(), 0) < 0)
            return false;
        auto* data = reinterpret_cast<std::int16_t*>(samples->data[0]);
        for (int i = 0; i < total; ++i)
            data[i] = static_cast<std::int16_t>(4000 * std::sin(i * 0.1));
        samples->pts = 0;
        if (!w.Drain(w.audio, w.audioStream, samples.get()))
            return false;
        if (!w.Drain(w.audio, w.audioStream, nullptr))
            return false;
    }
    return av_write_trailer(w.format) >= 0;
}

}  // namespace platform::testing
