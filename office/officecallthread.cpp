#include "officecallthread.h"

#include <QEventLoop>
#include <QTimer>
#include <future>

OfficeCallThread::OfficeCallThread() : thread_([this] { Serve(); }) {}

OfficeCallThread::~OfficeCallThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void OfficeCallThread::Serve() {
    for (;;) {
        std::function<void()> call;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !calls_.empty(); });
            if (calls_.empty())
                return;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
    }
}

void OfficeCallThread::Post(std::function<void()> call) {
    {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    wake_.notify_one();
}

bool OfficeCallThread::Run(const std::function<void()>& call, std::chrono::milliseconds limit,
                           const std::function<void()>& unblock) {
    QEventLoop waiting;
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    {
        const std::lock_guard lock(mutex_);
        calls_.push_back([&] {
            call();
            // Wakes the waiting loop before the promise lets the caller tear it down.
            QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
            finished.set_value();
        });
    }
    wake_.notify_one();

    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &waiting, &QEventLoop::quit);
    deadline.start(limit);
    // Repaints and timers go on meanwhile; user input waits, so no second command can start.
    if (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    const bool inTime =
        deadline.isActive() || done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    if (!inTime)
        unblock();
    done.wait();
    return inTime;
}
