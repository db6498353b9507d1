// tt_artcompare: checks one generated file against the committed one.
//
//   tt_artcompare [--layout-only] COMMITTED GENERATED
//
// Prints what differs and exits 1, or exits 0 when the files agree within
// the tolerance of ArtCompare.h.
#include <QFile>
#include <QCoreApplication>
#include <cstdio>

#include "ArtCompare.h"

namespace {

bool Read(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the ICO reader is a plugin
    QStringList args = app.arguments().mid(1);
    const bool layoutOnly = !args.isEmpty() && args.first() == "--layout-only";
    if (layoutOnly) args.removeFirst();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tt_artcompare [--layout-only] COMMITTED GENERATED\n");
        return 2;
    }
    QByteArray committed, generated;
    for (const auto& [path, bytes] : {std::pair{args[0], &committed}, std::pair{args[1], &generated}})
        if (!Read(path, *bytes)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 2;
        }
    const QString why = layoutOnly ? CompareLayout(args[1], committed, generated)
                                   : CompareArt(args[1], committed, generated);
    if (why.isEmpty()) return 0;
    std::printf("%s\n", qPrintable(why));
    return 1;
}
