// Invoice print jobs as the program runs them: open the workbook, write the 31 invoice cells,
// print Sheet1 on the private printer (done once the job is spooled), save, close. The first
// job starts an office; the next four run in the office kept warm. Prints the time of each
// step for both, the lines "cold" and "warm" with the median job time, and their ratio.

#include "benchsupport.h"
#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "sampleforms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {
constexpr int runs = 5;
const char* const steps[] = {"open", "31 cell writes", "print", "save + close", "whole job"};

qint64 Median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The offices keep their profiles below a folder of this run, so they can be found.
    QTemporaryDir offices;
    qputenv("TMPDIR", offices.path().toUtf8());
    PrivateCups cups;
    const QString queue = QStringLiteral("pellory-bench");
    if (!cups.Error().isEmpty() || !cups.AddQueue(queue).isEmpty()) {
        std::fprintf(stderr, "no private printer: %s\n", qPrintable(cups.Error()));
        return 1;
    }
    const QString printer = queue + QStringLiteral(" on file://") + cups.OutputFile(queue);
    const std::vector<CellWrite> invoice = SampleInvoice();

    std::array<std::vector<qint64>, 5> cold;
    std::array<std::vector<qint64>, 5> warm;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir folder;
        const QString workbook = folder.filePath(QStringLiteral("pellory.xls"));
        QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"), workbook);
        QElapsedTimer clock;
        clock.start();
        std::array<qint64, 5> at{};
        const bool ok =
            xlsOpen_Workbook(workbook) == 0 && (at[0] = clock.elapsed(), true) &&
            WriteCells(invoice) && (at[1] = clock.elapsed(), true) &&
            xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, printer) == XlsPrint::Queued;
        at[2] = clock.elapsed();
        const bool saved = xlsClose_Workbook(true);
        at[3] = clock.elapsed();
        if (!ok || !saved || cups.FinishedJobs(queue) != run + 1) {
            std::fprintf(stderr, "job %d failed\n", run + 1);
            return 1;
        }
        auto& times = run == 0 ? cold : warm;
        times[0].push_back(at[0]);
        for (int step = 1; step < 4; ++step)
            times[step].push_back(at[step] - at[step - 1]);
        times[4].push_back(at[3]);
    }
    const QList<int> warmOffice =
        ProcessesMentioning(offices.path() + QStringLiteral("/pellory-office-"));
    const long officePeak =
        warmOffice.size() == 1 ? StatusKilobytes("VmHWM:", warmOffice.front()) / 1024 : -1;
    xlsEnd_Office();
    // What starting the warm office costs the window's thread when the main window shows.
    QElapsedTimer warmUp;
    warmUp.start();
    xlsWarm_Office();
    const qint64 warmUpCost = warmUp.elapsed();
    xlsEnd_Office();
    std::printf("Invoice print job: the first in a fresh office, then %d in the warm one "
                "(medians):\n",
                runs - 1);
    std::printf("  %-16s %8s %8s\n", "", "cold", "warm");
    for (int step = 0; step < 5; ++step)
        std::printf("  %-16s %5lld ms %5lld ms\n", steps[step],
                    static_cast<long long>(Median(cold[step])),
                    static_cast<long long>(Median(warm[step])));
    const qint64 coldJob = Median(cold[4]);
    const qint64 warmJob = Median(warm[4]);
    std::printf("cold  %lld ms\nwarm  %lld ms\nratio %.1fx\n", static_cast<long long>(coldJob),
                static_cast<long long>(warmJob),
                static_cast<double>(coldJob) / static_cast<double>(std::max<qint64>(warmJob, 1)));
    std::printf("Peak memory of the warm office after the jobs: %ld MB\n", officePeak);
    std::printf("Starting the warm office in the background held the caller %lld ms\n",
                static_cast<long long>(warmUpCost));
    return 0;
}
