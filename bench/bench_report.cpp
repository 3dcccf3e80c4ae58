// A large summary report, as Print Report runs it: one master with 50 linked accounts and
// 1,200 invoices in the month reported. Times each step from Print Report to the spooled job,
// first in a fresh office, then again in the office kept warm, and, for comparison, writing the
// same cells one call at a time.

#include "benchsupport.h"
#include "bookrows.h"
#include "booksession.h"
#include "modDAO.h"
#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "reports.h"
#include "reportsheet.h"
#include "settings.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <optional>
#include <vector>

namespace {
constexpr int linkedAccounts = 50;
constexpr int invoices = 1200;

// The book in one transaction: a master, its linked accounts, invoices spread over them.
bool fillBook(const QString& database) {
    QString error;
    if (daoOpen_DBConnection(database, error) != 0 || daoBegin_Transaction(error) != 0)
        return false;
    bool written = true;
    const auto append = [&](const char* table, const QVariantList& row) {
        RecordBuffer() = row;
        written = written && daoWrite_DBTableRecord(QLatin1String(table), error) == 0;
    };
    QStringList accounts = {QStringLiteral("M-0000")};
    for (int i = 1; i <= linkedAccounts; ++i)
        accounts << QStringLiteral("L-%1").arg(i, 4, 10, QLatin1Char('0'));
    for (const QString& account : accounts) {
        QVariantList profile(col::ProfileColumnCount, QString());
        profile[col::AccountNumber] = account;
        profile[col::MasterAccount] =
            account == accounts.front() ? QString(MasterMarker) : accounts.front();
        profile[col::CustomerName] = QStringLiteral("Customer ") + account;
        for (const int number : {col::InvoiceType, col::BillCycle, col::Reserved, col::GraceDays})
            profile[number] = 0;
        profile[col::PaymentAmount] = profile[col::UnitPrice] = 0.0;
        append(tables::CustomerProfile, profile);
        append(tables::Logs, {account, 125.5, QString(), QDate(2026, 1, 1), QDate(2026, 3, 1)});
    }
    for (int i = 0; i < invoices; ++i)
        append(tables::Invoices, {QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0')),
                                  accounts[i % accounts.size()], QDate(2026, 3, 1 + i % 28),
                                  QVariant(), QDate(2026, 4, 1), QVariant(), 10.0, 110.25, 50.0});
    written = written && daoCommit_Transaction(error) == 0;
    daoClose_DBConnection();
    return written;
}

// The times of one Print Report job, step by step.
struct Steps {
    qint64 read = 0;
    qint64 opened = 0;
    qint64 written = 0;
    qint64 printed = 0;
};
} // namespace

int main(int argc, char** argv) {
    PrepareTestEnvironment();
    QApplication app(argc, argv);
    PrivateCups cups;
    const QString queue = QStringLiteral("pellory-bench-report");
    if (!cups.Error().isEmpty() || !cups.AddQueue(queue).isEmpty()) {
        std::fprintf(stderr, "no private printer: %s\n", qPrintable(cups.Error()));
        return 1;
    }
    ProgramFolderFixture folder;
    PromptRecorder prompts;
    QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"),
                folder.file(QStringLiteral("pellory.xls")));
    LoadSettings();
    if (!fillBook(Settings().Database)) {
        std::fprintf(stderr, "could not fill the book\n");
        return 1;
    }
    const ReportRequest request{QStringLiteral("M-0000"),
                                {.type = ReportType::Monthly,
                                 .month = 3,
                                 .monthName = QStringLiteral("March"),
                                 .year = QStringLiteral("2026")},
                                ReportedAccounts::ChosenAndLinked};

    // Print Report's job: read the book, plan the sheet, open the workbook, write, print, close.
    std::vector<Steps> runs;
    Report report;
    ReportSheetPlan plan;
    const auto printReport = [&] {
        Steps steps;
        QElapsedTimer clock;
        clock.start();
        {
            const BookSession session(Settings().Database);
            report = ReadReport(request).value();
        }
        plan = PlanReportSheet(report);
        steps.read = clock.restart();
        ReportSheet sheet(nullptr);
        prompts.printers = {{queue, 1}};
        if (!sheet.open())
            return false;
        steps.opened = clock.restart();
        if (!sheet.write(plan))
            return false;
        steps.written = clock.restart();
        const bool printed = sheet.print() == SheetPrint::Printed;
        sheet.close();
        steps.printed = clock.elapsed();
        runs.push_back(steps);
        return printed;
    };
    const std::optional<OfficeTimes> jobs = TimeColdThenWarm(printReport);
    if (!jobs || cups.FinishedJobs(queue) != 2) {
        std::fprintf(stderr, "the report was not printed twice\n");
        return 1;
    }

    // The same cells again in the warm office, one office call each, as a cell-by-cell writer
    // would.
    ReportSheet sheet(nullptr);
    if (!sheet.open())
        return 1;
    QElapsedTimer clock;
    clock.start();
    for (const SheetTexts& block : plan.blocks)
        for (int row = 0; row < block.texts.size(); ++row)
            for (int column = 0; column < block.texts[row].size(); ++column)
                if (!xlsSet_CellValue(ReportSheetIndex, block.row + row, block.column + column,
                                      block.texts[row][column]))
                    return 1;
    const qint64 oneByOne = clock.elapsed();
    sheet.close();
    xlsEnd_Office();
    std::size_t lines = 0;
    for (const ReportAccountBlock& block : report.blocks)
        lines += block.invoices.size();
    std::printf("Summary report of %zu accounts with %zu invoice lines, printed in a fresh office "
                "(cold), then again in the same office (warm):\n",
                report.blocks.size(), lines);
    std::printf("  %-34s %8s %8s\n", "", "cold", "warm");
    const auto step = [&](const char* what, qint64 Steps::*time) {
        std::printf("  %-34s %5lld ms %5lld ms\n", what, static_cast<long long>(runs[0].*time),
                    static_cast<long long>(runs[1].*time));
    };
    step("read the book and plan the sheet", &Steps::read);
    step("start office, open workbook", &Steps::opened);
    step("write cells, a block per call", &Steps::written);
    step("print until spooled, close", &Steps::printed);
    std::printf("cold  %lld ms  Print Report to spooled job, fresh office\n",
                static_cast<long long>(jobs->cold));
    std::printf("warm  %lld ms  Print Report to spooled job, second print in the same office\n",
                static_cast<long long>(jobs->warm));
    std::printf("  %-34s %5lld ms\n", "(same cells, one call per cell)",
                static_cast<long long>(oneByOne));
    std::printf("  %-34s %5lld\n", "pages of the last job",
                static_cast<long long>(PdfPages(cups.OutputFile(queue)).size()));
    return 0;
}
