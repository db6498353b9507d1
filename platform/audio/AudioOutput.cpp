// The audio module: the sound player's output on Qt Multimedia, loaded at
// the first sound (see SoundPlayer.h).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <memory>

#include "SoundPlayer.h"

namespace {

class SinkOutput final : public AudioOutput {
public:
    ~SinkOutput() override { Stop(); }

    void Start(const QByteArray& samples, const WaveData& wave) override {
        Stop();
        // Asked for only now, on the sound thread: neither the start-up nor
        // the window ever waits on the sound server.
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return;

        QAudioFormat format;
        format.setSampleRate(wave.SampleRate);
        format.setChannelCount(wave.Channels);
        format.setSampleFormat(wave.BitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

        // The samples stay in the buffer until the next sound replaces them.
        buffer_.setData(samples);
        if (!buffer_.open(QIODevice::ReadOnly)) return;
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->start(&buffer_);
    }

    void Stop() override {
        if (sink_) {
            sink_->stop();
            sink_.reset();
        }
        buffer_.close();
    }

private:
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

extern "C" Q_DECL_EXPORT AudioOutput* CreateAudioOutput() { return new SinkOutput; }
