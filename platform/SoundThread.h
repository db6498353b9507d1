// The thread the sound output lives on. Finding the audio device and
// starting a sound talk to the sound server, which may take long or never
// answer; the window's thread only hands sounds over and never waits.
#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "SoundPlayer.h"

struct SoundLine;

class SoundThread {
public:
    // `makeOutput` runs on the sound thread at the first sound; it may
    // return null (no module, no device), and then nothing is heard.
    explicit SoundThread(AudioOutputFactory makeOutput);
    // Closes with a short limit (see Close).
    ~SoundThread();

    // Hands a sound over and returns at once. Only the newest sound not yet
    // started is kept: it cuts off the one playing when its turn comes, and
    // one that waited too long for the output is dropped, never played late.
    void Start(QByteArray samples, const WaveData& wave);

    // Stops the sound and ends the thread, waiting at most `limit`. False
    // when the thread is held in the sound server: it is then left behind,
    // since nothing can wake it, and must not be waited for again.
    bool Close(std::chrono::milliseconds limit);

private:
    std::shared_ptr<SoundLine> line_;
    std::thread thread_;
    bool leftBehind_ = false;
};
