// "Store and Print" of the billing run: one transaction, one printer choice, the pages, the
// invoices not printed, and the emails.
#include "bookaccess.h"
#include "formats.h"
#include "frmBillingRun.h"
#include "frmUnprintedInvoices.h"
#include "invoiceemail.h"
#include "invoicefiles.h"
#include "invoicereprint.h"
#include "invoicesheet.h"
#include "loggedchange.h"
#include "prompts.h"
#include "reprintsource.h"
#include "settings.h"
#include "typedsettings.h"

#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

namespace {
const QString ConnectFailed = QStringLiteral("Error connecting to database!\n\n");

// Invoice numbers in order, each run of consecutive ones as "first to last".
QString numbersOf(const QStringList& numbers) {
    QStringList runs;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype end = i;
        while (end + 1 < numbers.size() &&
               numbers[end + 1].toLongLong() == numbers[end].toLongLong() + 1)
            ++end;
        runs << (end == i ? numbers[i] : numbers[i] + " to " + numbers[end]);
        i = end + 1;
    }
    return runs.join(QStringLiteral(", "));
}

// The first lines of a long list, and how many more there are.
QString firstLinesOf(const QStringList& lines) {
    constexpr qsizetype Shown = 12;
    if (lines.size() <= Shown)
        return lines.join('\n');
    return lines.first(Shown).join('\n') +
           QStringLiteral("\n... and %1 more").arg(lines.size() - Shown);
}

// What a message adds after a failure while printing: every invoice of the run is stored.
QString runStoredNote(const QString& number) {
    return "\n\nInvoice " + number +
           " is stored and the balance updated, as are all invoices of this billing run; do not "
           "create them again. The invoices not printed are listed at the end.";
}

// Prints one stored invoice from what the book holds of it, keeping its backup copy and PDF.
InvoicePrint printOne(QWidget* owner, const QString& number, const ChosenPrinter& printer) {
    const auto reprint = ReadFromBook<InvoiceReprint>(owner, ConnectFailed,
                                                      [&] { return ReadInvoiceReprint(number); });
    if (!reprint)
        return InvoicePrint::NotOpened;
    if (!reprint->ok()) {
        ShowMessage(owner,
                    "Invoice " + number + " could not be read for printing.\n\n" +
                        reprint->error() + runStoredNote(number),
                    QMessageBox::Critical);
        return InvoicePrint::Failed;
    }
    InvoiceSheet sheet(owner, runStoredNote(number));
    const InvoicePrint printed = sheet.printOn(CellsForStored(reprint->value()), printer);
    sheet.finish(true, number);
    return printed;
}
} // namespace

void frmBillingRun::storeAndPrint() {
    const qlonglong lastInvoice = ReadLastInvoice();
    std::vector<LoggedChange> logged;
    std::optional<Result<std::vector<StoredInvoice>>> stored;
    const bool opened = WorkOnBook(this, ConnectFailed, [&] {
        stored.emplace(StoreBillingRun(plan_.rows, lastInvoice, [&](const auto& invoices) {
            // Journalled before the commit, so a program ending after it still logs them.
            std::vector<std::pair<InvoiceRecord, double>> created;
            for (const StoredInvoice& invoice : invoices)
                created.emplace_back(invoice.invoice, invoice.charges);
            logged = LoggedChange::InvoicesCreated(created);
        }));
    });
    if (!opened)
        return;
    if (!stored->ok()) {
        LoggedChange::DroppedTogether(logged);
        const bool refused = stored->code() == -1;
        ShowMessage(this,
                    (refused ? QString() : QStringLiteral("Error saving to database!\n\n")) +
                        stored->error(),
                    refused ? QMessageBox::Warning : QMessageBox::Critical);
        return;
    }
    const std::vector<StoredInvoice>& invoices = stored->value();
    std::vector<double> amountsBilled;
    for (const StoredInvoice& invoice : invoices)
        amountsBilled.push_back(invoice.invoice.AmountBilled.value_or(0.0));
    LoggedChange::LandedTogether(logged, amountsBilled);
    const QString first = invoices.front().invoice.InvoiceNumber;
    if (!RaiseLastInvoice(ParseNumber(invoices.back().invoice.InvoiceNumber).value_or(0.0)))
        ShowMessage(this, QStringLiteral("WARNING: Could not update registry setting."),
                    QMessageBox::Warning);
    // What the table shows is stored now: nothing more to change or store.
    TABLE_Run->setEnabled(false);
    CMD_Store->setEnabled(false);

    QString printerNote;
    const QStringList unprinted = printStored(invoices, printerNote);
    double billed = 0.0;
    QStringList numbersStored;
    for (const StoredInvoice& invoice : invoices) {
        billed = RoundCents(billed + invoice.charges);
        numbersStored << invoice.invoice.InvoiceNumber;
    }
    QString summary = (invoices.size() == 1 ? "Invoice " + first + " is stored"
                                            : QStringLiteral("%1 invoices are stored, numbers %2")
                                                  .arg(invoices.size())
                                                  .arg(numbersOf(numbersStored))) +
                      ", new charges " + FormatMoney(billed) + " in all, and the balances updated.";
    if (unprinted.isEmpty())
        summary += QStringLiteral("\n\nAll of them were printed.");
    else
        summary += "\n\n" + printerNote + "Not printed: " + numbersOf(unprinted) +
                   ".\nThey are stored: print them from the list that follows, or later with "
                   "Reprint Invoice on each invoice; do not create them again.";
    ShowMessage(this, summary,
                unprinted.isEmpty() ? QMessageBox::Information : QMessageBox::Warning);
    if (!unprinted.isEmpty()) {
        frmUnprintedInvoices list(unprinted, this);
        ShowModal(&list);
    }
    offerEmail(invoices);
    accept();
}

