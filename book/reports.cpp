#include "reports.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "eventpacer.h"
#include "formats.h"
#include "invoices.h"
#include "statements.h"

#include <optional>

namespace {
constexpr int FirstBlockRow = 17;

QString asText(const QString& value) {
    return QLatin1Char('\'') + value;
}

// An empty amount shows nothing and adds nothing.
QString amountText(const std::optional<double>& amount) {
    return amount ? FormatMoney(*amount) : QString();
}

void add(double& total, const std::optional<double>& amount) {
    if (amount)
        total = RoundCents(total + *amount);
}

Result<ReportAccountBlock> readBlock(const QString& account, const ReportPeriod& period,
                                     ReportTotals& totals, EventPacer& pacer) {
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
        block.invoices.push_back(
            {invoice.InvoiceNumber, FormatShortDate(invoice.DateBilled),
             amountText(invoice.PastDue), amountText(billed), amountText(received),
             FormatMoney(RoundCents(billed.value_or(0.0) - received.value_or(0.0)))});
        add(totals.SumPreviousBalance, invoice.PastDue);
        add(totals.SumAmountBilled, billed);
        add(totals.SumPaymentReceived, received);
    }
    return block;
}
} // namespace

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
    EventPacer pacer;
    for (const QString& account : accounts) {
        auto block = readBlock(account, request.period, report.totals, pacer);
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
    plan.header = {{4, 8, {{asText(report.account)}}}, {7, 8, {{asText(report.periodText)}}}};
    int next = FirstBlockRow - 1; // the row after the last block's last line
    for (const ReportAccountBlock& block : report.blocks) {
        const int first = next + 1;
        plan.blocks.push_back({first, 1, {{asText(block.account), asText(block.name)}}});
        if (!block.invoices.empty()) {
            SheetTexts lines{first, 3, {}};
            for (const ReportInvoiceLine& line : block.invoices)
                lines.texts.push_back({asText(line.number), asText(line.dateBilled),
                                       asText(line.previousBalance), asText(line.amountBilled),
                                       asText(line.amountReceived), asText(line.balance)});
            plan.blocks.push_back(lines);
        }
        next = first + static_cast<int>(block.invoices.size());
    }
    const ReportTotals& totals = report.totals;
    plan.endingBalance = {10, 8, {{asText(FormatMoney(totals.SumEndingBalance))}}};
    plan.labelRow = next + 2;
    plan.totalsRow = next + 3;
    plan.labels = {QStringLiteral("Sum Previous Balance"), QStringLiteral("Sum Amount Billed"),
                   QStringLiteral("Sum Payment Recvd."), QStringLiteral("Ending Balance")};
    for (const double total : {totals.SumPreviousBalance, totals.SumAmountBilled,
                               totals.SumPaymentReceived, totals.SumEndingBalance})
        plan.totals << asText(FormatMoney(total));
    return plan;
}
