#include "AudioModule.h"

#include <QCoreApplication>
#include <QLibrary>

#include "SoundPlayer.h"

QStringList AudioModuleFolders() {
    QStringList folders{QCoreApplication::applicationDirPath(), QStringLiteral(TT_AUDIO_MODULE_DIR)};
    folders.removeDuplicates();
    return folders;
}

// Loaded once and never unloaded: the output lives to the end.
std::unique_ptr<AudioOutput> LoadAudioModule(const QStringList& folders) {
    QStringList failures;
    for (const QString& folder : folders) {
        QLibrary module(folder + QStringLiteral("/tt_audio"));
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (auto create = reinterpret_cast<CreateAudioOutputFunction>(module.resolve(TT_AUDIO_ENTRY)))
            return std::unique_ptr<AudioOutput>(create());
        failures << module.errorString();
    }
    qWarning("Tavelorn Tiles plays without sound: the sound module tt_audio did not load from %s (%s)",
             qPrintable(folders.join(QStringLiteral(" or "))), qPrintable(failures.join(QStringLiteral("; "))));
    return nullptr;
}
