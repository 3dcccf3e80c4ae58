#include "reports.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "eventpacer.h"
#include "formats.h"
#include "invoicelines.h"
#include "invoices.h"
#include "statements.h"
#include "taxreport.h"

#include <QHash>
#include <optional>

namespace {
constexpr int FirstBlockRow = 17;
constexpr int HeadingRow = 16;
constexpr int TaxColumn = 9; // I, beside the form's columns

using TaxOfInvoices = QHash<QString, double>;

// An empty amount shows nothing and adds nothing.
QString amountText(const std::optional<double>& amount) {
    return amount ? FormatMoney(*amount) : QString();
}

void add(double& total, const std::optional<double>& amount) {
    if (amount)
        total = RoundCents(total + *amount);
}

// The tax of every invoice of the account and its linked accounts that has lines, in one query.
Result<TaxOfInvoices> readTaxOfInvoices(const QString& account) {
    const auto holdsLines = BookHoldsLines();
    if (!holdsLines)
        return holdsLines.failure();
    TaxOfInvoices taxes;
    if (!*holdsLines)
        return taxes;
    if (Outcome queried = bookwork::Query(sql::SelectTaxOfInvoicesOfMaster, {account, account});
        !queried)
        return queried.failure();
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        taxes.insert(rows.Fields(0).toString(), ParseMoney(rows.Fields(1)).value_or(0.0));
    return taxes;
}

Result<ReportAccountBlock> readBlock(const QString& account, const ReportPeriod& period,
                                     const TaxOfInvoices& taxes, ReportTotals& totals,
                                     EventPacer& pacer) {
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    const auto balance = ReadBalance(account);
    if (!balance)
        return balance.failure();
    const auto invoices =
        bookwork::ReadAll<InvoiceRecord>(sql::SelectInvoicesOfAccountInNumberOrder, {account});
    if (!invoices)
        return invoices.failure();
    ReportAccountBlock block{account, *profile ? (*profile)->CustomerName : QString(), {}};
    if (*balance)
        add(totals.SumEndingBalance, (*balance)->Balance);
    for (const InvoiceRecord& invoice : *invoices) {
        pacer.letEventsRun();
        if (!period.includes(invoice.DateBilled))
            continue;
        const auto& billed = invoice.AmountBilled;
        const auto& received = invoice.AmountRecieved;
        const double tax = taxes.value(invoice.InvoiceNumber, 0.0);
        block.invoices.push_back(
            {invoice.InvoiceNumber, FormatShortDate(invoice.DateBilled),
             amountText(invoice.PastDue), amountText(billed), amountText(received),
             FormatMoney(RoundCents(billed.value_or(0.0) - received.value_or(0.0))),
             FormatMoney(tax)});
        add(totals.SumPreviousBalance, invoice.PastDue);
        add(totals.SumAmountBilled, billed);
        add(totals.SumPaymentReceived, received);
        add(totals.SumTax, tax);
    }
    return block;
}
} // namespace

QString AsSheetText(const QString& value) {
    return QLatin1Char('\'') + value;
}

bool ReportPeriod::includes(const QDate& billed) const {
    if (!billed.isValid())
        return false;
    switch (type) {
    case ReportType::YearToDate:
        return billed >= QDate(today.year(), 1, 1);
    case ReportType::Monthly:
        return billed.month() == month &&
               QString::number(billed.year()).compare(year, Qt::CaseInsensitive) == 0;
    case ReportType::DateRange: {
        const auto first = ParseDate(from);
        const auto last = ParseDate(to);
        return first && last && *first <= billed && billed <= *last;
    }
    }
    return false;
}

QString ReportPeriod::text() const {
    switch (type) {
    case ReportType::YearToDate:
        return QString::number(today.year()) + QStringLiteral(" Year to Date");
    case ReportType::Monthly:
        return monthName + QLatin1Char(' ') + year;
    case ReportType::DateRange:
        return from + QStringLiteral(" to ") + to;
    }
    return QString();
}

Result<Report> ReadReport(const ReportRequest& request) {
    Report report{request.account, request.period.text(), {}, {}};
    QStringList accounts;
    if (request.accounts != ReportedAccounts::OnlyLinked)
        accounts << request.account;
    if (request.accounts != ReportedAccounts::OnlyChosen) {
        const auto linked = ProfilesOfMaster(request.account);
        if (!linked)
            return linked.failure();
        for (const ProfileRecord& profile : *linked)
            accounts << profile.AccountNumber;
    }
    const auto taxes = readTaxOfInvoices(request.account);
    if (!taxes)
        return taxes.failure();
    EventPacer pacer;
    for (const QString& account : accounts) {
        auto block = readBlock(account, request.period, *taxes, report.totals, pacer);
        if (!block)
            return block.failure();
        report.blocks.push_back(std::move(*block));
    }
    return report;
}

Result<ReportAccountCheck> CheckReportAccount(const QString& account) {
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    const auto invoices = InvoicesOfAccount(account);
    if (!invoices)
        return invoices.failure();
    ReportAccountCheck check;
    check.profileFound = profile->has_value();
    if (*profile)
        check.name = (*profile)->CustomerName;
    check.hasInvoices = !invoices->empty();
    return check;
}

ReportSheetPlan PlanReportSheet(const Report& report) {
    ReportSheetPlan plan;
    plan.header = {{4, 8, {{AsSheetText(report.account)}}},
                   {7, 8, {{AsSheetText(report.periodText)}}}};
    plan.headings = {{HeadingRow, TaxColumn, {{AsSheetText(QStringLiteral("Tax"))}}}};
    int next = FirstBlockRow - 1; // the row after the last block's last line
    for (const ReportAccountBlock& block : report.blocks) {
        const int first = next + 1;
        plan.blocks.push_back({first, 1, {{AsSheetText(block.account), AsSheetText(block.name)}}});
        if (!block.invoices.empty()) {
            SheetTexts lines{first, 3, {}};
            for (const ReportInvoiceLine& line : block.invoices)
                lines.texts.push_back({AsSheetText(line.number), AsSheetText(line.dateBilled),
                                       AsSheetText(line.previousBalance),
                                       AsSheetText(line.amountBilled),
                                       AsSheetText(line.amountReceived), AsSheetText(line.balance),
                                       AsSheetText(line.tax)});
            plan.blocks.push_back(lines);
        }
        next = first + static_cast<int>(block.invoices.size());
    }
    const ReportTotals& totals = report.totals;
    plan.endingBalance = {10, 8, {{AsSheetText(FormatMoney(totals.SumEndingBalance))}}};
    plan.labelRow = next + 2;
    plan.totalsRow = next + 3;
    plan.labels = {QStringLiteral("Sum Previous Balance"), QStringLiteral("Sum Amount Billed"),
                   QStringLiteral("Sum Payment Recvd."), QStringLiteral("Ending Balance"),
                   QStringLiteral("Sum Tax")};
    for (const double total : {totals.SumPreviousBalance, totals.SumAmountBilled,
                               totals.SumPaymentReceived, totals.SumEndingBalance, totals.SumTax})
        plan.totals << AsSheetText(FormatMoney(total));
    return plan;
}
