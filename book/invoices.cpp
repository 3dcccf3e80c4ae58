#include "invoices.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "formats.h"
#include "statements.h"

using namespace bookwork;

std::optional<InvoiceRecord> ReadInvoice(const QString& number, QString& error) {
    return ReadOne<InvoiceRecord>(sql::SelectInvoice, number, error);
}

bool InvoiceExists(const QString& number) {
    QString error;
    return ReadInvoice(number, error).has_value();
}

std::vector<InvoiceRecord> InvoicesOfAccount(const QString& account, QString& error) {
    return ReadAll<InvoiceRecord>(sql::SelectInvoicesOfAccount, {account}, error);
}

std::vector<InvoiceRecord> AllInvoices(QString& error) {
    return ReadAll<InvoiceRecord>(sql::SelectAllInvoices, {}, error);
}

std::optional<qlonglong> HighestInvoiceNumber(QString& error) {
    const QVariant highest = ReadFirstValue(sql::HighestNumericInvoice, error);
    if (highest.isNull())
        return std::nullopt;
    return highest.toLongLong();
}

InvoiceStore CreateInvoice(InvoiceRecord& invoice, double charges, const QString& unitDescription,
                           QString& error) {
    bool duplicate = false;
    const qint32 result = InTransaction(error, [&]() -> qint32 {
        // Checked inside the transaction, so no other program can take the number meanwhile.
        if (InvoiceExists(invoice.InvoiceNumber)) {
            duplicate = true;
            return -1;
        }
        const auto balance = ReadBalance(invoice.AccountNumber, error);
        if (!error.isEmpty())
            return -1;
        const double previous = balance ? balance->Balance.value_or(0.0) : 0.0;
        invoice.PastDue = previous;
        invoice.AmountBilled = RoundCents(previous + charges);
        if (const qint32 updated = Execute(sql::UpdateBalanceAndDescription,
                                           {*invoice.AmountBilled, unitDescription,
                                            QDate::currentDate(), invoice.AccountNumber},
                                           error))
            return updated;
        return Append(tables::Invoices, invoice.ToRow(), error);
    });
    if (duplicate)
        return InvoiceStore::Duplicate;
    return result == 0 ? InvoiceStore::Stored : InvoiceStore::Failed;
}
