#include "balancebook.h"

#include "columns.h"
#include "formats.h"
#include "modDAO.h"
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

double money(const QVariant& value) {
    return ParseMoney(value).value_or(0.0);
}

QVariant storedDate(const QDate& date) {
    return date.isValid() ? QVariant(date) : QVariant();
}

// Runs the statements of one change; any failure rolls all of them back.
template <typename Work> qint32 inTransaction(QString& error, Work work) {
    if (const qint32 result = daoBegin_Transaction(error))
        return result;
    if (const qint32 result = work(); result != 0) {
        daoRollback_Transaction();
        return result;
    }
    return daoCommit_Transaction(error);
}

constexpr qint32 NotStored = -1;

// Another window may have removed the invoice since it was listed.
QString notStoredText(const QString& number) {
    return "Invoice Number [" + number + "] is no longer in the database.";
}

qint32 storeBalance(const QString& account, double balance, QString& error) {
    return daoIssue_EXEStatement(QLatin1String(sql::UpdateBalance), error,
                                 {balance, QDate::currentDate(), account});
}

// The stored invoice and balance a change starts from, read inside its transaction.
qint32 readInvoiceAndBalance(const QString& number, StoredInvoice& invoice, double& balance,
                             QString& error) {
    const auto found = ReadInvoice(number, error);
    if (!found) {
        if (error.isEmpty())
            error = notStoredText(number);
        return NotStored;
    }
    invoice = *found;
    const auto stored = ReadBalance(invoice.account, error);
    if (!stored) {
        if (error.isEmpty())
            error = "Account Number [" + invoice.account + "] has no balance in the database.";
        return NotStored;
    }
    balance = *stored;
    return 0;
}
} // namespace

qint32 ReadAccountInvoices(const QString& account, QStringList& numbers, QString& error) {
    numbers.clear();
    const qint32 result =
        daoGet_DBTableRecord(QLatin1String(sql::SelectInvoicesOfAccount), error, {account});
    if (result != 0)
        return result;
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        numbers << rows.Fields(col::InvoiceNumber).toString();
    std::stable_sort(numbers.begin(), numbers.end(), invoiceOrder);
    return 0;
}

std::optional<StoredInvoice> ReadInvoice(const QString& number, QString& error) {
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectInvoice), error, {number}) != 0)
        return std::nullopt;
    Recordset& row = SharedRecordset();
    if (!row.MoveFirst())
        return std::nullopt;
    StoredInvoice invoice;
    invoice.number = row.Fields(col::InvoiceNumber).toString();
    invoice.account = row.Fields(col::InvoiceAccount).toString();
    invoice.dateBilled = row.Fields(col::DateBilled);
    invoice.reference = row.Fields(col::CheckNumber).toString();
    invoice.dateDue = row.Fields(col::DateDue);
    invoice.dateReceived = row.Fields(col::DateRecieved);
    invoice.pastDue = money(row.Fields(col::PastDue));
    invoice.amountBilled = money(row.Fields(col::AmountBilled));
    invoice.amountReceived = money(row.Fields(col::AmountRecieved));
    return invoice;
}

std::optional<double> ReadBalance(const QString& account, QString& error) {
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectBalance), error, {account}) != 0 ||
        !SharedRecordset().MoveFirst())
        return std::nullopt;
    return money(SharedRecordset().Fields(col::Balance));
}

qint32 SavePayment(const PaymentEntry& entry, double& newBalance, QString& error) {
    return inTransaction(error, [&]() -> qint32 {
        StoredInvoice invoice;
        double balance = 0.0;
        if (const qint32 result = readInvoiceAndBalance(entry.number, invoice, balance, error))
            return result;
        const double received = RoundCents(entry.amountReceived);
        newBalance = RoundCents(balance - (received - invoice.amountReceived));
        if (const qint32 result = storeBalance(invoice.account, newBalance, error))
            return result;
        if (const qint32 result =
                daoIssue_EXEStatement(QLatin1String(sql::DeleteInvoice), error, {invoice.number}))
            return result;
        RecordBuffer() = {
            invoice.number.trimmed(), invoice.account,      invoice.dateBilled,
            entry.reference,          invoice.dateDue,      storedDate(entry.dateReceived),
            invoice.pastDue,          invoice.amountBilled, received};
        return daoWrite_DBTableRecord(QLatin1String(tables::Invoices), error);
    });
}

double BalanceWithout(double storedBalance, const StoredInvoice& invoice) {
    return RoundCents(storedBalance - (invoice.amountBilled - invoice.pastDue) +
                      invoice.amountReceived);
}

Removal DeleteLastInvoice(const QString& account, const QString& number, QString& lastInvoice,
                          QString& error) {
    lastInvoice.clear();
    bool notLast = false;
    const qint32 result = inTransaction(error, [&]() -> qint32 {
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
        StoredInvoice invoice;
        double balance = 0.0;
        if (const qint32 read = readInvoiceAndBalance(number, invoice, balance, error))
            return read;
        if (const qint32 stored = storeBalance(account, BalanceWithout(balance, invoice), error))
            return stored;
        return daoIssue_EXEStatement(QLatin1String(sql::DeleteInvoice), error, {number});
    });
    if (notLast)
        return Removal::NotLast;
    return result == 0 ? Removal::Removed : Removal::Failed;
}

bool RemoveInvoiceBackup(const QString& number) {
    const QString name = "inv" + number + ".xls";
    QDir backup(ProgramFile(QStringLiteral("backup")));
    bool allRemoved = true;
    for (const QString& file : backup.entryList(QDir::Files | QDir::Hidden))
        if (file.compare(name, Qt::CaseInsensitive) == 0 && !backup.remove(file))
            allRemoved = false;
    return allRemoved;
}
