// Finding and loading the audio module, the sound output on Qt Multimedia.
#pragma once

#include <QStringList>
#include <memory>

class AudioOutput;

// Where the module may lie: beside the program, and where the build put it.
QStringList AudioModuleFolders();

// The output of the module in the first of these folders that loads. When
// none does, null, and one line on standard error says that the game plays
// without sound and what was looked for.
std::unique_ptr<AudioOutput> LoadAudioModule(const QStringList& folders);
