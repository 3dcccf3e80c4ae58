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

Result<InvoiceStore> StoreInvoiceWithin(InvoiceRecord& invoice,
                                        const std::vector<InvoiceLine>& lines,
                                        const QString& unitDescription) {
    // Checked inside the transaction, so no other program can take the number meanwhile.
    const auto exists = InvoiceExists(invoice.InvoiceNumber);
    if (!exists)
        return exists.failure();
    if (*exists)
        return InvoiceStore::Duplicate;
    if (Outcome held = HoldAccount(invoice.AccountNumber); !held)
        return held.failure();
    const auto balance = ReadBalance(invoice.AccountNumber);
    if (!balance)
        return balance.failure();
    const double previous = *balance ? (*balance)->Balance.value_or(0.0) : 0.0;
    invoice.PastDue = previous;
    invoice.AmountBilled = RoundCents(previous + TotalOfLines(lines).total);
    if (Outcome updated = Execute(
            sql::UpdateBalanceAndDescription,
            {*invoice.AmountBilled, unitDescription, QDate::currentDate(), invoice.AccountNumber});
        !updated)
        return updated.failure();
    // Another desk may take the number after the check above; its key refuses this one then.
    if (Outcome appended = Append(tables::Invoices, invoice.ToRow()); !appended) {
        if (IsTakenKey(appended.failure()))
            return InvoiceStore::Duplicate;
        return appended.failure();
    }
    if (NeedsLines(lines))
        if (Outcome written = WriteInvoiceLines(invoice.InvoiceNumber, lines); !written)
            return written.failure();
    return InvoiceStore::Stored;
}

Result<InvoiceStore> CreateInvoice(InvoiceRecord& invoice, const std::vector<InvoiceLine>& lines,
                                   const QString& unitDescription) {
    InvoiceStore store = InvoiceStore::Stored;
    const Outcome stored = InTransaction([&]() -> Outcome {
        const auto within = StoreInvoiceWithin(invoice, lines, unitDescription);
        if (!within)
            return within.failure();
        store = *within;
        // Nothing of a refused invoice may land.
        if (store == InvoiceStore::Duplicate)
            return Refusal(QStringLiteral("The invoice number is taken."));
        return Done{};
    });
    if (store == InvoiceStore::Duplicate)
        return InvoiceStore::Duplicate;
    if (!stored)
        return stored.failure();
    return InvoiceStore::Stored;
}

Result<InvoiceStore> CreateInvoice(InvoiceRecord& invoice, double charges,
                                   const QString& unitDescription) {
    InvoiceLine only;
    only.units = 1;
    only.amount = RoundCents(charges);
    return CreateInvoice(invoice, std::vector<InvoiceLine>{only}, unitDescription);
}
