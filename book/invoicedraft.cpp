#include "invoicedraft.h"

#include "accounts.h"
#include "formats.h"
#include "invoicelines.h"
#include "invoices.h"

#include <algorithm>
#include <functional>

BillingTerms TermsOf(const ProfileRecord& profile) {
    switch (profile.InvoiceType) {
    case 0:
        return BillingTerms::EnteredAmount;
    case 1:
        return BillingTerms::FixedAmount;
    default:
        return BillingTerms::ByUnits;
    }
}

QString ProposedInvoiceNumber(qlonglong lastInvoiceSetting,
                              std::optional<qlonglong> highestStored) {
    const qlonglong last = std::max(lastInvoiceSetting, highestStored.value_or(0));
    return FormatInvoiceNumber(double(last) + 1).value_or(QString());
}

QDate DueDate(const QDate& billed, int graceDays) {
    QDate due = billed.addDays(graceDays);
    while (due.dayOfWeek() == Qt::Saturday || due.dayOfWeek() == Qt::Sunday)
        due = due.addDays(1);
    return due;
}

ChargesStart StartCharges(const ProfileRecord& profile) {
    ChargesStart start;
    start.units = QStringLiteral("1");
    start.unitRate = ParseMoney(profile.UnitPrice).value_or(0.0);
    switch (TermsOf(profile)) {
    case BillingTerms::EnteredAmount:
        start.amountEntered = true;
        break;
    case BillingTerms::FixedAmount:
        start.amount = ParseMoney(profile.PaymentAmount).value_or(0.0);
        break;
    case BillingTerms::ByUnits:
        start.unitsEntered = true;
        start.units = QStringLiteral("0");
        break;
    }
    return start;
}

double AmountBilled(double previous, double charges) {
    return RoundCents(previous + charges);
}

Result<std::optional<InvoiceDraft>> DraftInvoice(const QString& account,
                                                 qlonglong lastInvoiceSetting) {
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    if (!*profile)
        return std::optional<InvoiceDraft>();
    const auto highest = HighestInvoiceNumber();
    if (!highest)
        return highest.failure();
    const auto balance = ReadBalance(account);
    if (!balance)
        return balance.failure();
    InvoiceDraft draft;
    draft.profile = **profile;
    draft.number = ProposedInvoiceNumber(lastInvoiceSetting, *highest);
    if (*balance) {
        draft.previous = (*balance)->Balance.value_or(0.0);
        draft.unitDescription = (*balance)->LastUnitDescription;
    }
    const auto rates = ReadTaxRates();
    if (!rates)
        return rates.failure();
    const auto taxName = AccountTaxName(account);
    if (!taxName)
        return taxName.failure();
    draft.taxRates = *rates;
    if (std::any_of(rates->begin(), rates->end(),
                    [&](const TaxRate& rate) { return rate.name == *taxName; }))
        draft.taxName = *taxName;
    return std::optional<InvoiceDraft>(draft);
}

namespace {
bool blank(const QString& text) {
    return text.trimmed().isEmpty();
}

void fillWhenBlank(QString& text, const QString& zero) {
    if (blank(text))
        text = zero;
}
} // namespace

std::optional<InvoiceRefusal> CheckInvoiceEntry(InvoiceEntry& e) {
    const auto billed = ParseDate(e.dateBilled);
    const auto due = ParseDate(e.dateDue);
    const struct {
        std::function<bool()> fails;
        InvoiceField field;
        const char* message;
    } checks[] = {
        {[&] { return !IsNumeric(e.number); }, InvoiceField::Number,
         "An invalid Invoice Number was entered, please correct."},
        {[&] { return blank(e.payable); }, InvoiceField::Payable,
         "Please enter a value for Check Payable To."},
        {[&] { return blank(e.description); }, InvoiceField::Description,
         "Please enter a value for Unit Description."},
        {[&] { return !billed; }, InvoiceField::DateBilled,
         "An invalid Billing Date was entered, please correct."},
        {[&] { return !due; }, InvoiceField::DateDue,
         "An invalid Due Date was entered, please correct."},
        {[&] { return *due < *billed; }, InvoiceField::DateDue,
         "Due Date cannot be before Billing Date, please correct."},
        {[&] {
             fillWhenBlank(e.units, QStringLiteral("0"));
             return !IsNumeric(e.units);
         },
         InvoiceField::Units, "An invalid number was entered for the Units, please correct."},
        {[&] {
             fillWhenBlank(e.charges, QStringLiteral("0.00"));
             return !IsNumeric(e.charges);
         },
         InvoiceField::Charges, "An invalid number was entered for the Payment, please correct."},
    };
    for (const auto& check : checks) {
        if (check.fails())
            return InvoiceRefusal{check.field, QString::fromLatin1(check.message)};
    }
    return std::nullopt;
}

std::variant<InvoiceLine, QString> ReadLineEntry(const LineEntry& entry, int lineNumber,
                                                 const std::vector<TaxRate>& rates) {
    const QString line = " on line " + QString::number(lineNumber) + ", please correct.";
    InvoiceLine read;
    read.description = entry.description.trimmed();
    if (read.description.isEmpty())
        return "Please enter a description" + line;
    const auto units = ParseNumber(entry.units);
    if (!units)
        return "An invalid number was entered for the Units" + line;
    const auto rate = ParseMoney(entry.rate);
    if (!rate)
        return "An invalid number was entered for the Rate" + line;
    read.units = *units;
    read.rate = *rate;
    if (!entry.taxName.isEmpty()) {
        const auto taxed = std::find_if(rates.begin(), rates.end(),
                                        [&](const TaxRate& r) { return r.name == entry.taxName; });
        if (taxed == rates.end())
            return "The tax rate \"" + entry.taxName + "\" is no longer in the book" + line;
        read.taxName = taxed->name;
        read.taxPercent = taxed->percent;
    }
    return read;
}
