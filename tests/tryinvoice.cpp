// One invoice made through the invoice window by a program that runs as an installed one: put
// beside the installed programs by scripts/tryinstall, it works in the user's data folder, opens
// the book the settings name, prints on the printer named on the command line and says where
// the invoice, the filled form and the backup copy landed.
#include "books.h"
#include "columns.h"
#include "events.h"
#include "frmInvoice.h"
#include "invoicefiles.h"
#include "paths.h"
#include "settings.h"
#include "statements.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>
#include <cups/cups.h>

namespace {
int failed(const QString& what) {
    QTextStream(stderr) << "FAILED: " << what << '\n';
    return 1;
}

int finishedJobs(const QString& queue) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0,
                                   CUPS_WHICHJOBS_COMPLETED);
    cupsFreeJobs(count, jobs);
    return std::max(count, 0);
}

// The scheduler finishes a job a little after the office has handed it over.
bool jobFinished(const QString& queue, int before) {
    for (const QDeadlineTimer deadline(60'000); !deadline.hasExpired(); QThread::msleep(200)) {
        if (finishedJobs(queue) > before)
            return true;
    }
    return false;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return failed("usage: tryinvoice PRINTER");
    const QString printer = QString::fromLocal8Bit(argv[1]);
    QTextStream out(stdout);
    if (const QString error = PrepareProgramFolder(); !error.isEmpty())
        return failed(error);
    for (const QString& notice : LoadSettings())
        out << "notice: " << notice << '\n';
    const QString book = Settings().Database;
    out << "program folder: " << ProgramFolder() << "\nbook: " << book << '\n';
    if (!AddAccount(book, {.account = "TRY-1",
                           .name = "Tryout Ltd",
                           .invoiceType = 1, // a fixed amount each month
                           .fixedAmount = 80,
                           .lastDescription = "Monthly service"}))
        return failed("could not add an account to " + book);

    PromptRecorder prompts;
    prompts.answers = {QMessageBox::Yes};
    prompts.printers = {{printer, 1}};
    const int printedBefore = finishedJobs(printer);
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    {
        frmInvoice window;
        window.Tag = QStringLiteral("TRY-1");
        window.show();
        LetEventsRun(); // the window reads the account once it is shown
        window.Toolbar1->button(QStringLiteral("OK"))->trigger();
    }
    for (const MessageRequest& message : prompts.messages)
        out << "message: " << message.text << '\n';

    const QVariant billed = ReadValue(book, sql::SelectInvoice, {"0000001"}, col::AmountBilled);
    if (billed != QVariant(80.0))
        return failed("invoice 0000001 of 80.00 was not stored in " + book);
    out << "stored: invoice 0000001 of 80.00 in " << book << '\n';
    const QString backup = InvoiceBackupPath(QStringLiteral("0000001"));
    if (!backup.startsWith(ProgramFolder() + '/') || !QFileInfo::exists(backup))
        return failed("no backup copy " + backup);
    out << "backed up: " << backup << '\n';
    if (QFileInfo(Settings().Worksheet).lastModified() < started)
        return failed("the filled form was not saved to " + Settings().Worksheet);
    out << "form saved: " << Settings().Worksheet << '\n';
    if (!jobFinished(printer, printedBefore))
        return failed("no finished print job on " + printer);
    out << "printed: one job on " << printer << '\n';
    return 0;
}
