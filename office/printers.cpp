#include "printers.h"

#include "events.h"

#include <atomic>
#include <cups/cups.h>
#include <memory>
#include <mutex>
#include <thread>

namespace {
constexpr int SchedulerLimitMs = 5000;
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

// What a question to the scheduler brings back, shared with the thread that asks it: a
// scheduler that never answers keeps only that thread waiting, never the window.
struct Answer {
    std::mutex mutex;
    std::optional<std::vector<InstalledPrinter>> printers;
    std::atomic<bool> done = false;
};
} // namespace

std::optional<std::vector<InstalledPrinter>> InstalledPrinters() {
    const auto answer = std::make_shared<Answer>();
    std::thread([answer] {
        std::vector<InstalledPrinter> printers = ReadDestinations();
        const std::lock_guard lock(answer->mutex);
        answer->printers = std::move(printers);
        answer->done = true;
    }).detach();
    if (!WaitLettingEventsRun(SchedulerLimitMs, [&] { return answer->done.load(); }))
        return std::nullopt;
    const std::lock_guard lock(answer->mutex);
    return answer->printers;
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
