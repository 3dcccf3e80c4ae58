#include "reportbook.h"

#include "columns.h"
#include "eventpacer.h"
#include "formats.h"
#include "modDAO.h"
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
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {account}) != 0 ||
        !SharedRecordset().MoveFirst())
        return QString();
    return SharedRecordset().Fields(col::CustomerName).toString();
}

std::optional<double> currentBalance(const QString& account) {
    QString error;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectBalance), error, {account}) != 0 ||
        !SharedRecordset().MoveFirst())
        return std::nullopt;
    return ParseMoney(SharedRecordset().Fields(col::Balance));
}

QStringList linkedAccounts(const QString& master) {
    QStringList linked;
    QString error;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfilesOfMaster), error, {master}) != 0)
        return linked;
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        linked << rows.Fields(col::AccountNumber).toString();
    return linked;
}

ReportAccountBlock readBlock(const QString& account, const ReportPeriod& period,
                             ReportTotals& totals, EventPacer& pacer) {
    ReportAccountBlock block{account, accountName(account), {}};
    add(totals.SumEndingBalance, currentBalance(account));
    QString error;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectInvoicesOfAccountInNumberOrder), error,
                             {account}) != 0)
        return block;
    // A copy: events run inside the loop, and nothing they start may move our rows.
    Recordset rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext()) {
        pacer.letEventsRun();
        if (!period.includes(rows.Fields(col::DateBilled)))
            continue;
        const auto previous = ParseMoney(rows.Fields(col::PastDue));
        const auto billed = ParseMoney(rows.Fields(col::AmountBilled));
        const auto received = ParseMoney(rows.Fields(col::AmountRecieved));
        block.invoices.push_back(
            {rows.Fields(col::InvoiceNumber).toString(),
             ShowStoredDate(rows.Fields(col::DateBilled)), amountText(previous), amountText(billed),
             amountText(received),
             FormatMoney(RoundCents(billed.value_or(0.0) - received.value_or(0.0)))});
        add(totals.SumPreviousBalance, previous);
        add(totals.SumAmountBilled, billed);
        add(totals.SumPaymentReceived, received);
    }
    return block;
}
} // namespace

bool ReportPeriod::includes(const QVariant& storedDateBilled) const {
    const QDate billed = DateFromStored(storedDateBilled);
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
    if (const qint32 opened = daoOpen_DBConnection(database, error); opened != 0)
        return opened;
    QStringList accounts;
    if (request.accounts != ReportedAccounts::OnlyLinked)
        accounts << request.account;
    if (request.accounts != ReportedAccounts::OnlyChosen)
        accounts << linkedAccounts(request.account);
    EventPacer pacer;
    for (const QString& account : accounts)
        report.blocks.push_back(readBlock(account, request.period, report.totals, pacer));
    daoClose_DBConnection();
    return 0;
}

qint32 CheckReportAccount(const QString& database, const QString& account,
                          ReportAccountCheck& check, QString& error) {
    check = {};
    if (const qint32 opened = daoOpen_DBConnection(database, error); opened != 0)
        return opened;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {account}) == 0 &&
        SharedRecordset().MoveFirst()) {
        check.profileFound = true;
        check.name = SharedRecordset().Fields(col::CustomerName).toString();
    }
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectInvoicesOfAccount), error, {account}) == 0) {
        check.invoicesRead = true;
        check.hasInvoices = SharedRecordset().MoveFirst();
    }
    daoClose_DBConnection();
    error.clear();
    return 0;
}

qint32 ReadAccountNumbers(const QString& database, QStringList& accounts, QString& error) {
    accounts.clear();
    if (const qint32 opened = daoOpen_DBConnection(database, error); opened != 0)
        return opened;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectAllProfiles), error) == 0) {
        EventPacer pacer;
        Recordset rows = SharedRecordset();
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext()) {
            accounts << rows.Fields(col::AccountNumber).toString();
            pacer.letEventsRun();
        }
    }
    daoClose_DBConnection();
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
