#include "billingrun.h"

#include "accounts.h"
#include "billingdue.h"
#include "bookwork.h"
#include "formats.h"
#include "invoices.h"

#include <algorithm>

namespace {
void addNote(PlannedInvoice& row, const QString& note) {
    row.note = row.note.isEmpty() ? note : row.note + QStringLiteral(" ") + note;
}

void untick(PlannedInvoice& row, const QString& why) {
    row.ticked = false;
    addNote(row, why);
}

// The account's own rate; none, saying so, when its name is no longer among the book's rates.
void takeTaxRate(PlannedInvoice& row, const QString& taxName, const std::vector<TaxRate>& rates) {
    if (taxName.isEmpty())
        return;
    const auto rate = std::find_if(rates.begin(), rates.end(),
                                   [&](const TaxRate& r) { return r.name == taxName; });
    if (rate == rates.end()) {
        addNote(row, "The tax rate \"" + taxName + "\" is no longer in the book: no tax.");
        return;
    }
    row.line.taxName = rate->name;
    row.line.taxPercent = rate->percent;
}

Result<PlannedInvoice> planAccount(const DueAccount& due, const std::vector<TaxRate>& rates,
                                   const QDate& today) {
    const auto profile = ReadProfile(due.account);
    if (!profile)
        return profile.failure();
    if (!*profile)
        return Refusal("The profile of account " + due.account + " is not in the book.");
    const auto balance = ReadBalance(due.account);
    if (!balance)
        return balance.failure();
    const auto taxName = AccountTaxName(due.account);
    if (!taxName)
        return taxName.failure();
    const ProfileRecord& p = **profile;
    const ChargesStart start = StartCharges(p);
    PlannedInvoice row;
    row.account = due.account;
    row.name = due.name;
    row.terms = TermsOf(p);
    row.line.description = *balance ? (*balance)->LastUnitDescription : QString();
    row.line.units = ParseNumber(start.units).value_or(0.0);
    row.line.rate = row.terms == BillingTerms::ByUnits ? start.unitRate : start.amount;
    row.billed = today;
    row.due = DueDate(today, p.GraceDays);
    row.payable = p.PayableTo;
    row.email = p.Email.trimmed();
    takeTaxRate(row, *taxName, rates);
    Reprice(row);
    if (start.amountEntered || start.unitsEntered) {
        row.ticked = false;
        row.needs = start.amountEntered
                        ? QStringLiteral("Needs an amount: enter it as the rate, then tick it.")
                        : QStringLiteral("Needs its units: enter them, then tick it.");
    } else if (const auto refusal = CheckPlannedInvoice(row))
        untick(row, *refusal);
    return row;
}

// The invoice number of a whole number; none beyond those an invoice number holds exactly.
std::optional<QString> invoiceNumberOf(qlonglong number) {
    const auto text = number > 0 ? FormatInvoiceNumber(double(number)) : std::nullopt;
    if (!text || text->toLongLong() != number)
        return std::nullopt;
    return text;
}

// The first number after the higher of the setting and the book's highest; 0 when none is left.
qlonglong firstFreeNumber(qlonglong lastInvoiceSetting, std::optional<qlonglong> highest) {
    return ProposedInvoiceNumber(lastInvoiceSetting, highest).toLongLong();
}

BookFailure invoiceFailed(const PlannedInvoice& row, const QString& number,
                          const BookFailure& failure) {
    return {failure.code, "Invoice " + number + " of account " + row.account +
                              " could not be stored: " + failure.message};
}
} // namespace

void Reprice(PlannedInvoice& row) {
    // One line: rounding per line or on the total comes to the same cents.
    std::vector<InvoiceLine> lines{row.line};
    (void)PriceLines(lines, TaxRounding::PerLine);
    row.line = lines.front();
}

bool NumberTicked(std::vector<PlannedInvoice>& rows, qlonglong first) {
    bool numbered = true;
    qlonglong next = first;
    for (PlannedInvoice& row : rows) {
        row.number.clear();
        if (!row.ticked || !numbered)
            continue;
        const auto number = invoiceNumberOf(next++);
        numbered = number.has_value();
        row.number = number.value_or(QString());
    }
    return numbered;
}

