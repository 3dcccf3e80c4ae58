#include "invoicelines.h"

#include "bookwork.h"
#include "columns.h"
#include "formats.h"
#include "statements.h"

#include <QSet>
#include <cmath>

using namespace bookwork;

namespace {
double rawTax(const InvoiceLine& line) {
    return line.amount * line.taxPercent / 100.0;
}

bool sameRate(const InvoiceLine& line, const TaxOfRate& rate) {
    return line.taxName == rate.name && line.taxPercent == rate.percent;
}

// The rates the lines use, in the order they first appear, with their net and tax summed from
// the lines as priced.
InvoiceTotals total(const std::vector<InvoiceLine>& lines) {
    InvoiceTotals totals;
    for (const InvoiceLine& line : lines) {
        totals.net = RoundCents(totals.net + line.amount);
        if (line.taxName.isEmpty())
            continue;
        auto rate = std::find_if(totals.taxes.begin(), totals.taxes.end(),
                                 [&](const TaxOfRate& r) { return sameRate(line, r); });
        if (rate == totals.taxes.end())
            rate = totals.taxes.insert(totals.taxes.end(), {line.taxName, line.taxPercent});
        rate->net = RoundCents(rate->net + line.amount);
        rate->tax = RoundCents(rate->tax + line.tax);
        totals.tax = RoundCents(totals.tax + line.tax);
    }
    totals.total = RoundCents(totals.net + totals.tax);
    return totals;
}

// One rounding per rate: each line takes the cents its running total adds, so the lines of a
// rate add up to the rate's tax rounded once, and no line is more than a cent off its own.
void shareTaxOfRates(std::vector<InvoiceLine>& lines) {
    QSet<int> done;
    for (std::size_t first = 0; first < lines.size(); ++first) {
        if (lines[first].taxName.isEmpty() || done.contains(int(first)))
            continue;
        double running = 0.0;
        double shared = 0.0;
        for (std::size_t i = first; i < lines.size(); ++i) {
            InvoiceLine& line = lines[i];
            if (line.taxName != lines[first].taxName || line.taxPercent != lines[first].taxPercent)
                continue;
            done.insert(int(i));
            running += rawTax(line);
            line.tax = RoundCents(RoundCents(running) - shared);
            shared = RoundCents(running);
        }
    }
}

// Whether the book holds the table; a book made before it does not.
Result<bool> hasTable(const char* table) {
    const Result<QVariant> found = ReadFirstValue(sql::TableExists, {QString::fromLatin1(table)});
    if (!found)
        return found.failure();
    return found->isValid() && !found->isNull();
}
} // namespace

InvoiceTotals PriceLines(std::vector<InvoiceLine>& lines, TaxRounding rounding) {
    for (InvoiceLine& line : lines) {
        line.rate = RoundCents(line.rate);
        line.amount = RoundCents(line.units * line.rate);
        if (line.taxName.isEmpty())
            line.taxPercent = 0.0;
        line.tax = line.taxName.isEmpty() ? 0.0 : RoundCents(rawTax(line));
    }
    if (rounding == TaxRounding::OnTotal)
        shareTaxOfRates(lines);
    return total(lines);
}

InvoiceTotals TotalOfLines(const std::vector<InvoiceLine>& lines) {
    return total(lines);
}

bool NeedsLines(const std::vector<InvoiceLine>& lines) {
    return lines.size() > 1 || std::any_of(lines.begin(), lines.end(), [](const InvoiceLine& l) {
               return !l.taxName.isEmpty();
           });
}

InvoiceLine LineFromRow(const Recordset& rows, int first) {
    InvoiceLine line;
    line.description = rows.Fields(first).toString();
    line.units = rows.Fields(first + 1).toDouble();
    line.rate = ParseMoney(rows.Fields(first + 2)).value_or(0.0);
    line.amount = ParseMoney(rows.Fields(first + 3)).value_or(0.0);
    line.taxName = rows.Fields(first + 4).toString();
    line.taxPercent = rows.Fields(first + 5).toDouble();
    line.tax = ParseMoney(rows.Fields(first + 6)).value_or(0.0);
    return line;
}

Result<bool> BookHoldsLines() {
    return hasTable(tables::InvoiceLines);
}

Result<std::vector<InvoiceLine>> LinesOfInvoice(const QString& invoiceNumber) {
    const auto exists = BookHoldsLines();
    if (!exists)
        return exists.failure();
    std::vector<InvoiceLine> lines;
    if (!*exists)
        return lines;
    if (Outcome queried = Query(sql::SelectInvoiceLines, {invoiceNumber}); !queried)
        return queried.failure();
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        lines.push_back(LineFromRow(rows, 0));
    return lines;
}

