#include "printers.h"

#include "events.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <condition_variable>
#include <cups/cups.h>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace {
constexpr int SchedulerLimitMs = 5000;
// How long a job the office has handed over may take to show in the scheduler's queue, and how
// long the last look may take beyond that.
constexpr int JobArrivalLimitMs = 5000;
constexpr int LastLookMs = 1000;
constexpr std::chrono::milliseconds JobPoll{50};
constexpr std::chrono::milliseconds EventTurn{5};
// What the print dialog of old kept of a device name: a 32-character field with its NUL.
constexpr int CutNameLength = 31;

std::vector<InstalledPrinter> ReadDestinations() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::vector<InstalledPrinter> printers;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        const auto option = [&](const char* name) {
            return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
        };
        printers.push_back({QString::fromUtf8(dest.name), option("device-uri"),
                            option("printer-state") == QLatin1String("5"),
                            option("printer-is-accepting-jobs") != QLatin1String("false")});
    }
    cupsFreeDests(count, dests);
    return printers;
}

// Asks the scheduler on a thread of its own and waits up to ms for the answer, letting window
// events other than user input run: a scheduler that never answers keeps only that thread
// waiting, never the window. The thread wakes the wait as soon as it has the answer, so a
// prompt scheduler costs a print no more than its own reply.
template <typename T> std::optional<T> AskScheduler(int ms, std::function<T()> ask) {
    struct Answer {
        std::mutex mutex;
        std::condition_variable answered;
        std::optional<T> value;
    };
    const auto answer = std::make_shared<Answer>();
    std::thread([answer, ask = std::move(ask)] {
        T value = ask();
        const std::lock_guard lock(answer->mutex);
        answer->value = std::move(value);
        answer->answered.notify_all();
    }).detach();
    const QDeadlineTimer deadline(ms);
    std::unique_lock lock(answer->mutex);
    while (!answer->value && !deadline.hasExpired()) {
        lock.unlock();
        LetEventsRun();
        lock.lock();
        answer->answered.wait_for(lock, EventTurn);
    }
    return answer->value;
}

// A job for the instance "queue/instance" of a destination lands in the queue itself.
QByteArray QueueOf(const QString& destination) {
    return destination.section(QLatin1Char('/'), 0, 0).toUtf8();
}

// The highest job id the queue has had, done jobs included; 0 when it never had one. No value
// when the scheduler refuses the question (no such queue) or cannot be reached.
std::optional<int> NewestJobIdNow(const QByteArray& queue) {
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.constData(), 0, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(std::max(count, 0), jobs);
    if (count < 0)
        return std::nullopt;
    return newest;
}
} // namespace

std::optional<std::vector<InstalledPrinter>> InstalledPrinters() {
    return AskScheduler<std::vector<InstalledPrinter>>(SchedulerLimitMs, ReadDestinations);
}

std::optional<int> NewestJobId(const QString& destination) {
    return AskScheduler<std::optional<int>>(
               SchedulerLimitMs, [queue = QueueOf(destination)] { return NewestJobIdNow(queue); })
        .value_or(std::nullopt);
}

bool WaitForJobAfter(const QString& destination, int jobId) {
    const auto arrived =
        AskScheduler<bool>(JobArrivalLimitMs + LastLookMs, [queue = QueueOf(destination), jobId] {
            const QDeadlineTimer deadline(JobArrivalLimitMs);
            for (;;) {
                const auto newest = NewestJobIdNow(queue);
                if (newest && *newest > jobId)
                    return true;
                if (deadline.hasExpired())
                    return false;
                std::this_thread::sleep_for(JobPoll);
            }
        });
    return arrived.value_or(false);
}

const InstalledPrinter* FindPrinter(const std::vector<InstalledPrinter>& printers,
                                    const QString& deviceName) {
    for (const InstalledPrinter& printer : printers) {
        if (printer.name == deviceName)
            return &printer;
    }
    if (deviceName.size() != CutNameLength)
        return nullptr;
    for (const InstalledPrinter& printer : printers) {
        if (printer.name.startsWith(deviceName, Qt::CaseSensitive))
            return &printer;
    }
    return nullptr;
}

bool IsPrinterInstalled() {
    const auto printers = InstalledPrinters();
    return printers && !printers->empty();
}

QString GetPrinterPort(QString& deviceName) {
    const auto printers = InstalledPrinters();
    const InstalledPrinter* printer = printers ? FindPrinter(*printers, deviceName) : nullptr;
    if (!printer)
        return {};
    deviceName = printer->name;
    return printer->port;
}
