#include "invoices.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "formats.h"
#include "statements.h"

using namespace bookwork;

Result<std::optional<InvoiceRecord>> ReadInvoice(const QString& number) {
    return ReadOne<InvoiceRecord>(sql::SelectInvoice, number);
}

Result<bool> InvoiceExists(const QString& number) {
    const auto invoice = ReadInvoice(number);
    if (!invoice)
        return invoice.failure();
    return invoice->has_value();
}

Result<std::vector<InvoiceRecord>> InvoicesOfAccount(const QString& account) {
    return ReadAll<InvoiceRecord>(sql::SelectInvoicesOfAccount, {account});
}

Result<std::vector<InvoiceRecord>> AllInvoices() {
    return ReadAll<InvoiceRecord>(sql::SelectAllInvoices);
}

Result<std::optional<qlonglong>> HighestInvoiceNumber() {
    const Result<QVariant> highest = ReadFirstValue(sql::HighestNumericInvoice);
    if (!highest)
        return highest.failure();
    if (highest->isNull())
        return std::optional<qlonglong>();
    return std::optional<qlonglong>(highest->toLongLong());
}

Result<InvoiceStore> CreateInvoice(InvoiceRecord& invoice, double charges,
                                   const QString& unitDescription) {
    bool duplicate = false;
    const Outcome stored = InTransaction([&]() -> Outcome {
        // Checked inside the transaction, so no other program can take the number meanwhile.
        const auto exists = InvoiceExists(invoice.InvoiceNumber);
        if (!exists)
            return exists.failure();
        if (*exists) {
            duplicate = true;
            return Refusal(QStringLiteral("The invoice number is taken."));
        }
        if (Outcome held = HoldAccount(invoice.AccountNumber); !held)
            return held;
        const auto balance = ReadBalance(invoice.AccountNumber);
        if (!balance)
            return balance.failure();
        const double previous = *balance ? (*balance)->Balance.value_or(0.0) : 0.0;
        invoice.PastDue = previous;
        invoice.AmountBilled = RoundCents(previous + charges);
        if (Outcome updated = Execute(sql::UpdateBalanceAndDescription,
                                      {*invoice.AmountBilled, unitDescription, QDate::currentDate(),
                                       invoice.AccountNumber});
            !updated)
            return updated;
        // Another desk may take the number after the check above; its key refuses this one then.
        Outcome appended = Append(tables::Invoices, invoice.ToRow());
        duplicate = !appended && IsTakenKey(appended.failure());
        return appended;
    });
    if (duplicate)
        return InvoiceStore::Duplicate;
    if (!stored)
        return stored.failure();
    return InvoiceStore::Stored;
}
