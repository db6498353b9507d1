#include "SoundThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace {
using Clock = std::chrono::steady_clock;

// A sound that could not start within this time after it was asked for is
// not played at all: heard late, it would no longer match the move.
constexpr std::chrono::milliseconds Stale(750);

const QEvent::Type Wake = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type Quit = static_cast<QEvent::Type>(QEvent::User + 2);

struct SoundRequest {
    QByteArray Samples;
    WaveData Wave;
    Clock::time_point Asked;
};
}  // namespace

// What the window's thread and the sound thread share. It outlives both
// ends: a thread left behind in the sound server still holds it.
struct SoundLine {
    std::mutex Lock;
    std::condition_variable Ended;
    std::optional<SoundRequest> Pending;
    QObject* Receiver = nullptr;  // the sound thread's, while its loop runs
    bool Closing = false;
    bool Finished = false;
    AudioOutputFactory MakeOutput;
};

namespace {
// Lives on the sound thread and does its work there, one event at a time.
class SoundWorker final : public QObject {
public:
    SoundWorker(SoundLine& line, QEventLoop& loop) : line_(line), loop_(loop) {}
    ~SoundWorker() override {
        if (output_) output_->Stop();
    }

    bool event(QEvent* e) override {
        if (e->type() == Quit) {
            loop_.quit();
            return true;
        }
        if (e->type() == Wake) {
            PlayNewest();
            return true;
        }
        return QObject::event(e);
    }

private:
    // Plays the newest sound until none is waiting. The output may run this
    // thread's events while it works (Qt's sink does, as one is destroyed):
    // a sound handed over meanwhile is taken here once the output returns,
    // never started inside the start of an older one, which would then
    // replace it.
    void PlayNewest() {
        if (starting_) return;
        starting_ = true;
        while (PlayOne()) {
        }
        starting_ = false;
    }

    // Takes the newest sound and plays it; false when none was waiting.
    bool PlayOne() {
        if (!outputTried_) {
            outputTried_ = true;
            output_ = line_.MakeOutput();  // may wait long on the sound server
        }
        std::optional<SoundRequest> request;
        {
            std::lock_guard hold(line_.Lock);
            if (line_.Closing) return false;
            request.swap(line_.Pending);
        }
        if (!request) return false;
        if (output_ && Clock::now() - request->Asked <= Stale) output_->Start(request->Samples, request->Wave);
        return true;
    }

    SoundLine& line_;
    QEventLoop& loop_;
    bool outputTried_ = false;
    bool starting_ = false;
    std::unique_ptr<AudioOutput> output_;
};

void RunSoundThread(std::shared_ptr<SoundLine> line) {
    {
        QEventLoop loop;
        SoundWorker worker(*line, loop);
        bool run = false;
        {
            std::lock_guard hold(line->Lock);
            if (!line->Closing) {
                line->Receiver = &worker;
                run = true;
                if (line->Pending) QCoreApplication::postEvent(&worker, new QEvent(Wake));
            }
        }
        if (run) loop.exec();
        std::lock_guard hold(line->Lock);
        line->Receiver = nullptr;
    }  // the output is stopped and destroyed here, on its own thread
    std::lock_guard hold(line->Lock);
    line->Finished = true;
    line->Ended.notify_all();
}
}  // namespace

SoundThread::SoundThread(AudioOutputFactory makeOutput) : line_(std::make_shared<SoundLine>()) {
    line_->MakeOutput = std::move(makeOutput);
    thread_ = std::thread(RunSoundThread, line_);
}

SoundThread::~SoundThread() { Close(std::chrono::milliseconds(300)); }

void SoundThread::Start(QByteArray samples, const WaveData& wave) {
    std::lock_guard hold(line_->Lock);
    if (line_->Closing) return;
    line_->Pending = SoundRequest{std::move(samples), wave, Clock::now()};
    if (line_->Receiver) QCoreApplication::postEvent(line_->Receiver, new QEvent(Wake));
}

bool SoundThread::Close(std::chrono::milliseconds limit) {
    if (!thread_.joinable()) return !leftBehind_;
    std::unique_lock hold(line_->Lock);
    line_->Closing = true;
    line_->Pending.reset();
    if (line_->Receiver) QCoreApplication::postEvent(line_->Receiver, new QEvent(Quit));
    if (line_->Ended.wait_for(hold, limit, [this] { return line_->Finished; })) {
        hold.unlock();
        thread_.join();
        return true;
    }
    // Held in the sound server, where nothing can reach it: let it go. If it
    // ever comes back it sees the line closing and ends by itself.
    hold.unlock();
    thread_.detach();
    leftBehind_ = true;
    return false;
}
