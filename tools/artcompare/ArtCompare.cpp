#include "ArtCompare.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

quint32 U32(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 4 > b.size()) return 0;
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

QString Ending(const QString& name) { return name.section('.', -1).toLower(); }

bool IsPicture(const QString& name) {
    const QString e = Ending(name);
    return e == "bmp" || e == "ico" || e == "png";
}

// The bytes before the pixels that say what the picture is: BMP's file and
// info headers, ICO's directory and bitmap header, PNG's signature and IHDR.
// A BMP's palette is not among them: it is checked through the pixels.
qsizetype HeaderLength(const QString& name) {
    const QString e = Ending(name);
    if (e == "bmp") return 14 + 40;
    if (e == "ico") return 6 + 16 + 40;
    if (e == "png") return 8 + 25;
    return -1;
}

// A WAVE file's sample bytes: where they start, how many, and their width.
struct WaveData {
    qsizetype at = -1;
    qsizetype size = 0;
    int bits = 0;
};

WaveData FindWaveData(const QByteArray& wav) {
    WaveData data;
    if (!wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") return data;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const qsizetype size = U32(wav, at + 4);
        if (id == "fmt ") data.bits = int(U32(wav, at + 22) & 0xFFFF);
        if (id == "data") {
            data.at = at + 8;
            data.size = std::min(size, wav.size() - data.at);
            return data;
        }
        at += 8 + size + (size & 1);
    }
    return data;
}

// The values that differ, the largest difference and where it is.
struct Tally {
    qsizetype values = 0;
    qsizetype differing = 0;
    int worst = 0;
    QString where;

    void Add(int a, int b, const QString& at) {
        const int d = std::abs(a - b);
        if (d == 0) return;
        if (differing++ == 0 || d > worst) where = at;
        worst = std::max(worst, d);
    }
    QString Verdict(const Tolerance& t, const QString& unit) const {
        if (worst > t.levels)
            return QString("a %1 differs by %2 levels (%3)").arg(unit).arg(worst).arg(where);
        if (differing > 1 + values * t.perMille / 1000)
            return QString("%1 of %2 %3s differ (%4)").arg(differing).arg(values).arg(unit).arg(where);
        return {};
    }
};

QString ComparePixels(const QString& name, const QByteArray& committed, const QByteArray& generated,
                      const Tolerance& t) {
    const QByteArray format = Ending(name).toUpper().toLatin1();
    const QImage want = QImage::fromData(committed, format.constData()).convertToFormat(QImage::Format_ARGB32);
    const QImage got = QImage::fromData(generated, format.constData()).convertToFormat(QImage::Format_ARGB32);
    if (want.isNull() || got.isNull()) return "cannot be decoded as " + QString(format);
    if (want.size() != got.size()) return "the picture's size differs";
    Tally tally;
    tally.values = qsizetype(want.width()) * want.height();
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const QRgb a = want.pixel(x, y), b = got.pixel(x, y);
            if (a == b) continue;
            int worst = 0;
            for (int shift : {0, 8, 16, 24}) worst = std::max(worst, std::abs(int(a >> shift & 255) - int(b >> shift & 255)));
            tally.Add(0, worst, QString("pixel %1,%2").arg(x).arg(y));
        }
    return tally.Verdict(t, "pixel");
}

QString CompareSamples(const QByteArray& committed, const QByteArray& generated, const Tolerance& t) {
    const WaveData want = FindWaveData(committed), got = FindWaveData(generated);
    if (want.at < 0 || got.at != want.at || got.size != want.size || got.bits != want.bits ||
        (want.bits != 8 && want.bits != 16))
        return "the WAVE layout differs or is not 8- or 16-bit PCM";
    if (committed.left(want.at) != generated.left(got.at) ||
        committed.mid(want.at + want.size) != generated.mid(got.at + got.size))
        return "the WAVE chunks around the samples differ";
    const int width = want.bits / 8;
    const auto sample = [&](const QByteArray& b, qsizetype i) {
        const qsizetype at = want.at + i * width;
        return width == 1 ? int(uchar(b[at])) : int(qint16(quint16(uchar(b[at]) | uchar(b[at + 1]) << 8)));
    };
    Tally tally;
    tally.values = want.size / width;
    for (qsizetype i = 0; i < tally.values; ++i)
        tally.Add(sample(committed, i), sample(generated, i), QString("sample %1").arg(i));
    return tally.Verdict(t, "sample");
}

}  // namespace

QString CompareLayout(const QString& name, const QByteArray& committed, const QByteArray& generated) {
    // A PNG's length follows its compressed pixels, so only its header counts.
    if (Ending(name) != "png" && committed.size() != generated.size())
        return QString("the length differs (%1 bytes, committed %2)").arg(generated.size()).arg(committed.size());
    const qsizetype header = HeaderLength(name);
    if (header > 0 && committed.left(header) != generated.left(header)) return "the header differs";
    return {};
}

QString CompareArt(const QString& name, const QByteArray& committed, const QByteArray& generated, Tolerance t) {
    if (committed == generated) return {};
    if (const QString layout = CompareLayout(name, committed, generated); !layout.isEmpty()) return layout;
    if (IsPicture(name)) return ComparePixels(name, committed, generated, t);
    if (Ending(name) == "wav") return CompareSamples(committed, generated, t);
    return "the bytes differ";
}
