// The two commands of the create-invoice window: "Print / Save" and "Print Blank".
#include "accounts.h"
#include "bookaccess.h"
#include "formats.h"
#include "frmInvoice.h"
#include "invoicedraft.h"
#include "invoiceemail.h"
#include "invoices.h"
#include "invoicesheet.h"
#include "loggedchange.h"
#include "modCommand.h"
#include "prompts.h"
#include "settings.h"
#include "typedsettings.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
const QString ConnectFailed = QStringLiteral("Error connecting to database!\n\n");
const QString DuplicateNumber = QStringLiteral("The invoice number already exist, cannot continue");
const QString ProfileMissing =
    QStringLiteral("Error reading customer profile information from database.");

// Another desk may have stored the number since the window proposed it: the next free number is
// offered in its place, so the user only prints again. Empty when it cannot be read.
QString takenNumberNotice(QString& nextFree) {
    const auto highest = HighestInvoiceNumber();
    if (!highest)
        return {};
    nextFree = ProposedInvoiceNumber(ReadLastInvoice(), *highest);
    return "\n\nAnother desk may have just stored it. The next free number, " + nextFree +
           ", is now in the Invoice Number box: print again to use it.";
}

// "LastInvoice" only ever rises to the highest number used.
void raiseLastInvoice(QWidget* owner, double number) {
    if (!RaiseLastInvoice(number))
        ShowMessage(owner, QStringLiteral("WARNING: Could not update registry setting."),
                    QMessageBox::Warning);
}
} // namespace

// Stores the invoice (unless blank) and reads the account's profile for the printed form. The
// book is closed again before any message shows. When the invoice cannot go on to printing the
// user has been told; a book that cannot be opened leaves the window open as it was.
frmInvoice::Stored frmInvoice::storeForPrinting(InvoiceRecord* invoice,
                                                const std::vector<InvoiceLine>& lines,
                                                ProfileRecord& profile) {
    const QString number = TEXT_Invoice->text().trimmed();
    QString failure;
    std::optional<Result<std::optional<ProfileRecord>>> found;
    std::optional<LoggedChange> logged;
    if (invoice)
        logged.emplace(LoggedChange::InvoiceCreated(*invoice, TotalOfLines(lines).total));
    bool stored = false;
    QString nextFree;
    const bool opened = WorkOnBook(this, ConnectFailed, [&] {
        if (invoice) {
            const auto created = CreateInvoice(*invoice, lines, COMBO_Description->currentText());
            stored = created && *created == InvoiceStore::Stored;
            if (!created)
                failure = "Error saving to database!\n\n" + created.error();
            else if (*created == InvoiceStore::Duplicate)
                failure = DuplicateNumber + takenNumberNotice(nextFree);
        } else {
            const auto exists = InvoiceExists(number);
            if (!exists)
                failure = "Error reading main database, nothing was printed.\n\n" + exists.error();
            else if (*exists)
                failure = DuplicateNumber;
        }
        if (failure.isEmpty())
            found.emplace(ReadProfile(COMBO_AccountNumber->currentText()));
    });
    // Logged as soon as it is stored, also when the profile cannot be read for printing.
    if (logged && stored)
        logged->Landed(invoice->AmountBilled.value_or(0.0));
    else if (logged)
        logged->Dropped();
    if (!opened)
        return Stored::NotOpened;
    if (!failure.isEmpty()) {
        ShowMessage(this, failure, QMessageBox::Critical);
        if (!nextFree.isEmpty())
            TEXT_Invoice->setText(nextFree);
        return Stored::Refused;
    }
    raiseLastInvoice(this, ParseNumber(number).value_or(0.0));
    if (!found->ok() || !found->value()) {
        // The invoice, when this was one, is stored all the same: say so, so it is not made twice.
        ShowMessage(this,
                    ProfileMissing + (found->ok() ? QString() : "\n\n" + found->error()) +
                        (invoice ? InvoiceStoredNote(number) : QString()),
                    QMessageBox::Critical);
        return Stored::Refused;
    }
    profile = *found->value();
    return Stored::Ready;
}

InvoiceCells frmInvoice::cellsFor(const ProfileRecord& profile) const {
    InvoiceCells cells;
    cells.takeAddresses(profile);
    cells.account = COMBO_AccountNumber->currentText();
    cells.number = TEXT_Invoice->text();
    cells.dateBilled = TEXT_DateBilled->text();
    cells.dateDue = TEXT_DateDue->text();
    cells.messages = {TEXT_Message[0]->text(), TEXT_Message[1]->text()};
    cells.payable = TEXT_Payable->text();
    cells.description = COMBO_Description->currentText();
    cells.guid = Settings().GUID;
    return cells;
}