BillingRunTotals TotalOfTicked(const std::vector<PlannedInvoice>& rows) {
    BillingRunTotals totals;
    for (const PlannedInvoice& row : rows) {
        if (!row.ticked)
            continue;
        ++totals.invoices;
        totals.amount = RoundCents(totals.amount + row.line.amount);
        totals.tax = RoundCents(totals.tax + row.line.tax);
        totals.total = RoundCents(totals.total + TotalOf(row));
    }
    return totals;
}

Result<BillingPlan> PlanBillingRun(const QDate& today, qlonglong lastInvoiceSetting) {
    const auto due = AccountsDueThisMonth(today);
    if (!due)
        return due.failure();
    const auto rates = ReadTaxRates();
    if (!rates)
        return rates.failure();
    const auto highest = HighestInvoiceNumber();
    if (!highest)
        return highest.failure();
    BillingPlan plan;
    plan.rows.reserve(due->size());
    for (const DueAccount& account : *due) {
        auto row = planAccount(account, *rates, today);
        if (!row)
            return row.failure();
        plan.rows.push_back(std::move(row).value());
    }
    plan.firstNumber = firstFreeNumber(lastInvoiceSetting, *highest);
    (void)NumberTicked(plan.rows, plan.firstNumber);
    return plan;
}

std::optional<QString> CheckPlannedInvoice(const PlannedInvoice& row) {
    // The invoice window's rules of an entry; the number is given only when the run is stored.
    InvoiceEntry entry{QStringLiteral("1"),         row.payable,
                       row.line.description,        FormatShortDate(row.billed),
                       FormatShortDate(row.due),    QString::number(row.line.units),
                       FormatMoney(row.line.amount)};
    if (const auto refusal = CheckInvoiceEntry(entry))
        return refusal->message;
    return std::nullopt;
}

Result<std::vector<StoredInvoice>>
StoreBillingRun(const std::vector<PlannedInvoice>& rows, qlonglong lastInvoiceSetting,
                const std::function<void(const std::vector<StoredInvoice>&)>& beforeCommit) {
    std::vector<const PlannedInvoice*> ticked;
    for (const PlannedInvoice& row : rows) {
        if (!row.ticked)
            continue;
        if (const auto refusal = CheckPlannedInvoice(row))
            return Refusal("Account " + row.account + ": " + *refusal + " Nothing was stored.");
        ticked.push_back(&row);
    }
    if (ticked.empty())
        return Refusal(QStringLiteral("No invoice is ticked, so nothing was stored."));
    std::vector<StoredInvoice> stored;
    const Outcome done = bookwork::InTransaction([&]() -> Outcome {
        // Read inside the transaction: the numbers other desks used since the plan are passed.
        const auto highest = HighestInvoiceNumber();
        if (!highest)
            return highest.failure();
        const qlonglong first = firstFreeNumber(lastInvoiceSetting, *highest);
        for (const PlannedInvoice* row : ticked) {
            const auto number = invoiceNumberOf(first + qlonglong(stored.size()));
            if (!number)
                return Refusal("No invoice number is left for account " + row->account + ".");
            InvoiceRecord invoice;
            invoice.InvoiceNumber = *number;
            invoice.AccountNumber = row->account;
            invoice.DateBilled = row->billed;
            invoice.DateDue = row->due;
            invoice.AmountRecieved = 0.0;
            const auto result = StoreInvoiceWithin(invoice, {row->line}, row->line.description);
            if (!result)
                return invoiceFailed(*row, *number, result.failure());
            if (*result == InvoiceStore::Duplicate)
                return invoiceFailed(*row, *number,
                                     Refusal("another desk stored that number meanwhile."));
            stored.push_back({invoice, row->line, TotalOf(*row)});
        }
        if (beforeCommit)
            beforeCommit(stored);
        return Done{};
    });
    if (!done)
        return BookFailure{done.code(), done.error() + "\n\nNo invoice of the run was stored."};
    return stored;
}