QStringList frmBillingRun::printStored(const std::vector<StoredInvoice>& stored,
                                       QString& printerNote) {
    QStringList unprinted;
    for (const StoredInvoice& invoice : stored)
        unprinted << invoice.invoice.InvoiceNumber;
    ChosenPrinter printer;
    switch (ChoosePrinter(this, Settings().Copies, printer)) {
    case PrinterPick::Chosen:
        break;
    case PrinterPick::Cancelled:
        printerNote = QStringLiteral("The printer choice was cancelled. ");
        return unprinted;
    case PrinterPick::Unavailable:
        printerNote = QStringLiteral("The printers could not be listed. ");
        return unprinted;
    }
    QProgressDialog progress(QStringLiteral("Printing invoices..."), QStringLiteral("Cancel"), 0,
                             int(stored.size()), this);
    progress.setObjectName(QStringLiteral("PROGRESS_Printing"));
    progress.setWindowTitle(QStringLiteral("Bill All Due"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QStringList printed;
    for (int i = 0; i < int(stored.size()); ++i) {
        const QString number = stored[std::size_t(i)].invoice.InvoiceNumber;
        progress.setLabelText(QStringLiteral("Printing invoice %1 (%2 of %3)...")
                                  .arg(number)
                                  .arg(i + 1)
                                  .arg(stored.size()));
        // Lets the Cancel button be clicked between invoices, never inside one.
        progress.setValue(i);
        if (progress.wasCanceled()) {
            printerNote = QStringLiteral("Printing was cancelled. ");
            break;
        }
        const InvoicePrint outcome = printOne(this, number, printer);
        if (outcome == InvoicePrint::Printed) {
            printed << number;
            unprinted.removeOne(number);
        } else if (outcome != InvoicePrint::Cancelled) {
            // A printer gone or an office failing fails the next ones too.
            printerNote = "Printing stopped at invoice " + number + ". ";
            break;
        }
    }
    progress.setValue(int(stored.size()));
    if (!printed.isEmpty()) {
        printerNote = "Printed: " + numbersOf(printed) + ".\n" + printerNote;
        TellIfQueueHoldsJob(this, printer.deviceName);
    }
    return unprinted;
}

// One question for all the invoices whose customer has an email address and whose PDF is kept.
void frmBillingRun::offerEmail(const std::vector<StoredInvoice>& stored) {
    QStringList numbers;
    QStringList lines;
    for (const StoredInvoice& invoice : stored) {
        const QString& number = invoice.invoice.InvoiceNumber;
        const auto planned =
            std::find_if(plan_.rows.begin(), plan_.rows.end(), [&](const PlannedInvoice& row) {
                return row.ticked && row.account == invoice.invoice.AccountNumber;
            });
        if (planned == plan_.rows.end() || planned->email.isEmpty() ||
            !QFileInfo(InvoicePdfPath(number)).isFile())
            continue;
        numbers << number;
        lines << number + " to " + planned->email;
    }
    if (numbers.isEmpty())
        return;
    // Each invoice is its own message in the mail program; the question says so.
    const QString question =
        numbers.size() == 1
            ? "Email invoice " + lines.front() +
                  " now?\n\nYour mail program opens a new message with the invoice's PDF "
                  "attached; nothing is sent until you send it there."
            : QStringLiteral("Email these %1 invoices now?\n\n").arg(numbers.size()) +
                  firstLinesOf(lines) +
                  QStringLiteral("\n\nYour mail program opens one new message for each "
                                 "invoice, %1 in all, each with the invoice's PDF attached; "
                                 "nothing is sent until you send each one there.")
                      .arg(numbers.size());
    if (ShowMessage(this, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Email Invoices")) != QMessageBox::Yes)
        return;
    for (const QString& number : numbers)
        EmailInvoice(this, number);
}
