// Customer statements as the commands run them: the statement of one account with 240
// invoices, printed in a fresh office and again in the warm one, and Statements over a sample
// book of 40 accounts, each from the command to the last job spooled on a private printer. The
// batch pauses once at its end, as the program does.

#include "benchsupport.h"
#include "bookrows.h"
#include "books.h"
#include "booksession.h"
#include "customerstatements.h"
#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "samplebook.h"
#include "settings.h"
#include "statementprint.h"
#include "statementsheet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <optional>

namespace {
constexpr int invoices = 240;

bool fillLongHistory(const QString& database) {
    if (!AddAccount(database, {.account = QStringLiteral("LONG"), .balance = 12000}))
        return false;
    for (int i = 0; i < invoices; ++i)
        if (!AddInvoice(database, {QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0')),
                                   QStringLiteral("LONG"), QDate(2006, 1, 1).addMonths(i),
                                   QDate(2006, 2, 1).addMonths(i), QDate(2006, 1, 20).addMonths(i),
                                   50.0 * i, 50.0 * i + 100.0, 50.0}))
            return false;
    return true;
}

void copyForm(const ProgramFolderFixture& folder) {
    QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellorystmt.xls"),
                folder.file(QStringLiteral("pellorystmt.xls")));
}
} // namespace

int main(int argc, char** argv) {
    PrepareTestEnvironment();
    QApplication app(argc, argv);
    PrivateCups cups;
    const QString queue = QStringLiteral("pellory-bench-statement");
    if (!cups.Error().isEmpty() || !cups.AddQueue(queue).isEmpty()) {
        std::fprintf(stderr, "no private printer: %s\n", qPrintable(cups.Error()));
        return 1;
    }
    QWidget owner;
    {
        ProgramFolderFixture folder;
        PromptRecorder prompts;
        copyForm(folder);
        LoadSettings();
        if (!fillLongHistory(Settings().Database))
            return 1;
        const std::optional<OfficeTimes> single = TimeColdThenWarm([&] {
            const int before = cups.Jobs(queue);
            prompts.inputs = {QString()};
            prompts.printers = {{queue, 1}};
            PrintStatement(&owner, QStringLiteral("LONG"));
            return cups.Jobs(queue) == before + 1; // spooled; printing it is the scheduler's work
        });
        if (!single || cups.FinishedJobs(queue) != 2) {
            std::fprintf(stderr, "the statement was not printed: %s\n",
                         qPrintable(prompts.lastMessage()));
            return 1;
        }
        std::printf("Statement of one account with %d invoices and %d payments, each with the 2 s "
                    "pause after printing:\n",
                    invoices, invoices);
        std::printf("cold  %lld ms  Print Statement to spooled job, fresh office\n",
                    static_cast<long long>(single->cold));
        std::printf("warm  %lld ms  Print Statement to spooled job, second print in the same "
                    "office\n",
                    static_cast<long long>(single->warm));
        std::printf("  %-40s %6lld\n", "pages of the last job",
                    static_cast<long long>(PdfPages(cups.OutputFile(queue)).size()));
    }
    {
        ProgramFolderFixture folder;
        PromptRecorder prompts;
        copyForm(folder);
        QFile::remove(folder.database());
        const SampleBookResult sample = WriteSampleBook(folder.database(), {});
        if (!sample.error.isEmpty()) {
            std::fprintf(stderr, "no sample book: %s\n", qPrintable(sample.error));
            return 1;
        }
        LoadSettings();
        QStringList owing;
        {
            const BookSession session(Settings().Database);
            owing = ReadAccountsOwing().value();
        }
        prompts.inputs = {QString()};
        prompts.printers = {{queue, 1}};
        const int before = cups.FinishedJobs(queue);
        QElapsedTimer clock;
        clock.start();
        PrintStatements(&owner);
        const long long batch = clock.elapsed();
        const int printed = cups.FinishedJobs(queue) - before;
        std::printf("Statements over a sample book of %d accounts, %lld of them owing:\n",
                    sample.accounts, static_cast<long long>(owing.size()));
        std::printf("  %-40s %6lld ms\n", "Statements to last job spooled", batch);
        std::printf("  %-40s %6d\n", "statements printed", printed);
        std::printf("  %-40s %6lld ms\n", "per statement", printed ? batch / printed : 0LL);
        if (printed != owing.size())
            return 1;
    }
    xlsEnd_Office();
    return 0;
}
