// A bound on a step that may hang the thread it runs on. A timer of that
// thread never fires while it hangs, so the guard keeps a thread of its own:
// should the step not end in time, that thread ends the test program with
// the message given, within moments of the time the step was expected by,
// rather than at Qt Test's limit for the whole function. A long run of
// steps bounds each step on its own.
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
              for (long seen = 0;; seen = steps_) {
                  if (!ended_.wait_for(hold, limit, [&] { return done_ || steps_ != seen; }))
                      qFatal("%s (after %ld steps)", what.c_str(), seen);
                  if (done_) return;
              }
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

    // One step of a long run has ended: the limit starts anew for the next.
    void StepEnded() {
        {
            std::lock_guard hold(lock_);
            ++steps_;
        }
        ended_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable ended_;
    bool done_ = false;
    long steps_ = 0;
    std::thread thread_;  // last, so it starts with the rest made
};
