// The settings written while the game is played: each change the player
// makes writes the seven values under the lock, atomically, on the window's
// thread, so it must stay well below what the player could notice.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "SettingsFile.h"

namespace {

SettingsValues Values(bool sound) {
    return {{QStringLiteral("Background Colour"), QStringLiteral("32768")},
            {QStringLiteral("Background Image"), QStringLiteral("/home/player/Pictures/caf\u00e9.jpg")},
            {QStringLiteral("Background"), QStringLiteral("True")},
            {QStringLiteral("Image Stretch"), QStringLiteral("False")},
            {QStringLiteral("Sound"), sound ? QStringLiteral("True") : QStringLiteral("False")},
            {QStringLiteral("Pattern"), QStringLiteral("Great Wall")},
            {QStringLiteral("TileSet"), QStringLiteral("Scanned Tiles")}};
}

// A change: the file holds other values, so it is written (lock, temporary
// file, flush to disk, rename, unlock).
void ChangedSettingWritten(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tavelorn Tiles.ini"));
    bool sound = false;
    for (auto _ : state) {
        sound = !sound;
        if (!WriteChangedSettingsFile(path, QStringLiteral("Settings"), Values(sound))) state.SkipWithError("not saved");
    }
}
BENCHMARK(ChangedSettingWritten)->Unit(benchmark::kMicrosecond);

// No change (the same entry picked again): the file is only read.
void UnchangedSettingSkipped(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tavelorn Tiles.ini"));
    WriteSettingsFile(path, QStringLiteral("Settings"), Values(true));
    for (auto _ : state) WriteChangedSettingsFile(path, QStringLiteral("Settings"), Values(true));
}
BENCHMARK(UnchangedSettingSkipped)->Unit(benchmark::kMicrosecond);

}  // namespace
