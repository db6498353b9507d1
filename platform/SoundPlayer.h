// The game's sounds: the four embedded WAVE sounds and the system beep.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the embedded sound of type "wave" with this name (compared
    // without regard to case) and returns at once; the sound playing is cut
    // off. A name that finds no sound plays nothing.
    virtual void Play(const QString& name) = 0;
    // The system beep.
    virtual void Beep() = 0;
};

// What a WAVE file holds for playing: its PCM format and where its samples lie.
struct WaveData {
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    qsizetype DataOffset = 0;
    qsizetype DataSize = 0;
};

// Reads the format and data chunks of a RIFF WAVE image. False for anything
// that is not uncompressed 8- or 16-bit PCM.
bool ParseWave(const QByteArray& image, WaveData& wave);

// Where the samples of a sound go. Made by the audio module, a library of
// its own, so the audio libraries are loaded at the first sound rather than
// at every start-up.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts the samples on the default output and returns at once, cutting
    // off what was playing; with no output device nothing is heard.
    virtual void Start(const QByteArray& samples, const WaveData& wave) = 0;
    virtual void Stop() = 0;
};

// The audio module's one entry point.
using CreateAudioOutputFunction = AudioOutput* (*)();
#define TT_AUDIO_ENTRY "CreateAudioOutput"

// Makes the output; null when there is none.
using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

class SoundThread;

// Plays from the program's resources on the default audio output. The audio
// module is loaded and the output opened at the first sound, not at
// start-up, on a thread of their own (SoundThread.h): with no module, no
// audio device or a sound server that does not answer, nothing is heard and
// nothing waits.
class QtSoundPlayer final : public SoundPlayer {
public:
    // `makeOutput` defaults to the audio module (AudioModule.h).
    explicit QtSoundPlayer(QString folder = QStringLiteral(":/sounds"), AudioOutputFactory makeOutput = {});
    ~QtSoundPlayer() override;

    void Play(const QString& name) override;
    void Beep() override;

    // The resource path of the sound with this name, or "" when none.
    QString Find(const QString& name);

    // Stops the sound and ends its thread, waiting at most `limit`; false
    // when the thread is held in the sound server and was left behind.
    bool Close(std::chrono::milliseconds limit);

private:
    QString folder_;
    QStringList entries_;
    bool listed_ = false;
    AudioOutputFactory makeOutput_;
    std::unique_ptr<SoundThread> thread_;
};
