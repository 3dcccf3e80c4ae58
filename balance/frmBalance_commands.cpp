// The commands of the account balance window: saving a payment and deleting the last invoice.
#include "accountreading.h"
#include "balances.h"
#include "bookaccess.h"
#include "formats.h"
#include "frmBalance.h"
#include "invoicefiles.h"
#include "loggedchange.h"
#include "prompts.h"
#include "settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace {
const QString OpenFailed = QStringLiteral("Error opening main database.\n\n");

QString notLastRefusal(const QString& last) {
    return "Sorry, only the last invoice created can be deleted.\n\nThe last invoice in this "
           "list is [" +
           last + "]";
}
} // namespace

void frmBalance::dispatchCommand(const QString& tag) {
    if (tag == QLatin1String("Save"))
        Save();
    else if (tag == QLatin1String("Delete"))
        Delete();
    else
        closeWindow();
}

// A payment entered against figures another desk has changed since would be saved over what
// that desk stored.
bool frmBalance::stillAsRead() {
    if (!reading_)
        return true;
    switch (CheckStillAsRead(this, *reading_)) {
    case SaveOverReading::Proceed:
        return true;
    case SaveOverReading::Reload: {
        SelectedInvoice = selectedLine();
        const QString account = reading_->account; // loading drops the reading
        LoadAccount(account);
        return false;
    }
    case SaveOverReading::Keep:
        return false;
    }
    return false;
}

void frmBalance::Save() {
    if (!ValidateEdits() || !stillAsRead())
        return;
    const QString number = selectedLine();
    PaymentEntry entry;
    entry.number = number;
    entry.dateReceived = ParseDate(TEXT_DateRecieved->text()).value_or(QDate());
    entry.reference = TEXT_Reference->text();
    entry.amountReceived = ParseMoney(TEXT_PaymentRecieved->text()).value_or(0.0);
    LoggedChange logged = LoggedChange::PaymentSaved(entry);
    const auto saved = ReadFromBook<double>(this, OpenFailed, [&] {
        auto stored = SavePayment(entry);
        // The next save compares against this one's rows, not those it replaced.
        if (auto again = ReadFiguresAsStored(shownAccount_, number); stored && again)
            reading_ = std::move(*again);
        return stored;
    });
    if (!saved)
        return logged.Dropped();
    if (!saved->ok()) {
        logged.Dropped();
        ShowMessage(this, "Error saving to database!\n\n" + saved->error(), QMessageBox::Critical);
        return;
    }
    logged.Landed();
    const double storedBalance = saved->value();
    editsPending_ = false;
    // The next edit starts from what is stored now, so a second save counts nothing twice.
    baseBalance_ = storedBalance;
    receivedBeforeEdit_ = entry.amountReceived;
    loading_ = true;
    TEXT_PaymentRecieved->setText(FormatMoney(entry.amountReceived));
    loading_ = false;
    showBalance(storedBalance);
    ShowMessage(this, "Invoice Number [" + number + "] edits have been saved.",
                QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Invoice Saved"));
}

void frmBalance::Delete() {
    const QString number = selectedLine();
    const QString account = COMBO_AccountNumber->currentText();
    const int lines = LIST_Invoices->count();
    const QString lastLine = lines > 0 ? LIST_Invoices->item(lines - 1)->text() : QString();
    if (number != lastLine) {
        ShowMessage(this, notLastRefusal(lastLine), QMessageBox::Warning);
        return;
    }
    if (ShowMessage(this,
                    "Are you sure you want to delete Invoice Number [" + number +
                        "] from the system? (the account balance will also be adjusted)",
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;
    LoggedChange logged = LoggedChange::InvoiceDeleted(number);
    const auto removal =
        ReadFromBook<Removal>(this, OpenFailed, [&] { return DeleteLastInvoice(account, number); });
    if (!removal)
        return logged.Dropped();
    if (removal->ok() && removal->value().removed)
        logged.Landed();
    else
        logged.Dropped();
    if (!removal->ok()) {
        ShowMessage(this,
                    "Invoice Number [" + number +
                        "] was not deleted; the invoice and the balance are as they were.\n\n" +
                        removal->error(),
                    QMessageBox::Critical);
        return;
    }
    if (!removal->value().removed) {
        // An invoice was created for the account since the list was filled, here or at another
        // desk: deleting this one now would leave the newer one standing on a wrong balance.
        ShowMessage(this,
                    "Invoice Number [" + number + "] was not deleted: invoice [" +
                        removal->value().lastInvoice +
                        "] was created for this account after the list was shown, perhaps at "
                        "another desk, and only the last invoice can be deleted. The list now "
                        "shows the account as it stands.",
                    QMessageBox::Warning);
        LoadAccount(account);
        return;
    }
    if (!RemoveInvoiceBackup(number))
        ShowMessage(this,
                    "Invoice Number [" + number +
                        "] was deleted and the balance adjusted, but its backup copies (Inv" +
                        number + ".xls, .pdf) could not be removed from the backup folder.",
                    QMessageBox::Warning);
    LoadAccount(account);
    COMBO_AccountNumber->setFocus();
}
