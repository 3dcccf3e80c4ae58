#include "balances.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "formats.h"
#include "invoices.h"
#include "paths.h"
#include "statements.h"

#include <QDir>
#include <algorithm>

namespace {
bool invoiceOrder(const QString& a, const QString& b) {
    const auto x = ParseNumber(a);
    const auto y = ParseNumber(b);
    if (x && y && *x != *y)
        return *x < *y;
    if (x.has_value() != y.has_value())
        return x.has_value();
    return a < b;
}

using bookwork::InTransaction;

constexpr qint32 NotStored = -1;

// Another window may have removed the invoice since it was listed.
QString notStoredText(const QString& number) {
    return "Invoice Number [" + number + "] is no longer in the database.";
}

qint32 storeBalance(const QString& account, double balance, QString& error) {
    return bookwork::Execute(sql::UpdateBalance, {balance, QDate::currentDate(), account}, error);
}

// The stored invoice and balance a change starts from, read inside its transaction.
qint32 readInvoiceAndBalance(const QString& number, InvoiceRecord& invoice, double& balance,
                             QString& error) {
    const auto found = ReadInvoice(number, error);
    if (!found) {
        if (error.isEmpty())
            error = notStoredText(number);
        return NotStored;
    }
    invoice = *found;
    const auto stored = ReadBalance(invoice.AccountNumber, error);
    if (!stored) {
        if (error.isEmpty())
            error =
                "Account Number [" + invoice.AccountNumber + "] has no balance in the database.";
        return NotStored;
    }
    balance = stored->Balance.value_or(0.0);
    return 0;
}
} // namespace

qint32 ReadAccountInvoices(const QString& account, QStringList& numbers, QString& error) {
    numbers.clear();
    for (const InvoiceRecord& invoice : InvoicesOfAccount(account, error))
        numbers << invoice.InvoiceNumber;
    if (!error.isEmpty())
        return -1;
    std::stable_sort(numbers.begin(), numbers.end(), invoiceOrder);
    return 0;
}

qint32 SavePayment(const PaymentEntry& entry, double& newBalance, QString& error) {
    return InTransaction(error, [&]() -> qint32 {
        InvoiceRecord invoice;
        double balance = 0.0;
        if (const qint32 result = readInvoiceAndBalance(entry.number, invoice, balance, error))
            return result;
        const double received = RoundCents(entry.amountReceived);
        newBalance = RoundCents(balance - (received - invoice.AmountRecieved.value_or(0.0)));
        if (const qint32 result = storeBalance(invoice.AccountNumber, newBalance, error))
            return result;
        if (const qint32 result =
                bookwork::Execute(sql::DeleteInvoice, {invoice.InvoiceNumber}, error))
            return result;
        // The stored figures stay; only what the user entered changes.
        InvoiceRecord updated = invoice;
        updated.InvoiceNumber = invoice.InvoiceNumber.trimmed();
        updated.CheckNumber = entry.reference;
        updated.DateRecieved = entry.dateReceived;
        updated.AmountRecieved = received;
        updated.PastDue = invoice.PastDue.value_or(0.0);
        updated.AmountBilled = invoice.AmountBilled.value_or(0.0);
        return bookwork::Append(tables::Invoices, updated.ToRow(), error);
    });
}

double BalanceWithout(double storedBalance, const InvoiceRecord& invoice) {
    return RoundCents(storedBalance -
                      (invoice.AmountBilled.value_or(0.0) - invoice.PastDue.value_or(0.0)) +
                      invoice.AmountRecieved.value_or(0.0));
}

Removal DeleteLastInvoice(const QString& account, const QString& number, QString& lastInvoice,
                          QString& error) {
    lastInvoice.clear();
    bool notLast = false;
    const qint32 result = InTransaction(error, [&]() -> qint32 {
        QStringList numbers;
        if (const qint32 read = ReadAccountInvoices(account, numbers, error))
            return read;
        if (!numbers.contains(number)) {
            error = notStoredText(number);
            return NotStored;
        }
        if (numbers.last() != number) {
            lastInvoice = numbers.last();
            notLast = true;
            return NotStored;
        }
        InvoiceRecord invoice;
        double balance = 0.0;
        if (const qint32 read = readInvoiceAndBalance(number, invoice, balance, error))
            return read;
        if (const qint32 stored = storeBalance(account, BalanceWithout(balance, invoice), error))
            return stored;
        return bookwork::Execute(sql::DeleteInvoice, {number}, error);
    });
    if (notLast)
        return Removal::NotLast;
    return result == 0 ? Removal::Removed : Removal::Failed;
}

bool RemoveInvoiceBackup(const QString& number) {
    const QStringList names = {"inv" + number + ".xls", "inv" + number + ".pdf"};
    QDir backup(ProgramFile(QStringLiteral("backup")));
    bool allRemoved = true;
    for (const QString& file : backup.entryList(QDir::Files | QDir::Hidden))
        if (names.contains(file, Qt::CaseInsensitive) && !backup.remove(file))
            allRemoved = false;
    return allRemoved;
}
