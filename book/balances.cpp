#include "balances.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "formats.h"
#include "invoicelines.h"
#include "invoices.h"
#include "statements.h"

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

// Another window may have removed the invoice since it was listed.
BookFailure notStored(const QString& number) {
    return Refusal("Invoice Number [" + number + "] is no longer in the database.");
}

Outcome storeBalance(const QString& account, double balance) {
    return bookwork::Execute(sql::UpdateBalance, {balance, QDate::currentDate(), account});
}

struct InvoiceAndBalance {
    InvoiceRecord invoice;
    double balance = 0.0;
};

// The stored invoice and balance a change starts from, read inside its transaction.
Result<InvoiceAndBalance> readInvoiceAndBalance(const QString& number) {
    auto invoice = ReadInvoice(number);
    if (!invoice)
        return invoice.failure();
    if (!*invoice)
        return notStored(number);
    const QString account = (*invoice)->AccountNumber;
    if (ServerBookOpen()) {
        // Another desk may have changed the invoice until its account was held for this save.
        if (Outcome held = bookwork::HoldAccount(account); !held)
            return held.failure();
        invoice = ReadInvoice(number);
        if (!invoice)
            return invoice.failure();
        if (!*invoice)
            return notStored(number);
    }
    const auto stored = ReadBalance(account);
    if (!stored)
        return stored.failure();
    if (!*stored)
        return Refusal("Account Number [" + account + "] has no balance in the database.");
    return InvoiceAndBalance{**invoice, (*stored)->Balance.value_or(0.0)};
}
} // namespace

Result<QStringList> ReadAccountInvoices(const QString& account) {
    const auto invoices = InvoicesOfAccount(account);
    if (!invoices)
        return invoices.failure();
    QStringList numbers;
    for (const InvoiceRecord& invoice : *invoices)
        numbers << invoice.InvoiceNumber;
    std::stable_sort(numbers.begin(), numbers.end(), invoiceOrder);
    return numbers;
}

Result<AccountActivity> ReadAccountActivity(const QString& account) {
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    auto invoices = ReadAccountInvoices(account);
    if (!invoices)
        return invoices.failure();
    const auto balance = ReadBalance(account);
    if (!balance)
        return balance.failure();
    AccountActivity activity;
    if (*profile)
        activity.name = (*profile)->CustomerName;
    activity.invoices = std::move(*invoices);
    if (*balance)
        activity.balance = (*balance)->Balance.value_or(0.0);
    return activity;
}

double BalanceAfterPayment(double balance, double receivedBefore, double receivedNow) {
    return RoundCents(balance - (RoundCents(receivedNow) - receivedBefore));
}

Result<double> SavePayment(const PaymentEntry& entry) {
    double newBalance = 0.0;
    const Outcome saved = InTransaction([&]() -> Outcome {
        const auto stored = readInvoiceAndBalance(entry.number);
        if (!stored)
            return stored.failure();
        const InvoiceRecord& invoice = stored->invoice;
        const double received = RoundCents(entry.amountReceived);
        newBalance =
            BalanceAfterPayment(stored->balance, invoice.AmountRecieved.value_or(0.0), received);
        if (Outcome balanced = storeBalance(invoice.AccountNumber, newBalance); !balanced)
            return balanced;
        if (Outcome removed = bookwork::Execute(sql::DeleteInvoice, {invoice.InvoiceNumber});
            !removed)
            return removed;
        // The stored figures stay; only what the user entered changes.
        InvoiceRecord updated = invoice;
        updated.InvoiceNumber = invoice.InvoiceNumber.trimmed();
        updated.CheckNumber = entry.reference;
        updated.DateRecieved = entry.dateReceived;
        updated.AmountRecieved = received;
        updated.PastDue = invoice.PastDue.value_or(0.0);
        updated.AmountBilled = invoice.AmountBilled.value_or(0.0);
        return bookwork::Append(tables::Invoices, updated.ToRow());
    });
    if (!saved)
        return saved.failure();
    return newBalance;
}

double BalanceWithout(double storedBalance, const InvoiceRecord& invoice) {
    return RoundCents(storedBalance -
                      (invoice.AmountBilled.value_or(0.0) - invoice.PastDue.value_or(0.0)) +
                      invoice.AmountRecieved.value_or(0.0));
}

Result<Removal> DeleteLastInvoice(const QString& account, const QString& number) {
    Removal removal;
    const Outcome done = InTransaction([&]() -> Outcome {
        // Held first, so an invoice another desk adds meanwhile is seen as the last one.
        if (Outcome held = bookwork::HoldAccount(account); !held)
            return held;
        const auto numbers = ReadAccountInvoices(account);
        if (!numbers)
            return numbers.failure();
        if (!numbers->contains(number))
            return notStored(number);
        if (numbers->last() != number) {
            removal.lastInvoice = numbers->last();
            return Refusal(QStringLiteral("Not the last invoice."));
        }
        const auto stored = readInvoiceAndBalance(number);
        if (!stored)
            return stored.failure();
        if (Outcome balanced =
                storeBalance(account, BalanceWithout(stored->balance, stored->invoice));
            !balanced)
            return balanced;
        if (Outcome unlined = DeleteInvoiceLines(number); !unlined)
            return unlined;
        return bookwork::Execute(sql::DeleteInvoice, {number});
    });
    if (!removal.lastInvoice.isEmpty())
        return removal;
    if (!done)
        return done.failure();
    removal.removed = true;
    return removal;
}