Result<std::vector<TaxRate>> ReadTaxRates() {
    const auto exists = hasTable(tables::TaxRates);
    if (!exists)
        return exists.failure();
    std::vector<TaxRate> rates;
    if (!*exists)
        return rates;
    if (Outcome queried = Query(sql::SelectTaxRates, {}); !queried)
        return queried.failure();
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        rates.push_back({rows.Fields(0).toString(), rows.Fields(1).toDouble()});
    return rates;
}

Outcome SaveTaxRates(const std::vector<TaxRate>& rates) {
    QSet<QString> names;
    for (const TaxRate& rate : rates) {
        const QString name = rate.name.trimmed();
        if (name.isEmpty())
            return Refusal(QStringLiteral("Every tax rate needs a name."));
        if (names.contains(name))
            return Refusal("The tax rate \"" + name + "\" is named twice.");
        if (!std::isfinite(rate.percent) || rate.percent < 0.0 || rate.percent >= 100.0)
            return Refusal("The tax rate \"" + name +
                           "\" must be a percent from 0 up to, but not including, 100.");
        names.insert(name);
    }
    return InTransaction([&]() -> Outcome {
        if (Outcome ensured = EnsureLineTables(); !ensured)
            return ensured;
        if (Outcome emptied = Execute(sql::DeleteTaxRates, {}); !emptied)
            return emptied;
        for (const TaxRate& rate : rates)
            if (Outcome added = Execute(sql::InsertTaxRate, {rate.name.trimmed(), rate.percent});
                !added)
                return added;
        return Done{};
    });
}

Result<QString> AccountTaxName(const QString& account) {
    const auto exists = hasTable(tables::AccountTax);
    if (!exists)
        return exists.failure();
    if (!*exists)
        return QString();
    const Result<QVariant> name = ReadFirstValue(sql::SelectAccountTax, {account});
    if (!name)
        return name.failure();
    return name->toString();
}

Outcome SetAccountTaxName(const QString& account, const QString& taxName) {
    const auto exists = hasTable(tables::AccountTax);
    if (!exists)
        return exists.failure();
    // Clearing a rate a book never had needs no new table.
    if (!*exists && taxName.trimmed().isEmpty())
        return Done{};
    if (Outcome ensured = EnsureLineTables(); !ensured)
        return ensured;
    if (Outcome cleared = Execute(sql::DeleteAccountTax, {account}); !cleared)
        return cleared;
    if (taxName.trimmed().isEmpty())
        return Done{};
    return Execute(sql::InsertAccountTax, {account, taxName.trimmed()});
}

Outcome EnsureLineTables() {
    const auto exists = hasTable(tables::AccountTax);
    if (!exists)
        return exists.failure();
    // The last of the tables made: when it is there, all are.
    if (*exists)
        return Done{};
    for (const sql::Dialectal& statement : sql::AddLineTables)
        if (Outcome done = Execute(statement, {}); !done)
            return done;
    return Done{};
}

Outcome WriteInvoiceLines(const QString& invoiceNumber, const std::vector<InvoiceLine>& lines) {
    if (Outcome ensured = EnsureLineTables(); !ensured)
        return ensured;
    if (Outcome cleared = Execute(sql::DeleteInvoiceLines, {invoiceNumber}); !cleared)
        return cleared;
    int number = 0;
    for (const InvoiceLine& line : lines) {
        const QVariant taxName = line.taxName.isEmpty() ? QVariant() : QVariant(line.taxName);
        if (Outcome added = Execute(sql::InsertInvoiceLine,
                                    {invoiceNumber, ++number, line.description, line.units,
                                     line.rate, line.amount, taxName, line.taxPercent, line.tax});
            !added)
            return added;
    }
    return Done{};
}

namespace {
Outcome deleteLines(const char* statement, const QString& key) {
    const auto exists = hasTable(tables::InvoiceLines);
    if (!exists)
        return exists.failure();
    if (!*exists)
        return Done{};
    return Execute(statement, {key});
}
} // namespace

Outcome DeleteInvoiceLines(const QString& invoiceNumber) {
    return deleteLines(sql::DeleteInvoiceLines, invoiceNumber);
}

Outcome DeleteLinesOfAccount(const QString& account) {
    return deleteLines(sql::DeleteLinesOfAccount, account);
}
