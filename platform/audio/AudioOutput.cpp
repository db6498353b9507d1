// The audio module: the sound player's output on Qt Multimedia, loaded at
// the first sound (see SoundPlayer.h).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
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

        sink_ = std::make_unique<QAudioSink>(device, format);
        QIODevice* stream = sink_->start();
        if (!stream) {
            Stop();
            return;
        }
        // The whole sound goes to the server at once, so it plays on however
        // late this thread runs next (fed a piece at a time from here, a sound
        // asked for on a busy machine could still be waiting for the next one
        // to cut it off). The server starts a stream once it holds a buffer's
        // worth: a shorter sound is followed by silence up to that.
        const qsizetype frame = format.bytesPerFrame();
        QByteArray whole = samples.left(samples.size() / frame * frame);
        const qsizetype least = sink_->bufferSize() / frame * frame;
        if (whole.size() < least)
            whole.append(least - whole.size(), format.sampleFormat() == QAudioFormat::UInt8 ? '\x80' : '\0');
        stream->write(whole);
    }

    void Stop() override {
        if (sink_) {
            sink_->stop();
            sink_.reset();
        }
    }

private:
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

extern "C" Q_DECL_EXPORT AudioOutput* CreateAudioOutput() { return new SinkOutput; }
