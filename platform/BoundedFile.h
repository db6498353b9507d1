// The first bytes of an open file as a device of their own: a decoder
// reading through it finds the file's end at the bound, so a file with a
// tail of gigabytes costs it no more than one without.
#pragma once

#include <QIODevice>

class QFile;

class BoundedFile final : public QIODevice {
public:
    // Over `file`, open for reading; this device opens at the file's start.
    BoundedFile(QFile& file, qint64 limit);

    // Moves the bound; what lay beyond it may be read from now on.
    void SetLimit(qint64 limit) { limit_ = limit; }
    qint64 Limit() const { return limit_; }

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile& file_;
    qint64 limit_;
};
