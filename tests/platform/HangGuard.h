// A bound on a step that may hang the thread it runs on. A timer of that
// thread never fires while it hangs, so the guard keeps a thread of its own:
// should the step not end in time, that thread ends the test program with
// the message given, within moments of the time the step was expected by,
// rather than at Qt Test's limit for the whole function.
#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class HangGuard {
public:
    HangGuard(std::chrono::milliseconds limit, std::string what)
        : thread_([this, limit, what = std::move(what)] {
              std::unique_lock hold(lock_);
              if (!ended_.wait_for(hold, limit, [this] { return done_; })) qFatal("%s", what.c_str());
          }) {}
    ~HangGuard() {
        {
            std::lock_guard hold(lock_);
            done_ = true;
        }
        ended_.notify_all();
        thread_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex lock_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;  // last, so it starts with the rest made
};