void frmInvoice::PrintSave() {
    if (!normaliseInvoiceNumber() || !ValidateInvoice())
        return;
    const auto lines = pricedLines(true);
    if (!lines)
        return;
    const QString number = TEXT_Invoice->text().trimmed();
    const InvoiceTotals totals = TotalOfLines(*lines);
    const double charges = totals.total;
    const double previous = ParseMoney(TEXT_Balance->text()).value_or(0.0);
    const double billed = AmountBilled(previous, charges);
    QString taxes;
    if (NeedsLines(*lines)) {
        taxes = "\nNet: " + FormatMoney(totals.net);
        for (const TaxOfRate& rate : totals.taxes)
            taxes += "\n" + rate.name + ": " + FormatMoney(rate.tax);
    }
    const QString summary = "Please confirm the following invoice summary...\n\n"
                            "Date Payment Due: " +
                            TEXT_DateDue->text() + "\nPrevious Balance: " + TEXT_Balance->text() +
                            taxes + "\nNew Charges: " + FormatMoney(charges) +
                            "\nAmount Billed: " + FormatMoney(billed);
    if (ShowMessage(this, summary, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;

    InvoiceRecord invoice;
    invoice.InvoiceNumber = number;
    invoice.AccountNumber = COMBO_AccountNumber->currentText();
    invoice.DateBilled = ParseDate(TEXT_DateBilled->text()).value_or(QDate());
    invoice.DateDue = ParseDate(TEXT_DateDue->text()).value_or(QDate());
    invoice.AmountRecieved = 0.0;
    ProfileRecord profile;
    if (const Stored stored = storeForPrinting(&invoice, *lines, profile);
        stored != Stored::Ready) {
        if (stored == Stored::Refused)
            closeWindow();
        return;
    }
    // The figures as stored: a payment saved meanwhile in another window is counted.
    const double storedPrevious = invoice.PastDue.value_or(0.0);
    const double storedBilled = invoice.AmountBilled.value_or(0.0);

    InvoiceCells cells = cellsFor(profile);
    cells.units = TEXT_Units->text();
    cells.charges = FormatMoney(charges);
    cells.previous = FormatMoney(storedPrevious);
    cells.billed = FormatMoney(storedBilled);
    if (NeedsLines(*lines)) {
        cells.lines = *lines;
        cells.totals = totals;
    }
    InvoiceSheet sheet(this, InvoiceStoredNote(number));
    const InvoicePrint printed = sheet.print(cells);
    sheet.finish(true, TEXT_Invoice->text());
    if (printed == InvoicePrint::Cancelled)
        ShowMessage(this,
                    "Invoice " + number +
                        " is stored and the balance updated; it was not printed. Reprint Invoice "
                        "on its node prints it.",
                    QMessageBox::Information);
    else if (printed == InvoicePrint::Printed)
        offerEmail(sheet, profile);
    closeWindow();
}

// Only customers with an email address are asked about; the rest are billed on paper.
void frmInvoice::offerEmail(const InvoiceSheet& sheet, const ProfileRecord& profile) {
    const QString number = TEXT_Invoice->text();
    if (sheet.backedUp() && !profile.Email.trimmed().isEmpty() &&
        ShowMessage(this,
                    "Email invoice " + number + " to " + profile.Email.trimmed() +
                        " now?\n\nYour mail program opens a new message with the invoice's PDF "
                        "attached; nothing is sent until you send it there.",
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Email Invoice")) == QMessageBox::Yes)
        EmailInvoice(this, number);
}

void frmInvoice::PrintBlank() {
    if (!normaliseInvoiceNumber())
        return;
    ShowMessage(this,
                QStringLiteral("A blank invoice will be printed. This is usefull for\n"
                               "entering invoice information at a customers site\n"
                               "so that the customer can be presented with the invoice\n"
                               "immediately upon completion of the job. A new invoice,\n"
                               "with the same invoice number that was printed on the\n"
                               "blank invoice, must be created upon return."),
                QMessageBox::Information);
    const QString number = TEXT_Invoice->text().trimmed();
    ProfileRecord profile;
    if (const Stored stored = storeForPrinting(nullptr, {}, profile); stored != Stored::Ready) {
        if (stored == Stored::Refused)
            closeWindow();
        return;
    }
    InvoiceCells cells = cellsFor(profile);
    cells.previous = FormatMoney(ParseMoney(TEXT_Balance->text()).value_or(0.0));
    InvoiceSheet sheet(this);
    const InvoicePrint printed = sheet.print(cells);
    if (printed == InvoicePrint::Printed || printed == InvoicePrint::Cancelled)
        LogTransaction("Printed Blank Invoice# " + number);
    sheet.finish(false, number);
    closeWindow();
}
