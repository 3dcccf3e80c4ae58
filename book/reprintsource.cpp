#include "reprintsource.h"

#include "accounts.h"
#include "balances.h"
#include "formats.h"
#include "invoiceplan.h"
#include "invoices.h"

#include <cmath>

namespace {
constexpr int BilledByUnits = 2;

QString UnitsFor(const ProfileRecord& profile, double charges) {
    if (profile.InvoiceType != BilledByUnits)
        return QStringLiteral("1");
    const double price = ParseMoney(profile.UnitPrice).value_or(0.0);
    if (price <= 0.0)
        return {};
    // Units are typed with at most a few decimals; a count that needs more is a guess.
    const double units = std::round(charges / price * 1000.0) / 1000.0;
    if (RoundCents(units * price) != RoundCents(charges))
        return {};
    return FormatCount(units);
}

// The account's last invoice in the order the balance window lists them.
Result<bool> IsNewestOfAccount(const InvoiceRecord& invoice) {
    const auto numbers = ReadAccountInvoices(invoice.AccountNumber);
    if (!numbers)
        return numbers.failure();
    return !numbers->isEmpty() && numbers->last() == invoice.InvoiceNumber;
}
} // namespace

Result<InvoiceReprint> ReadInvoiceReprint(const QString& number) {
    const auto invoice = ReadInvoice(number);
    if (!invoice)
        return invoice.failure();
    if (!*invoice)
        return Refusal("Invoice " + number + " is not in the book.");
    const QString& account = (*invoice)->AccountNumber;
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    if (!*profile)
        return Refusal("The profile of account " + account + " is not in the book.");
    InvoiceReprint reprint;
    reprint.invoice = **invoice;
    reprint.profile = **profile;
    reprint.previous = RoundCents(reprint.invoice.PastDue.value_or(0.0));
    reprint.billed = RoundCents(reprint.invoice.AmountBilled.value_or(0.0));
    reprint.charges = RoundCents(reprint.billed - reprint.previous);
    reprint.units = UnitsFor(reprint.profile, reprint.charges);
    auto lines = LinesOfInvoice(number);
    if (!lines)
        return lines.failure();
    reprint.lines = std::move(*lines);
    const auto newest = IsNewestOfAccount(reprint.invoice);
    if (!newest)
        return newest.failure();
    if (*newest) {
        const auto balance = ReadBalance(account);
        if (!balance)
            return balance.failure();
        if (*balance)
            reprint.description = (*balance)->LastUnitDescription;
    }
    return reprint;
}
