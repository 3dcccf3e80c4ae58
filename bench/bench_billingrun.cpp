// The month's billing in one run on a book of 1,000 accounts due: the plan, the store of all of
// them in one transaction, then invoices printed one after another on the private printer as
// "Store and Print" prints them (read back from the book, filled, printed, backed up with their
// PDF), the first in a fresh office and the rest in the warm one. Usage: bench_billingrun
// [accounts] [invoices printed]
#include "billingrun.h"
#include "books.h"
#include "booksession.h"
#include "invoicereprint.h"
#include "invoicesheet.h"
#include "modExcel.h"
#include "privatecups.h"
#include "reprintsource.h"
#include "settings.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {
const QString Queue = QStringLiteral("pellory-billing");

bool addDueAccounts(const QString& database, int count) {
    for (int i = 1; i <= count; ++i) {
        const QString account = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        if (!AddAccount(database, {.account = account,
                                   .name = "Customer " + account,
                                   .invoiceType = 1,
                                   .fixedAmount = 40.0 + i % 7,
                                   .billCycle = 1,
                                   .monthDay = "1",
                                   .graceDays = 14,
                                   .lastDescription = "Monthly care"}))
            return false;
    }
    return true;
}

bool printStored(const QString& number, const ChosenPrinter& printer) {
    std::optional<Result<InvoiceReprint>> reprint;
    {
        BookSession session(Settings().Database);
        reprint.emplace(ReadInvoiceReprint(number));
    }
    if (!reprint->ok())
        return false;
    InvoiceSheet sheet(nullptr);
    const InvoicePrint printed = sheet.printOn(CellsForStored(reprint->value()), printer);
    sheet.finish(true, number);
    return printed == InvoicePrint::Printed && sheet.backedUp();
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareTestEnvironment();
    QApplication app(argc, argv);
    const int accounts = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    const int printing = argc > 2 ? QByteArray(argv[2]).toInt() : 6;
    QTemporaryDir offices;
    std::unique_ptr<PrivateCups> cups;
    if (const QString rig = StartPrintingRig(cups, offices, Queue); !rig.isEmpty()) {
        std::fprintf(stderr, "no private printer: %s\n", qPrintable(rig));
        return 1;
    }
    ProgramFolderFixture folder;
    QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"),
                folder.file("pellory.xls"));
    QFile::setPermissions(folder.file("pellory.xls"), QFile::ReadOwner | QFile::WriteOwner);
    LoadSettings();
    if (!addDueAccounts(folder.database(), accounts)) {
        std::fprintf(stderr, "the accounts could not be added\n");
        return 1;
    }

    QElapsedTimer clock;
    std::vector<StoredInvoice> stored;
    qint64 planned = 0;
    qint64 storing = 0;
    {
        BookSession session(folder.database());
        clock.start();
        const auto plan = PlanBillingRun(QDate::currentDate(), 0);
        planned = clock.elapsed();
        if (!plan || TotalOfTicked(plan->rows).invoices != accounts) {
            std::fprintf(stderr, "plan failed: %s\n", qPrintable(plan.error()));
            return 1;
        }
        clock.restart();
        auto result = StoreBillingRun(plan->rows, 0);
        storing = clock.elapsed();
        if (!result) {
            std::fprintf(stderr, "store failed: %s\n", qPrintable(result.error()));
            return 1;
        }
        stored = std::move(result).value();
    }
    std::printf("Billing run of %d accounts due:\n", accounts);
    std::printf("  plan                      %6lld ms\n", static_cast<long long>(planned));
    std::printf("  store (one transaction)   %6lld ms  (%.0f invoices/s)\n",
                static_cast<long long>(storing),
                accounts * 1000.0 / double(std::max<qint64>(storing, 1)));

    const ChosenPrinter printer{Queue, 1};
    qint64 cold = 0;
    clock.restart();
    for (int i = 0; i < std::min(printing, int(stored.size())); ++i) {
        if (!printStored(stored[std::size_t(i)].invoice.InvoiceNumber, printer)) {
            std::fprintf(stderr, "invoice %d was not printed\n", i + 1);
            return 1;
        }
        if (i == 0) {
            cold = clock.elapsed();
            clock.restart();
        }
    }
    const qint64 warm = clock.elapsed();
    const int warmJobs = std::min(printing, int(stored.size())) - 1;
    xlsEnd_Office();
    if (cups->FinishedJobs(Queue) != warmJobs + 1) {
        std::fprintf(stderr, "the queue does not hold every job\n");
        return 1;
    }
    std::printf("  first invoice printed (fresh office) %6lld ms\n", static_cast<long long>(cold));
    if (warmJobs > 0)
        std::printf("  %d more in the warm office          %6lld ms  (%.2f invoices/s)\n", warmJobs,
                    static_cast<long long>(warm),
                    warmJobs * 1000.0 / double(std::max<qint64>(warm, 1)));
    return 0;
}
