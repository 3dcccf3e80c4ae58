#include "reports.h"

#include "accounts.h"
#include "booksession.h"
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

// The name of an account, or empty when it has no profile.
QString accountName(const QString& account) {
    QString error;
    const auto profile = ReadProfile(account, error);
    return profile ? profile->CustomerName : QString();
}

std::optional<double> currentBalance(const QString& account) {
    QString error;
    const auto balance = ReadBalance(account, error);
    return balance ? balance->Balance : std::nullopt;
}

QStringList linkedAccounts(const QString& master) {
    QStringList linked;
    QString error;
    for (const ProfileRecord& profile : ProfilesOfMaster(master, error))
        linked << profile.AccountNumber;
    return linked;
}

ReportAccountBlock readBlock(const QString& account, const ReportPeriod& period,
                             ReportTotals& totals, EventPacer& pacer) {
    ReportAccountBlock block{account, accountName(account), {}};
    add(totals.SumEndingBalance, currentBalance(account));
    QString error;
    const auto invoices = bookwork::ReadAll<InvoiceRecord>(
        sql::SelectInvoicesOfAccountInNumberOrder, {account}, error);
    for (const InvoiceRecord& invoice : invoices) {
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

qint32 ReadReport(const QString& database, const ReportRequest& request, Report& report,
                  QString& error) {
    report = Report{request.account, request.period.text(), {}, {}};
    BookSession session(database);
    if (!session.isOpen()) {
        error = session.error();
        return session.result();
    }
    QStringList accounts;
    if (request.accounts != ReportedAccounts::OnlyLinked)
        accounts << request.account;
    if (request.accounts != ReportedAccounts::OnlyChosen)
        accounts << linkedAccounts(request.account);
    EventPacer pacer;
    for (const QString& account : accounts)
        report.blocks.push_back(readBlock(account, request.period, report.totals, pacer));
    return 0;
}

qint32 CheckReportAccount(const QString& database, const QString& account,
                          ReportAccountCheck& check, QString& error) {
    check = {};
    BookSession session(database);
    if (!session.isOpen()) {
        error = session.error();
        return session.result();
    }
    if (const auto profile = ReadProfile(account, error)) {
        check.profileFound = true;
        check.name = profile->CustomerName;
    }
    QString invoicesError;
    const auto invoices = InvoicesOfAccount(account, invoicesError);
    check.invoicesRead = invoicesError.isEmpty();
    check.hasInvoices = !invoices.empty();
    error.clear();
    return 0;
}

qint32 ReadAccountNumbers(const QString& database, QStringList& accounts, QString& error) {
    accounts.clear();
    BookSession session(database);
    if (!session.isOpen()) {
        error = session.error();
        return session.result();
    }
    accounts = AccountNumbers(error);
    error.clear();
    return 0;
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
