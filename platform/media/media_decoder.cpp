#include "platform/media/media_decoder.h"

#include <algorithm>
#include <deque>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

CodecContextPtr OpenDecoder(AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec == nullptr)
        return nullptr;
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        return nullptr;
    if (avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return nullptr;
    context->pkt_timebase = stream->time_base;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return nullptr;
    return context;
}

}  // namespace

struct MediaDecoder::State {
    AVFormatContext* format = nullptr;
    int audioIndex = -1;
    int videoIndex = -1;
    CodecContextPtr audio;
    CodecContextPtr video;
    SwrContext* resampler = nullptr;
    SwsContext* scaler = nullptr;
    AudioFormat audioFormat;
    std::unique_ptr<AVFrame, FrameDeleter> frame{av_frame_alloc()};
    std::unique_ptr<AVPacket, PacketDeleter> packet{av_packet_alloc()};
    std::deque<DecodedUnit> pending;
    std::int64_t samplesOut = 0;
    std::int64_t videoFrames = 0;
    bool endOfInput = false;
    bool finished = false;

    ~State() {
        swr_free(&resampler);
        sws_freeContext(scaler);
        avformat_close_input(&format);
    }

    bool SetUpResampler() {
        AVChannelLayout& in = audio->ch_layout;
        if (in.nb_channels <= 0 || audio->sample_rate <= 0)
            return false;
        if (in.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in, in.nb_channels);
        AVChannelLayout out{};
        av_channel_layout_default(&out, std::min(in.nb_channels, 2));
        int rc = swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_S16, audio->sample_rate, &in,
                                     audio->sample_fmt, audio->sample_rate, 0, nullptr);
        audioFormat = {audio->sample_rate, out.nb_channels};
        av_channel_layout_uninit(&out);
        return rc >= 0 && swr_init(resampler) >= 0;
    }

    void EmitAudio(const std::uint8_t** input, int inputSamples) {
        int capacity = swr_get_out_samples(resampler, inputSamples);
        if (capacity <= 0)
            return;
        DecodedUnit unit;
        unit.kind = DecodedUnit::Kind::kAudio;
        unit.samples.resize(static_cast<std::size_t>(capacity) *
                            static_cast<std::size_t>(audioFormat.channels));
        std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(unit.samples.data())};
        int got = swr_convert(resampler, out, capacity, input, inputSamples);
        if (got <= 0)
            return;
        unit.samples.resize(static_cast<std::size_t>(got) *
                            static_cast<std::size_t>(audioFormat.channels));
        unit.timeMs = samplesOut * 1000 / audioFormat.sampleRate;
        samplesOut += got;
        unit.endMs = samplesOut * 1000 / audioFormat.sampleRate;
        pending.push_back(std::move(unit));
    }

    void EmitVideo(const AVFrame& picture) {
        if (picture.width <= 0 || picture.height <= 0)
            return;
        scaler = sws_getCachedContext(scaler, picture.width, picture.height,
                                      static_cast<AVPixelFormat>(picture.format), picture.width,
                                      picture.height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr,
                                      nullptr, nullptr);
        if (scaler == nullptr)
            return;
        DecodedUnit unit;
        unit.kind = DecodedUnit::Kind::kVideo;
        unit.width = picture.width;
        unit.height = picture.height;
        unit.bgra.resize(static_cast<std::size_t>(picture.width) *
                         static_cast<std::size_t>(picture.height) * 4);
        std::uint8_t* planes[1] = {unit.bgra.data()};
        int strides[1] = {picture.width * 4};
        sws_scale(scaler, picture.data, picture.linesize, 0, picture.height, planes, strides);

        AVStream* stream = format->streams[videoIndex];
        std::int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
        std::int64_t pts = picture.best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE) {
            unit.timeMs = av_rescale_q(pts - start, stream->time_base, AVRational{1, 1000});
        } else {
            AVRational rate = av_guess_frame_rate(format, stream, nullptr);
            unit.timeMs = rate.num > 0 ? av_rescale_q(videoFrames, av_inv_q(rate), {1, 1000}) : 0;
        }
        unit.timeMs = std::max<std::int64_t>(unit.timeMs, 0);
        ++videoFrames;
        pending.push_back(std::move(unit));
    }

    // Sends one packet (null: drain) to `context` and turns every frame it yields into units.
    bool Decode(AVCodecContext* context, const AVPacket* input) {
        if (avcodec_send_packet(context, input) < 0 && input == nullptr)
            return false;
        for (;;) {
            int rc = avcodec_receive_frame(context, frame.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return true;
            if (rc < 0)
                return false;
            if (context == audio.get()) {
                EmitAudio(const_cast<const std::uint8_t**>(frame->extended_data),
                          frame->nb_samples);
            } else {
                EmitVideo(*frame);
            }
            av_frame_unref(frame.get());
        }
    }

    void ReadMore() {
        if (endOfInput) {
            finished = true;
            return;
        }
        int rc = av_read_frame(format, packet.get());
        if (rc < 0) {
            endOfInput = true;
            if (audio) {
                Decode(audio.get(), nullptr);
                EmitAudio(nullptr, 0);
            }
            if (video)
                Decode(video.get(), nullptr);
            return;
        }
        if (packet->stream_index == audioIndex && audio) {
            Decode(audio.get(), packet.get());
        } else if (packet->stream_index == videoIndex && video) {
            Decode(video.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
};

MediaDecoder::MediaDecoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
MediaDecoder::~MediaDecoder() = default;

std::unique_ptr<MediaDecoder> MediaDecoder::Open(const std::string& path) {
    auto state = std::make_unique<State>();
    if (!state->frame || !state->packet)
        return nullptr;
    if (avformat_open_input(&state->format, path.c_str(), nullptr, nullptr) < 0)
        return nullptr;
    if (avformat_find_stream_info(state->format, nullptr) < 0)
        return nullptr;

    int audioIndex = av_find_best_stream(state->format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audioIndex >= 0) {
        state->audio = OpenDecoder(state->format->streams[audioIndex]);
        if (state->audio && state->SetUpResampler()) {
            state->audioIndex = audioIndex;
        } else {
            state->audio.reset();
        }
    }
    int videoIndex = av_find_best_stream(state->format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (videoIndex >= 0) {
        state->video = OpenDecoder(state->format->streams[videoIndex]);
        if (state->video && state->video->width > 0 && state->video->height > 0) {
            state->videoIndex = videoIndex;
        } else {
            state->video.reset();
        }
    }
    if (!state->audio && !state->video)
        return nullptr;
    return std::unique_ptr<MediaDecoder>(new MediaDecoder(std::move(state)));
}

bool MediaDecoder::HasAudio() const {
    return state_->audio != nullptr;
}
bool MediaDecoder::HasVideo() const {
    return state_->video != nullptr;
}
AudioFormat MediaDecoder::Audio() const {
    return state_->audioFormat;
}
int MediaDecoder::VideoWidth() const {
    return state_->video ? state_->video->width : 0;
}
int MediaDecoder::VideoHeight() const {
    return state_->video ? state_->video->height : 0;
}

std::optional<DecodedUnit> MediaDecoder::Next() {
    while (state_->pending.empty() && !state_->finished)
        state_->ReadMore();
    if (state_->pending.empty())
        return std::nullopt;
    DecodedUnit unit = std::move(state_->pending.front());
    state_->pending.pop_front();
    return unit;
}

bool MediaDecoder::Rewind() {
    State& s = *state_;
    s.pending.clear();
    s.samplesOut = 0;
    s.videoFrames = 0;
    s.endOfInput = false;
    s.finished = false;
    if (s.audio)
        avcodec_flush_buffers(s.audio.get());
    if (s.video)
        avcodec_flush_buffers(s.video.get());
    if (s.resampler != nullptr) {
        swr_close(s.resampler);
        if (swr_init(s.resampler) < 0) {
            s.finished = true;
            return false;
        }
    }
    std::int64_t start = s.format->start_time == AV_NOPTS_VALUE ? 0 : s.format->start_time;
    if (avformat_seek_file(s.format, -1, INT64_MIN, start, start, 0) < 0 &&
        av_seek_frame(s.format, -1, start, AVSEEK_FLAG_BACKWARD) < 0) {
        s.finished = true;
        return false;
    }
    return true;
}

}  // namespace platform
