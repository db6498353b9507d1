#include "SoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include "AudioModule.h"
#include "SoundThread.h"

namespace {
quint32 Word32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(b.constData()) + at);
}
quint16 Word16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(b.constData()) + at);
}
}  // namespace

bool ParseWave(const QByteArray& image, WaveData& wave) {
    if (image.size() < 12 || !image.startsWith("RIFF") || image.mid(8, 4) != "WAVE") return false;
    bool haveFormat = false;
    qsizetype at = 12;
    // Chunks are walked up to the end of the data, not the RIFF length: some
    // images carry a byte or two past what their header declares.
    while (at + 8 <= image.size()) {
        const QByteArray id = image.mid(at, 4);
        const qsizetype size = Word32(image, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= image.size()) {
            if (Word16(image, body) != 1) return false;  // PCM only
            wave.Channels = Word16(image, body + 2);
            wave.SampleRate = static_cast<int>(Word32(image, body + 4));
            wave.BitsPerSample = Word16(image, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wave.DataOffset = body;
            wave.DataSize = std::min<qsizetype>(size, image.size() - body);
            return haveFormat && wave.Channels > 0 && wave.SampleRate > 0 &&
                   (wave.BitsPerSample == 8 || wave.BitsPerSample == 16);
        }
        at = body + size + (size & 1);
    }
    return false;
}

QtSoundPlayer::QtSoundPlayer(QString folder, AudioOutputFactory makeOutput)
    : folder_(std::move(folder)), makeOutput_(std::move(makeOutput)) {
    if (!makeOutput_) makeOutput_ = [folders = AudioModuleFolders()] { return LoadAudioModule(folders); };
}

QtSoundPlayer::~QtSoundPlayer() = default;

bool QtSoundPlayer::Close(std::chrono::milliseconds limit) { return !thread_ || thread_->Close(limit); }

QString QtSoundPlayer::Find(const QString& name) {
    if (!listed_) {
        entries_ = QDir(folder_).entryList(QDir::Files);
        listed_ = true;
    }
    // A "wave" resource is a .wav file; name and type are both compared
    // without regard to case.
    for (const QString& entry : entries_) {
        const qsizetype dot = entry.lastIndexOf(u'.');
        if (dot < 0) continue;
        if (entry.left(dot).compare(name, Qt::CaseInsensitive) == 0 &&
            entry.mid(dot + 1).compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0)
            return folder_ + u'/' + entry;
    }
    return QString();
}

void QtSoundPlayer::Play(const QString& name) {
    // A sound that cannot be found or read is not played, and the one
    // playing goes on.
    const QString path = Find(name);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray image = file.readAll();
    WaveData wave;
    if (!ParseWave(image, wave)) return;
    // The thread, and with it the audio module, only from the first sound on.
    if (!thread_) thread_ = std::make_unique<SoundThread>(makeOutput_);
    thread_->Start(image.mid(wave.DataOffset, wave.DataSize), wave);
}

void QtSoundPlayer::Beep() { QApplication::beep(); }
