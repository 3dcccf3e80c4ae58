#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Calls into the office run on this thread, never on the window's: a call that hangs cannot
// freeze the program, because the caller only waits a bounded time, with events flowing.
class OfficeCallThread {
  public:
    OfficeCallThread();
    ~OfficeCallThread();
    OfficeCallThread(const OfficeCallThread&) = delete;
    OfficeCallThread& operator=(const OfficeCallThread&) = delete;

    // Runs call here and waits up to limit. When it runs over, unblock must make it return
    // (by ending the office it waits for); the call is then waited out, so whatever it
    // refers to outlives it. True when the call finished within the limit.
    bool Run(const std::function<void()>& call, std::chrono::milliseconds limit,
             const std::function<void()>& unblock);
    // Queues call here without waiting for it; later calls run after it.
    void Post(std::function<void()> call);

  private:
    void Serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> calls_;
    bool stopping_ = false;
    std::thread thread_;
};
