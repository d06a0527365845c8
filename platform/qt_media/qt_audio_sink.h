#pragma once
// Sound output through QAudioSink in pull mode: the playback thread appends samples to a
// bounded buffer that the device drains on the GUI thread, with silence when it runs dry.

#include <QIODevice>

#include <deque>
#include <memory>

#include "platform/guarded.h"
#include "platform/media/media_backend.h"

class QAudioSink;

namespace platform {

// The buffer between the playback thread (Append) and the audio device (readData).
class PcmBuffer final : public QIODevice {
  public:
    explicit PcmBuffer(qint64 capacityBytes);
    void Append(const char* data, qint64 size);
    void Clear();
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

  private:
    Guarded<std::deque<char>> bytes_;
    qint64 capacity_;
};

class QtAudioSink final : public AudioSink {
  public:
    // Null when no audio device exists or it rejects the format.
    static std::unique_ptr<QtAudioSink> Create(const AudioFormat& format);
    ~QtAudioSink() override;
    void Write(std::span<const std::int16_t> samples) override;
    void Flush() override;

  private:
    QtAudioSink() = default;
    std::unique_ptr<PcmBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace platform
