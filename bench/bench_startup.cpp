// Starts the real program on a book of 3,000 accounts and 50,000 invoices, offscreen, and times
// each start from the process starting until the main window has painted its tree complete and
// waits for input (the program says so on a pipe named by PELLORY_READY_FD). Median of 5, and
// the program's peak memory at that moment. Usage: bench_startup [command the program runs
// under, e.g. perf record -g -o start.data --]

#include "benchsupport.h"
#include "modRegEdit.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "samplebook.h"
#include "settingvalues.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int Runs = 5;
constexpr int ReadyTimeoutMs = 120000;

struct Start {
    qint64 ms = -1;          // until ready; -1 when the program never said it was
    long peakKilobytes = -1; // VmHWM at that moment
    QByteArray errorOutput;  // what the program said on the way, for a start that failed
};

// Waits for the line on the pipe; false when the program closed it or the time ran out.
bool waitForReadyLine(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    char line[16] = {};
    return ::poll(&watched, 1, ReadyTimeoutMs) == 1 && ::read(descriptor, line, sizeof line) > 0 &&
           qstrncmp(line, "ready\n", 6) == 0;
}

// Waits until no office that program started is left, so no start shares the processor with
// the previous one's office.
void waitForOfficesGone(const QString& officeFolder) {
    for (int waited = 0; waited < 100 && !ProcessesMentioning(officeFolder).isEmpty(); ++waited)
        QThread::msleep(100);
}

Start startOnce(const QStringList& command, const QString& officeFolder) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return {};
    const int writeEnd = pipeEnds[1];
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PELLORY_READY_FD"), QString::number(writeEnd));
    process.setProcessEnvironment(environment);
    // Only the program gets the write end of the pipe.
    process.setChildProcessModifier([writeEnd] { ::fcntl(writeEnd, F_SETFD, 0); });
    process.setStandardOutputFile(QProcess::nullDevice());
    Start start;
    QElapsedTimer clock;
    clock.start();
    process.start(command.front(), command.mid(1));
    const bool started = process.waitForStarted();
    ::close(writeEnd); // a program that ends without the line closes the pipe for good
    if (started && waitForReadyLine(pipeEnds[0])) {
        start.ms = clock.elapsed();
        start.peakKilobytes = StatusKilobytes("VmHWM:", process.processId());
    }
    ::close(pipeEnds[0]);
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    start.errorOutput = process.readAllStandardError();
    waitForOfficesGone(officeFolder);
    return start;
}
} // namespace

int main(int argc, char** argv) {
    QTemporaryDir settingsFolder; // the benchmark never touches the user's own settings
    QTemporaryDir offices;        // nor leaves an office of the program's behind
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toUtf8());
    qputenv("TMPDIR", offices.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    // With no printer at all the program would stop at its warning.
    PrivateCups cups;
    if (!cups.Error().isEmpty() ||
        !cups.AddQueue(QStringLiteral("pellory-bench-start")).isEmpty()) {
        std::fprintf(stderr, "no private printer: %s\n", qPrintable(cups.Error()));
        return 1;
    }
    QTemporaryDir books;
    const QString book = books.filePath(QStringLiteral("large.mdb"));
    const SampleBookResult written = WriteSampleBook(book, {3000, 50000, 20, 2});
    if (!written.error.isEmpty()) {
        std::fprintf(stderr, "cannot write the book: %s\n", qPrintable(written.error));
        return 1;
    }
    if (regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database, book, true) != 0 ||
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::NoShow, 1) != 0) {
        std::fprintf(stderr, "cannot store the settings\n");
        return 1;
    }
    const QString program = QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory");
    // The memory counted under a wrapper would be the wrapper's.
    const QStringList wrapper = QCoreApplication::arguments().mid(1);
    const QString officeFolder = offices.path() + QStringLiteral("/pellory-office-");
    std::printf("Start of %s (%s) on %d accounts, %d invoices:\n", qPrintable(program),
                qgetenv("QT_QPA_PLATFORM").constData(), written.accounts, written.invoices);
    std::vector<qint64> times;
    long peak = 0;
    for (int run = 1; run <= Runs; ++run) {
        const Start start = startOnce(wrapper + QStringList{program}, officeFolder);
        if (start.ms < 0) {
            std::fprintf(stderr, "start %d never became ready:\n%s\n", run,
                         start.errorOutput.constData());
            return 1;
        }
        std::printf("  start %d: ready after %lld ms, peak memory %ld MB\n", run,
                    static_cast<long long>(start.ms), start.peakKilobytes / 1024);
        times.push_back(start.ms);
        peak = std::max(peak, start.peakKilobytes);
    }
    std::sort(times.begin(), times.end());
    std::printf("Process start to main window painted and waiting for input: median %lld ms "
                "(best %lld, worst %lld) over %d starts\n",
                static_cast<long long>(times[Runs / 2]), static_cast<long long>(times.front()),
                static_cast<long long>(times.back()), Runs);
    if (wrapper.isEmpty())
        std::printf("Peak memory of the program at that moment: %ld MB\n", peak / 1024);
    return 0;
}
