// The game's sounds: the four embedded WAVE sounds and the system beep.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QAudioSink;

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

// Plays from the program's resources on the default audio output. The output
// is opened at the first sound, not at start-up; with no audio device nothing
// is heard and nothing fails.
class QtSoundPlayer final : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString folder = QStringLiteral(":/sounds"));
    ~QtSoundPlayer() override;

    void Play(const QString& name) override;
    void Beep() override;

    // The resource path of the sound with this name, or "" when none.
    QString Find(const QString& name);

private:
    void Stop();

    QString folder_;
    QStringList entries_;
    bool listed_ = false;
    // The samples of the sound playing, which the sink reads as it plays.
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};
