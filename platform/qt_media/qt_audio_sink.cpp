#include "platform/qt_media/qt_audio_sink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>

namespace platform {

PcmBuffer::PcmBuffer(qint64 capacityBytes) : capacity_(capacityBytes) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void PcmBuffer::Append(const char* data, qint64 size) {
    const auto bytes = bytes_.Lock();
    bytes->insert(bytes->end(), data, data + size);
    // A device that drains slower than real time loses the oldest sound, never blocks playback.
    while (static_cast<qint64>(bytes->size()) > capacity_)
        bytes->pop_front();
}

void PcmBuffer::Clear() {
    bytes_.Lock()->clear();
}

qint64 PcmBuffer::bytesAvailable() const {
    const auto bytes = bytes_.Lock();
    return static_cast<qint64>(bytes->size()) + QIODevice::bytesAvailable();
}

qint64 PcmBuffer::readData(char* data, qint64 maxSize) {
    const auto bytes = bytes_.Lock();
    qint64 n = std::min<qint64>(maxSize, static_cast<qint64>(bytes->size()));
    std::copy_n(bytes->begin(), n, data);
    bytes->erase(bytes->begin(), bytes->begin() + n);
    // Silence fills a gap so that the device keeps pulling.
    std::memset(data + n, 0, static_cast<std::size_t>(maxSize - n));
    return maxSize;
}

qint64 PcmBuffer::writeData(const char*, qint64) {
    return -1;
}

std::unique_ptr<QtAudioSink> QtAudioSink::Create(const AudioFormat& format) {
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return nullptr;
    QAudioFormat wanted;
    wanted.setSampleRate(format.sampleRate);
    wanted.setChannelCount(format.channels);
    wanted.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(wanted))
        return nullptr;
    std::unique_ptr<QtAudioSink> sink(new QtAudioSink);
    qint64 bytesPerSecond = static_cast<qint64>(format.sampleRate) * format.channels * 2;
    sink->buffer_ = std::make_unique<PcmBuffer>(bytesPerSecond * 2);
    sink->sink_ = std::make_unique<QAudioSink>(device, wanted);
    sink->sink_->start(sink->buffer_.get());
    if (sink->sink_->error() != QAudio::NoError)
        return nullptr;
    return sink;
}

QtAudioSink::~QtAudioSink() {
    if (sink_)
        sink_->stop();
}

void QtAudioSink::Write(std::span<const std::int16_t> samples) {
    buffer_->Append(reinterpret_cast<const char*>(samples.data()),
                    static_cast<qint64>(samples.size_bytes()));
}

void QtAudioSink::Flush() {
    buffer_->Clear();
}

}  // namespace platform
