#include "reprintsource.h"

#include "accounts.h"
#include "balances.h"
#include "formats.h"
#include "invoices.h"

#include <QLocale>
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
    QLocale shown = QLocale::system();
    shown.setNumberOptions(QLocale::OmitGroupSeparator);
    return shown.toString(units, 'g', 12);
}

// The account's last invoice in the order the balance window lists them.
bool IsNewestOfAccount(const InvoiceRecord& invoice, QString& error) {
    QStringList numbers;
    return ReadAccountInvoices(invoice.AccountNumber, numbers, error) == 0 && !numbers.isEmpty() &&
           numbers.last() == invoice.InvoiceNumber;
}
} // namespace

std::optional<InvoiceReprint> ReadInvoiceReprint(const QString& number, QString& error) {
    auto invoice = ReadInvoice(number, error);
    if (!invoice) {
        if (error.isEmpty())
            error = "Invoice " + number + " is not in the book.";
        return std::nullopt;
    }
    auto profile = ReadProfile(invoice->AccountNumber, error);
    if (!profile) {
        if (error.isEmpty())
            error = "The profile of account " + invoice->AccountNumber + " is not in the book.";
        return std::nullopt;
    }
    InvoiceReprint reprint;
    reprint.previous = RoundCents(invoice->PastDue.value_or(0.0));
    reprint.billed = RoundCents(invoice->AmountBilled.value_or(0.0));
    reprint.charges = RoundCents(reprint.billed - reprint.previous);
    reprint.units = UnitsFor(*profile, reprint.charges);
    QString unread;
    if (IsNewestOfAccount(*invoice, unread)) {
        if (const auto balance = ReadBalance(invoice->AccountNumber, unread))
            reprint.description = balance->LastUnitDescription;
    }
    reprint.invoice = std::move(*invoice);
    reprint.profile = std::move(*profile);
    return reprint;
}
