#include "taxreport.h"

#include "bookwork.h"
#include "columns.h"
#include "formats.h"
#include "invoicelines.h"
#include "statements.h"

#include <algorithm>

using namespace bookwork;

namespace {
constexpr int FirstRateRow = 17;

TaxCollectedRate rateOf(Recordset& rows) {
    return {rows.Fields(0).toString(), rows.Fields(1).toDouble(),
            ParseMoney(rows.Fields(2)).value_or(0.0), ParseMoney(rows.Fields(3)).value_or(0.0)};
}

Result<std::vector<TaxCollectedRate>> readRates(const QString& from, const QString& to) {
    const auto holdsLines = BookHoldsLines();
    if (!holdsLines)
        return holdsLines.failure();
    std::vector<TaxCollectedRate> rates;
    if (!*holdsLines) {
        const Result<QVariant> billed = ReadFirstValue(sql::SelectBilledWithin, {from, to});
        if (!billed)
            return billed.failure();
        if (const auto net = ParseMoney(*billed))
            rates.push_back({QString(), 0.0, *net, 0.0});
        return rates;
    }
    if (Outcome queried = Query(sql::SelectTaxByRateBilledWithin, {from, to, from, to}); !queried)
        return queried.failure();
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        rates.push_back(rateOf(rows));
    return rates;
}
} // namespace

Result<TaxCollected> ReadTaxCollected(const QDate& from, const QDate& to) {
    auto rates = readRates(DateToStored(from), DateToStored(to));
    if (!rates)
        return rates.failure();
    // Sorted here, so that both kinds of book list the rates alike.
    std::sort(rates->begin(), rates->end(), [](const auto& a, const auto& b) {
        const int byName = QString::compare(a.name, b.name);
        return byName != 0 ? byName < 0 : a.percent < b.percent;
    });
    TaxCollected collected{from, to, std::move(*rates), 0.0, 0.0};
    for (const TaxCollectedRate& rate : collected.rates) {
        collected.net = RoundCents(collected.net + rate.net);
        collected.tax = RoundCents(collected.tax + rate.tax);
    }
    return collected;
}

ReportSheetPlan PlanTaxCollectedSheet(const TaxCollected& collected) {
    ReportSheetPlan plan;
    const QString period = FormatShortDate(collected.from) + " to " + FormatShortDate(collected.to);
    plan.header = {
        {1, 1, {{AsSheetText(QStringLiteral("Tax Collected"))}}},
        {2,
         1,
         {{AsSheetText(QStringLiteral("Tax billed by rate on the invoices of every account "
                                      "billed in the period"))}}},
        {4, 8, {{AsSheetText(QStringLiteral("All accounts"))}}},
        {7, 8, {{AsSheetText(period)}}},
        {10, 5, {{AsSheetText(QStringLiteral("Tax Collected"))}}},
        {16,
         1,
         {{AsSheetText(QStringLiteral("Tax Rate")), QString(), QString(), QString(),
           AsSheetText(QStringLiteral("Percent")), AsSheetText(QStringLiteral("Net Billed")),
           AsSheetText(QStringLiteral("Tax")), AsSheetText(QStringLiteral("Total Billed"))}}}};
    SheetTexts lines{FirstRateRow, 1, {}};
    for (const TaxCollectedRate& rate : collected.rates)
        lines.texts.push_back(
            {AsSheetText(rate.name.isEmpty() ? QStringLiteral("No tax") : rate.name), QString(),
             QString(), QString(), AsSheetText(FormatPercent(rate.percent) + " %"),
             AsSheetText(FormatMoney(rate.net)), AsSheetText(FormatMoney(rate.tax)),
             AsSheetText(FormatMoney(RoundCents(rate.net + rate.tax)))});
    if (!lines.texts.isEmpty())
        plan.blocks.push_back(lines);
    plan.endingBalance = {10, 8, {{AsSheetText(FormatMoney(collected.tax))}}};
    const int afterLines = FirstRateRow + static_cast<int>(collected.rates.size());
    plan.labelRow = afterLines + 1;
    plan.totalsRow = afterLines + 2;
    plan.totalsColumn = 6; // F, under the amounts
    plan.labels = {QStringLiteral("Sum Net Billed"), QStringLiteral("Sum Tax"),
                   QStringLiteral("Sum Total Billed")};
    for (const double total :
         {collected.net, collected.tax, RoundCents(collected.net + collected.tax)})
        plan.totals << AsSheetText(FormatMoney(total));
    return plan;
}
